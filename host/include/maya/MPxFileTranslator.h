#pragma once
// Base class of a plug-in's file translator. The host creates one through the registered
// creator and keeps it; it asks identifyFile which files are of its kind and calls reader
// to import one.

#include <maya/MFileObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

class MPxFileTranslator {
  public:
    enum MFileKind {
        kIsMyFileType = 0,
        kCouldBeMyFileType = 1,
        kNotMyFileType = 2,
    };

    enum FileAccessMode {
        kUnknownAccessMode = 0,
        kOpenAccessMode = 1,
        kReferenceAccessMode = 2,
        kImportAccessMode = 3,
        kSaveAccessMode = 4,
        kExportAccessMode = 5,
        kExportActiveAccessMode = 6,
    };

    MPxFileTranslator() = default;
    virtual ~MPxFileTranslator();

    // Base: kFailure (the translator cannot read or write).
    virtual MStatus reader(const MFileObject& file, const MString& optionsString,
                           FileAccessMode mode);
    virtual MStatus writer(const MFileObject& file, const MString& optionsString,
                           FileAccessMode mode);
    // Base: false.
    virtual bool haveReadMethod() const;
    virtual bool haveWriteMethod() const;
    virtual bool haveNamespaceSupport() const;
    virtual bool haveReferenceMethod() const;
    // Base: empty.
    virtual MString defaultExtension() const;
    // Base: "*.*".
    virtual MString filter() const;
    // Base: true.
    virtual bool canBeOpened() const;
    // Base: kNotMyFileType.
    virtual MFileKind identifyFile(const MFileObject& file, const char* buffer, short size) const;

    // The access mode of the file operation in progress.
    static FileAccessMode fileAccessMode();

  private:
    MPxFileTranslator(const MPxFileTranslator&) = delete;
    MPxFileTranslator& operator=(const MPxFileTranslator&) = delete;
};
