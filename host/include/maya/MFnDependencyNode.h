#pragma once
// Function set for any node of the dependency graph.

#include <maya/MFnBase.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>

class MPlug;
class MPlugArray;
class MPxNode;

class MFnDependencyNode : public MFnBase {
  public:
    MFnDependencyNode() = default;
    MFnDependencyNode(const MObject& object, MStatus* ReturnStatus = NULL);
    ~MFnDependencyNode() override = default;

    MFn::Type type() const override;

    // Makes a DG node of the type at once (DAG types need MFnDagNode or a modifier).
    MObject create(const MString& type, MStatus* ReturnStatus = NULL);
    MObject create(const MString& type, const MString& name, MStatus* ReturnStatus = NULL);
    MObject create(const MTypeId& typeId, MStatus* ReturnStatus = NULL);

    MString name(MStatus* ReturnStatus = NULL) const;
    // Returns the name the node got (a taken name gets a numeric suffix).
    MString setName(const MString& name, MStatus* ReturnStatus = NULL);
    MTypeId typeId(MStatus* ReturnStatus = NULL) const;
    MString typeName(MStatus* ReturnStatus = NULL) const;

    MPlug findPlug(const MString& attrName, MStatus* ReturnStatus = NULL) const;
    MPlug findPlug(const MString& attrName, bool wantNetworkedPlug,
                   MStatus* ReturnStatus = NULL) const;
    MPlug findPlug(const MObject& attribute, MStatus* ReturnStatus = NULL) const;
    MPlug findPlug(const MObject& attribute, bool wantNetworkedPlug,
                   MStatus* ReturnStatus = NULL) const;
    // The plugs of this node that have connections, in attribute order (empty when none).
    MStatus getConnections(MPlugArray& array) const;

    unsigned int attributeCount(MStatus* ReturnStatus = NULL) const;
    MObject attribute(unsigned int index, MStatus* ReturnStatus = NULL) const;
    MObject attribute(const MString& attrName, MStatus* ReturnStatus = NULL) const;
    bool hasAttribute(const MString& attrName, MStatus* ReturnStatus = NULL) const;

    // The plug-in object of a node of a plug-in type, else NULL.
    MPxNode* userNode(MStatus* ReturnStatus = NULL) const;

    MStatus setObject(const MObject& object) override;
};
