#pragma once
// A 3D view of the host. Drawing code brackets its OpenGL calls with beginGL / endGL.

#include <maya/MStatus.h>
#include <maya/MTypes.h>

class M3dView {
  public:
    enum DisplayStyle {
        kBoundingBox = 0,
        kFlatShaded = 1,
        kGouraudShaded = 2,
        kWireFrame = 3,
        kPoints = 4,
    };

    enum DisplayStatus {
        kActive = 0,
        kLive = 1,
        kDormant = 2,
        kInvisible = 3,
        kHilite = 4,
        kTemplate = 5,
        kActiveTemplate = 6,
        kActiveComponent = 7,
        kLead = 8,
        kIntermediateObject = 9,
        kActiveAffected = 10,
        kNoStatus = 11,
    };

    M3dView() = default;
    M3dView(const M3dView& other);
    M3dView& operator=(const M3dView& other);
    virtual ~M3dView();

    // kFailure when GL is already begun in this view (or not begun, for endGL).
    MStatus beginGL();
    MStatus endGL();

    static M3dView active3dView(MStatus* status = NULL);

    DisplayStyle displayStyle(MStatus* status = NULL) const;

  private:
    bool inGL_ = false;
};
