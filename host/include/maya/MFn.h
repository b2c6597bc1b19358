#pragma once
// The kinds of objects the API knows, with the host's own numbers (callers compare only with
// the named constants).

class MFn {
  public:
    enum Type {
        kInvalid = 0,
        kBase = 1,
        kNamedObject = 2,
        kModel = 3,
        kDependencyNode = 4,
        kAnimCurve = 7,
        kAnimCurveTimeToAngular = 8,
        kAnimCurveTimeToDistance = 9,
        kAnimCurveTimeToTime = 10,
        kAnimCurveTimeToUnitless = 11,
        kAnimCurveUnitlessToAngular = 12,
        kAnimCurveUnitlessToDistance = 13,
        kAnimCurveUnitlessToTime = 14,
        kAnimCurveUnitlessToUnitless = 15,
        kDagNode = 107,
        kTransform = 110,
        kOrientConstraint = 237,
        kPointConstraint = 238,
        kWorld = 244,
        kShape = 245,
        kLocator = 278,
        kMesh = 293,
        kPluginDependNode = 445,
        kPluginLocatorNode = 446,
        kAttribute = 550,
        kNumericAttribute = 551,
        kUnitAttribute = 558,
        kCompoundAttribute = 560,
        kConstraint = 900,
    };
};
