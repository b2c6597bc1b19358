#pragma once
// The unique numeric identifier of a node type.

#include <maya/MStatus.h>
#include <maya/MTypes.h>

class MTypeId {
  public:
    MTypeId() = default;
    MTypeId(unsigned int id) : id_(id) {}
    // The id made of an 24-bit prefix and an 8-bit value.
    MTypeId(unsigned int prefix, unsigned int id) : id_((prefix << 8) | (id & 0xffu)) {}
    MTypeId(const MTypeId& other) = default;
    MTypeId& operator=(const MTypeId& other) = default;
    ~MTypeId() = default;

    bool operator==(const MTypeId& other) const { return id_ == other.id_; }
    bool operator!=(const MTypeId& other) const { return id_ != other.id_; }
    unsigned int id(MStatus* status = NULL) const;

  private:
    unsigned int id_ = 0;
};
