#pragma once
// An ordered, growable array of MPlug.

#include <vector>

#include <maya/MPlug.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

class MPlugArray {
  public:
    MPlugArray() = default;
    MPlugArray(const MPlugArray& other) = default;
    MPlugArray(unsigned int initialSize, const MPlug& initialValue);
    MPlugArray& operator=(const MPlugArray& other) = default;
    ~MPlugArray() = default;

    const MPlug& operator[](unsigned int index) const;
    MPlug& operator[](unsigned int index);
    MStatus set(const MPlug& element, unsigned int index);
    MStatus setLength(unsigned int length);
    unsigned int length() const { return static_cast<unsigned int>(items_.size()); }
    MStatus remove(unsigned int index);
    MStatus insert(const MPlug& element, unsigned int index);
    MStatus append(const MPlug& element);
    MStatus clear();

  private:
    std::vector<MPlug> items_;
};
