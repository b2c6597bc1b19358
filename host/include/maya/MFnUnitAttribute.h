#pragma once
// Function set for attributes that hold a distance, an angle or a time.

#include <maya/MFnAttribute.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

class MDistance;
class MTime;

class MFnUnitAttribute : public MFnAttribute {
  public:
    enum Type {
        kInvalid = 0,
        kAngle = 1,
        kDistance = 2,
        kTime = 3,
    };

    MFnUnitAttribute() = default;
    MFnUnitAttribute(const MObject& object, MStatus* ReturnStatus = NULL);
    ~MFnUnitAttribute() override = default;

    MFn::Type type() const override;

    // A new attribute, not yet part of any node type; defaultValue in internal units.
    MObject create(const MString& fullName, const MString& briefName, Type unitType,
                   double defaultValue = 0.0, MStatus* ReturnStatus = NULL);
    Type unitType(MStatus* ReturnStatus = NULL) const;
    MStatus setDefault(double value);
    MStatus setDefault(const MDistance& value);
    MStatus setDefault(const MTime& value);
    MStatus getDefault(double& value);

    MStatus setObject(const MObject& object) override;
};
