#pragma once
// A file as the host hands it to a file translator: a directory part and a file name.

#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

class MFileObject {
  public:
    MFileObject() = default;
    MFileObject(const MFileObject& other) = default;
    MFileObject& operator=(const MFileObject& other) = default;
    virtual ~MFileObject() = default;

    // Splits the text at its last '/' (or '\\'): the directory, with its separator, becomes
    // the path and the rest the name.
    MStatus setRawFullName(const MString& fullName);
    MStatus setFullName(const MString& fullName);
    MStatus setRawName(const MString& name);
    MStatus setName(const MString& name);
    MStatus setRawPath(const MString& path);
    MStatus setPath(const MString& path);

    // The file name alone, without any directory.
    MString rawName() const;
    MString name() const;
    MString rawPath() const;
    MString path() const;
    // The path joined with the name: what a reader opens.
    MString rawFullName() const;
    MString fullName() const;
    bool exists() const;

  private:
    MString path_;
    MString name_;
};
