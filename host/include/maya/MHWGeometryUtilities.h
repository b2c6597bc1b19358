#pragma once
// Viewport 2.0's helpers for drawing geometry.

#include <maya/MColor.h>
#include <maya/MTypes.h>

class MDagPath;

namespace MHWRender {

class MGeometryUtilities {
  public:
    // The colour the node's wireframe is drawn in, for its selection state.
    static MColor wireframeColor(const MDagPath& path);

  private:
    MGeometryUtilities() = delete;
};

}  // namespace MHWRender
