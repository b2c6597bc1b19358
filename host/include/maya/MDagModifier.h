#pragma once
// A modifier that can also make and reparent DAG nodes.

#include <maya/MDGModifier.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>

class MDagModifier : public MDGModifier {
  public:
    MDagModifier() = default;
    ~MDagModifier() override = default;

    // For a shape type a parent transform is made as well (under parent, or the world) and
    // returned; default names are "transform" + N and the type name + N.
    MObject createNode(const MTypeId& typeId, const MObject& parent = MObject::kNullObj,
                       MStatus* ReturnStatus = NULL);
    MObject createNode(const MString& type, const MObject& parent = MObject::kNullObj,
                       MStatus* ReturnStatus = NULL);
    // A null parent is the world.
    MStatus reparentNode(const MObject& node, const MObject& newParent = MObject::kNullObj);
};
