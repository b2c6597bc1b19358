#pragma once
// The kinds of objects the API knows. The animation curve numbers are the host's own; the
// other numbers are this stand-in's (callers compare only with the named constants).

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
        kAttribute = 100,
        kCompoundAttribute,
        kNumericAttribute,
        kUnitAttribute,
        kDagNode,
        kWorld,
        kTransform,
        kShape,
        kLocator,
        kPluginLocatorNode,
        kPluginDependNode,
        kMesh,
        kConstraint,
        kPointConstraint,
        kOrientConstraint,
    };
};
