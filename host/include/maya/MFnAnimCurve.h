#pragma once
// Function set for animation curves: keys of a value over time, driving one plug.

#include <maya/MFnDependencyNode.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MTime.h>
#include <maya/MTypes.h>

class MDGModifier;
class MPlug;
class MAnimCurveChange;

class MFnAnimCurve : public MFnDependencyNode {
  public:
    enum AnimCurveType {
        kAnimCurveTA = 0,
        kAnimCurveTL = 1,
        kAnimCurveTT = 2,
        kAnimCurveTU = 3,
        kAnimCurveUA = 4,
        kAnimCurveUL = 5,
        kAnimCurveUT = 6,
        kAnimCurveUU = 7,
        kAnimCurveUnknown = 8,
    };
    enum TangentType {
        kTangentGlobal = 0,
        kTangentFixed = 1,
        kTangentLinear = 2,
        kTangentFlat = 3,
        kTangentSmooth = 4,
        kTangentStep = 5,
    };

    MFnAnimCurve() = default;
    MFnAnimCurve(const MObject& object, MStatus* ReturnStatus = NULL);
    // Attaches to the curve that drives the plug.
    MFnAnimCurve(const MPlug& plug, MStatus* ReturnStatus = NULL);
    ~MFnAnimCurve() override = default;

    MFn::Type type() const override;

    // Makes a curve of the type the plug needs (translate TL, rotate TA, others TU),
    // connects it to the plug and attaches to it. Only modifier == NULL is supported.
    MObject create(MPlug& plug, MDGModifier* modifier = NULL, MStatus* ReturnStatus = NULL);
    MObject create(const MObject& node, const MObject& attribute, MDGModifier* modifier = NULL,
                   MStatus* ReturnStatus = NULL);

    AnimCurveType animCurveType(MStatus* ReturnStatus = NULL) const;

    // Values in internal units; a key at a time that already has one replaces it.
    MStatus addKeyframe(const MTime& time, double value, TangentType tangentInType,
                        TangentType tangentOutType, MAnimCurveChange* change = NULL);
    MStatus addKeyframe(const MTime& time, double value, MAnimCurveChange* change = NULL);
    MStatus remove(unsigned int index, MAnimCurveChange* change = NULL);

    unsigned int numKeys(MStatus* ReturnStatus = NULL) const;
    unsigned int numKeyframes(MStatus* ReturnStatus = NULL) const;
    // The key's time in the UI time unit.
    MTime time(unsigned int index, MStatus* ReturnStatus = NULL) const;
    double value(unsigned int index, MStatus* ReturnStatus = NULL) const;
    MStatus setValue(unsigned int index, double value, MAnimCurveChange* change = NULL);
    TangentType inTangentType(unsigned int index, MStatus* ReturnStatus = NULL) const;
    TangentType outTangentType(unsigned int index, MStatus* ReturnStatus = NULL) const;
    bool find(const MTime& time, unsigned int& index, MStatus* ReturnStatus = NULL) const;

    // Linear between keys, the end values outside them.
    double evaluate(const MTime& atTime, MStatus* ReturnStatus = NULL) const;
    MStatus evaluate(const MTime& atTime, double& value) const;

    MStatus setObject(const MObject& object) override;
};
