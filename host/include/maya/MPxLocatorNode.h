#pragma once
// Base class of locator node types that a plug-in defines: shapes that draw themselves in
// the viewport and have no geometry of their own.

#include <maya/M3dView.h>
#include <maya/MBoundingBox.h>
#include <maya/MPxNode.h>
#include <maya/MTypes.h>

class MDagPath;

class MPxLocatorNode : public MPxNode {
  public:
    MPxLocatorNode();
    ~MPxLocatorNode() override;

    MPxNode::Type type() const override;

    // Base behaviour: draws nothing, has no bounds.
    virtual void draw(M3dView& view, const MDagPath& path, M3dView::DisplayStyle style,
                      M3dView::DisplayStatus status);
    virtual bool isBounded() const;
    virtual MBoundingBox boundingBox() const;
    // Base: true, the locator display filter hides it.
    virtual bool excludeAsLocator() const;
};
