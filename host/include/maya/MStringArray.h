#pragma once
// An ordered, growable array of MString.

#include <iosfwd>
#include <vector>

#include <maya/MStatus.h>
#include <maya/MString.h>

class MStringArray {
  public:
    MStringArray() = default;
    MStringArray(const MStringArray& other) = default;
    MStringArray(unsigned int initialSize, const MString& initialValue);
    MStringArray(const MString strings[], unsigned int count);
    MStringArray& operator=(const MStringArray& other) = default;
    ~MStringArray() = default;

    MString& operator[](unsigned int index);
    // A copy, as on the host: the address of an element of a const array cannot be kept.
    MString operator[](unsigned int index) const;

    MStatus set(const MString& element, unsigned int index);
    MStatus setLength(unsigned int length);
    unsigned int length() const { return static_cast<unsigned int>(items_.size()); }
    MStatus remove(unsigned int index);
    MStatus insert(const MString& element, unsigned int index);
    MStatus append(const MString& element);
    MStatus clear();

  private:
    std::vector<MString> items_;
};

std::ostream& operator<<(std::ostream& os, const MStringArray& array);
