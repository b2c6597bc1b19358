#pragma once
// The arguments of one command invocation, in order: flags (as "-name") and values.

#include <string>
#include <vector>

#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

class MDistance;
class MTime;

class MArgList {
  public:
    MArgList() = default;
    MArgList(const MArgList& other) = default;
    MArgList& operator=(const MArgList& other) = default;
    ~MArgList() = default;

    unsigned int length(MStatus* status = NULL) const;
    bool asBool(unsigned int index, MStatus* status = NULL) const;
    int asInt(unsigned int index, MStatus* status = NULL) const;
    double asDouble(unsigned int index, MStatus* status = NULL) const;
    MString asString(unsigned int index, MStatus* status = NULL) const;
    // Numbers in the UI units, converted as the host does.
    MDistance asDistance(unsigned int index, MStatus* status = NULL) const;
    MTime asTime(unsigned int index, MStatus* status = NULL) const;
    // The position of the flag given by its short or long name (without '-'), or
    // kInvalidArgIndex.
    unsigned int flagIndex(const char* shortFlag, const char* longFlag = NULL) const;

    // The argument at index; index stays as it is.
    MStatus get(unsigned int index, MString& value) const;
    MStatus get(unsigned int index, double& value) const;
    MStatus get(unsigned int index, int& value) const;
    MStatus get(unsigned int index, bool& value) const;

    MStatus addArg(const MString& value);
    MStatus addArg(double value);
    MStatus addArg(int value);
    MStatus addArg(bool value);

    static const unsigned int kInvalidArgIndex;

  private:
    const std::string* at(unsigned int index, MStatus* status) const;
    std::vector<std::string> items_;
};
