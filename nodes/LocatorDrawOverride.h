// The locators in Viewport 2.0, where the devkit has it: an override per node that draws the
// same cross as the legacy draw, with the host's UI lines in the node's wireframe colour.
// KFR_VIEWPORT2 tells whether this devkit has the Viewport 2.0 API.
#pragma once

// The build says which (so that a compiler cache sees the header appear or go); a compile on
// its own asks the headers.
#ifndef KFR_VIEWPORT2
#if __has_include(<maya/MPxDrawOverride.h>)
#define KFR_VIEWPORT2 1
#else
#define KFR_VIEWPORT2 0
#endif
#endif

#if KFR_VIEWPORT2
#include <maya/MBoundingBox.h>
#include <maya/MDagPath.h>
#include <maya/MFrameContext.h>
#include <maya/MObject.h>
#include <maya/MPxDrawOverride.h>
#include <maya/MUIDrawManager.h>
#include <maya/MUserData.h>
#include <maya/MViewport2Renderer.h>

// Draws the cross of one locator node: DOFLocator and MarkerLocator differ in its length.
class LocatorDrawOverride : public MHWRender::MPxDrawOverride {
  public:
    // The classifications that the node types are registered with, and under which their
    // overrides are registered.
    static const char* const kDofClassification;
    static const char* const kMarkerClassification;

    // The creators of both types' overrides, registered with the host's draw registry under
    // the classifications, and deregistered again; a refusal is reported.
    static void registerCreators();
    static void deregisterCreators();

    MHWRender::DrawAPI supportedDrawAPIs() const override;
    bool hasUIDrawables() const override;
    // As the node answers them.
    bool isBounded(const MDagPath& objPath, const MDagPath& cameraPath) const override;
    MBoundingBox boundingBox(const MDagPath& objPath, const MDagPath& cameraPath) const override;
    // Nothing is kept between draws: the cross's length is fixed and the colour is asked for
    // when drawing.
    MUserData* prepareForDraw(const MDagPath& objPath, const MDagPath& cameraPath,
                              const MHWRender::MFrameContext& frameContext,
                              MUserData* oldData) override;
    void addUIDrawables(const MDagPath& objPath, MHWRender::MUIDrawManager& drawManager,
                        const MHWRender::MFrameContext& frameContext,
                        const MUserData* data) override;

  private:
    LocatorDrawOverride(const MObject& node, double crossCm);
    static MHWRender::MPxDrawOverride* dofCreator(const MObject& node);
    static MHWRender::MPxDrawOverride* markerCreator(const MObject& node);

    MObject node_;
    double crossCm_;
};

#endif
