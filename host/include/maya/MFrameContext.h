#pragma once
// What Viewport 2.0 is drawing in the current frame; made by the host only.

#include <maya/MTypes.h>

namespace MHWRender {

class MFrameContext {
  protected:
    MFrameContext();
    virtual ~MFrameContext();
};

}  // namespace MHWRender
