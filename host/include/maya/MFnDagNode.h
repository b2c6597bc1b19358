#pragma once
// Function set for nodes of the DAG: transforms, shapes.

#include <maya/MFnDependencyNode.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

class MDagPath;

class MFnDagNode : public MFnDependencyNode {
  public:
    enum { kNextPos = 0xff };

    MFnDagNode() = default;
    MFnDagNode(const MObject& object, MStatus* ReturnStatus = NULL);
    MFnDagNode(const MDagPath& path, MStatus* ReturnStatus = NULL);
    ~MFnDagNode() override = default;

    MFn::Type type() const override;

    // Makes a DAG node at once, under parent (the world when null). For a shape type a
    // parent transform is made as well when no parent is given; the transform is returned.
    MObject create(const MString& type, MObject& parent = MObject::kNullObj,
                   MStatus* ReturnStatus = NULL);
    MObject create(const MString& type, const MString& name, MObject& parent = MObject::kNullObj,
                   MStatus* ReturnStatus = NULL);

    unsigned int parentCount(MStatus* ReturnStatus = NULL) const;
    MObject parent(unsigned int index, MStatus* ReturnStatus = NULL) const;
    unsigned int childCount(MStatus* ReturnStatus = NULL) const;
    MObject child(unsigned int index, MStatus* ReturnStatus = NULL) const;
    bool hasParent(const MObject& node, MStatus* ReturnStatus = NULL) const;
    bool hasChild(const MObject& node, MStatus* ReturnStatus = NULL) const;
    bool isChildOf(const MObject& node, MStatus* ReturnStatus = NULL) const;
    bool isParentOf(const MObject& node, MStatus* ReturnStatus = NULL) const;
    // Reparents child under this node (its local transform is kept). Instancing
    // (keepExistingParents) and a position other than the end are not supported.
    MStatus addChild(MObject& child, unsigned int index = kNextPos,
                     bool keepExistingParents = false);

    MString fullPathName(MStatus* ReturnStatus = NULL);
    MString partialPathName(MStatus* ReturnStatus = NULL);
    MStatus getPath(MDagPath& path);
    MDagPath dagPath(MStatus* ReturnStatus = NULL) const;

    virtual MStatus setObject(MObject& object);
    virtual MStatus setObject(const MDagPath& path);

  private:
    // The host takes the object by non-const reference: a const or temporary object does
    // not bind. Calls through MFnBase still reach the DAG set's own check.
    MStatus setObject(const MObject& object) override;
};
