#pragma once
// A handle to something the host owns: a node or an attribute. Copying the handle copies
// the reference, not the object.

#include <maya/MFn.h>
#include <maya/MTypes.h>

class MObject {
  public:
    MObject() = default;
    MObject(const MObject& other) = default;
    MObject& operator=(const MObject& other) = default;
    ~MObject() = default;

    // True only for the null object. A handle to a node that was deleted is not null, but
    // its apiType() is kInvalid and function sets refuse it.
    bool isNull() const { return kind_ == 0; }
    MFn::Type apiType() const;
    bool hasFn(MFn::Type type) const;
    const char* apiTypeStr() const;

    bool operator==(const MObject& other) const { return kind_ == other.kind_ && id_ == other.id_; }
    bool operator!=(const MObject& other) const { return !(*this == other); }

    static MObject kNullObj;  // not const: it is the default of MObject& parameters

  private:
    friend struct MObjectAccess;  // the stand-in's scene builds and reads handles
    unsigned int kind_ = 0;       // 0 null, 1 node, 2 attribute
    unsigned long long id_ = 0;
};
