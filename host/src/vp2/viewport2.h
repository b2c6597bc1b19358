#pragma once
// The stand-in's side of Viewport 2.0: what the locator draw calls need to make the host-only
// objects that a draw override is handed.

#include <maya/M3dView.h>
#include <maya/MFrameContext.h>
#include <maya/MUIDrawManager.h>

#include "scene/model.h"

namespace MHWRender {

struct MUIDrawManagerAccess {
    // Runs draw with a manager that records what is queued on it.
    template <class Draw>
    static void draw(Draw&& draw) {
        MUIDrawManager manager;
        draw(manager);
    }
};

}  // namespace MHWRender

namespace vp2 {

// The one frame every override is prepared and drawn in.
const MHWRender::MFrameContext& frameContext();

// How a DAG node is drawn for the selection: kLead when it (or its transform) was selected
// last, kActive when selected otherwise, else kDormant. It picks the wireframe colour.
M3dView::DisplayStatus displayStatus(scene::NodeId node);

}  // namespace vp2
