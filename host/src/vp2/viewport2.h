#pragma once
// The stand-in's side of Viewport 2.0: what the locator draw calls need to make the host-only
// objects that a draw override is handed.

#include <maya/MFrameContext.h>
#include <maya/MUIDrawManager.h>

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

}  // namespace vp2
