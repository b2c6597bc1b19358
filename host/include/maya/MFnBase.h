#pragma once
// Base of all function sets: the object a set is attached to.

#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

class MFnBase {
  public:
    virtual ~MFnBase() = default;

    virtual MFn::Type type() const;
    bool hasObj(MFn::Type type) const;
    bool hasObj(const MObject& object) const;
    MObject object(MStatus* ReturnStatus = NULL) const;
    // Fails with kInvalidParameter, leaving the set unattached, when the object is not
    // of the set's kind.
    virtual MStatus setObject(const MObject& object);

  protected:
    // Function sets are made as one of the derived kinds, from an object.
    MFnBase() = default;

    MObject object_;

  private:
    // As on the host, a function set is not copied, assigned or pointed at: keep one by
    // value where it is used, or make it with new.
    MFnBase(const MFnBase&) = delete;
    MFnBase& operator=(const MFnBase&) = delete;
    MFnBase* operator&() const;
};
