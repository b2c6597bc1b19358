#pragma once
// Function set for attributes: names and flags.

#include <maya/MFnBase.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

class MFnAttribute : public MFnBase {
  public:
    MFnAttribute() = default;
    MFnAttribute(const MObject& object, MStatus* ReturnStatus = NULL);
    ~MFnAttribute() override = default;

    MFn::Type type() const override;

    MString name(MStatus* ReturnStatus = NULL) const;
    MString shortName(MStatus* ReturnStatus = NULL) const;
    bool isKeyable(MStatus* ReturnStatus = NULL) const;
    bool isWritable(MStatus* ReturnStatus = NULL) const;
    MStatus setKeyable(bool state);
    MStatus setWritable(bool state);
    // Accepted and kept out of the scene's behaviour: this host does not save or hide.
    MStatus setStorable(bool state);
    MStatus setReadable(bool state);
    MStatus setHidden(bool state);

    MStatus setObject(const MObject& object) override;
};
