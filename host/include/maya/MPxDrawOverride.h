#pragma once
// Base class of a plug-in's Viewport 2.0 drawing of one node: the host creates one per node
// whose type's classification has a registered creator, asks it for its bounds, lets it
// prepare its data and, when it has UI drawables, has it queue them on an MUIDrawManager.

#include <maya/MBoundingBox.h>
#include <maya/MDagPath.h>
#include <maya/MFrameContext.h>
#include <maya/MObject.h>
#include <maya/MTypes.h>
#include <maya/MUIDrawManager.h>
#include <maya/MUserData.h>
#include <maya/MViewport2Renderer.h>

namespace MHWRender {

class MDrawContext;

class MPxDrawOverride {
  public:
    typedef void (*GeometryDrawOverrideCb)(const MDrawContext&, const MUserData*);

    MPxDrawOverride(const MObject& obj, GeometryDrawOverrideCb callback);
    virtual ~MPxDrawOverride();

    // Base: kOpenGL.
    virtual DrawAPI supportedDrawAPIs() const;
    // Base: false, and addUIDrawables is not called.
    virtual bool hasUIDrawables() const;
    // Base: not bounded, an empty box.
    virtual MBoundingBox boundingBox(const MDagPath& objPath, const MDagPath& cameraPath) const;
    virtual bool isBounded(const MDagPath& objPath, const MDagPath& cameraPath) const;
    virtual bool disableInternalBoundingBoxDraw() const;
    virtual MUserData* prepareForDraw(const MDagPath& objPath, const MDagPath& cameraPath,
                                      const MFrameContext& frameContext, MUserData* oldData) = 0;
    // Base: queues nothing.
    virtual void addUIDrawables(const MDagPath& objPath, MUIDrawManager& drawManager,
                                const MFrameContext& frameContext, const MUserData* data);

  private:
    MPxDrawOverride(const MPxDrawOverride&) = delete;
    MPxDrawOverride& operator=(const MPxDrawOverride&) = delete;
    GeometryDrawOverrideCb callback_;
};

}  // namespace MHWRender
