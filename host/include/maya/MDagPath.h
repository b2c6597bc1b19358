#pragma once
// The path from the world to one DAG node. This host has no instancing, so every DAG
// node has exactly one path.

#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

class MDagPath {
  public:
    MDagPath() = default;
    MDagPath(const MDagPath& other) = default;
    MDagPath& operator=(const MDagPath& other) = default;
    virtual ~MDagPath() = default;

    static MStatus getAPathTo(const MObject& node, MDagPath& path);

    bool hasFn(MFn::Type type, MStatus* ReturnStatus = NULL) const;
    MFn::Type apiType(MStatus* ReturnStatus = NULL) const;
    bool isValid(MStatus* ReturnStatus = NULL) const;
    MObject node(MStatus* ReturnStatus = NULL) const;
    // The node itself when it is a transform, else its parent transform.
    MObject transform(MStatus* ReturnStatus = NULL) const;
    // Number of nodes below the world on the path.
    unsigned int length(MStatus* ReturnStatus = NULL) const;
    MStatus push(const MObject& child);
    MStatus pop(unsigned int num = 1);
    unsigned int childCount(MStatus* ReturnStatus = NULL) const;
    MObject child(unsigned int index, MStatus* ReturnStatus = NULL) const;
    MString fullPathName(MStatus* ReturnStatus = NULL) const;
    MString partialPathName(MStatus* ReturnStatus = NULL) const;

    bool operator==(const MDagPath& other) const { return node_ == other.node_; }

  private:
    friend struct MDagPathAccess;
    unsigned long long node_ = 0;  // 0: no path; the world's id: the world itself
};
