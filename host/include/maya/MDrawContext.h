#pragma once
// The frame's context while Viewport 2.0 draws; made by the host only.

#include <maya/MFrameContext.h>
#include <maya/MTypes.h>

namespace MHWRender {

class MDrawContext : public MFrameContext {
  private:
    MDrawContext();
    ~MDrawContext() override;
};

}  // namespace MHWRender
