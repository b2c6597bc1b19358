#pragma once
// The context of an evaluation: the normal one (the current time) or a given time.

#include <maya/MStatus.h>
#include <maya/MTime.h>
#include <maya/MTypes.h>

class MDGContext {
  public:
    MDGContext() = default;
    MDGContext(const MTime& when);
    MDGContext(const MDGContext& other) = default;
    MDGContext& operator=(const MDGContext& other) = default;
    ~MDGContext() = default;

    bool isNormal(MStatus* ReturnStatus = NULL) const;
    // kInvalidParameter for the normal context, which has no time of its own.
    MStatus getTime(MTime& when) const;

    static MDGContext fsNormal;

  private:
    bool normal_ = true;
    MTime time_;
};
