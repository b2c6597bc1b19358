#pragma once
// One attribute of one node. A plug of a compound attribute (translate) has the plugs of its
// children (translateX, ...) below it.

#include <maya/MDGContext.h>
#include <maya/MDistance.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTime.h>
#include <maya/MTypes.h>

class MPlugArray;

class MPlug {
  public:
    MPlug() = default;
    MPlug(const MPlug& other) = default;
    MPlug(const MObject& node, const MObject& attribute);
    MPlug& operator=(const MPlug& other) = default;
    ~MPlug() = default;

    MObject node(MStatus* ReturnStatus = NULL) const;
    MObject attribute(MStatus* ReturnStatus = NULL) const;
    // "node.longAttributeName".
    MString name(MStatus* ReturnStatus = NULL) const;
    MString partialName(bool includeNodeName = false, bool includeNonMandatoryIndices = false,
                        bool includeInstancedIndices = false, bool useAlias = false,
                        bool useFullAttributePath = false, bool useLongNames = false,
                        MStatus* ReturnStatus = NULL) const;
    MString info(MStatus* ReturnStatus = NULL) const;

    bool isNull(MStatus* ReturnStatus = NULL) const;
    bool isConnected(MStatus* ReturnStatus = NULL) const;
    // asDst: the plugs that feed this one; asSrc: the plugs this one feeds.
    bool connectedTo(MPlugArray& array, bool asDst, bool asSrc, MStatus* ReturnStatus = NULL) const;

    bool isCompound(MStatus* ReturnStatus = NULL) const;
    unsigned int numChildren(MStatus* ReturnStatus = NULL) const;
    MPlug child(unsigned int index, MStatus* ReturnStatus = NULL) const;
    MPlug child(MObject& attribute, MStatus* ReturnStatus = NULL) const;
    bool isChild(MStatus* ReturnStatus = NULL) const;
    MPlug parent(MStatus* ReturnStatus = NULL) const;
    bool isKeyable(MStatus* ReturnStatus = NULL) const;

    // Values in internal units (centimetres, radians); through a connection the source's
    // value at the context's time.
    MStatus getValue(double& value, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(float& value, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(int& value, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(bool& value, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(MDistance& value, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(MTime& value, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus setValue(double value);
    MStatus setValue(float value);
    MStatus setValue(int value);
    MStatus setValue(bool value);
    // Non-const references, as on the host: a temporary does not bind.
    MStatus setValue(MDistance& value);
    MStatus setValue(MTime& value);

    bool operator==(const MPlug& other) const;
    bool operator!=(const MPlug& other) const { return !(*this == other); }

  private:
    friend struct MPlugAccess;
    unsigned long long node_ = 0;
    int attr_ = -1;
};
