#pragma once
// Simple geometry that a draw override queues for Viewport 2.0: every drawing call comes
// between beginDrawable and endDrawable, and endDrawable resets the colour. Made by the host
// only.

#include <maya/MColor.h>
#include <maya/MPoint.h>
#include <maya/MTypes.h>

namespace MHWRender {

class MUIDrawManager {
  public:
    void beginDrawable();
    void endDrawable();
    void setColor(const MColor& color);
    void line(const MPoint& startPoint, const MPoint& endPoint);

  private:
    friend struct MUIDrawManagerAccess;
    MUIDrawManager();
    ~MUIDrawManager();
    MUIDrawManager(const MUIDrawManager&) = delete;
    MUIDrawManager& operator=(const MUIDrawManager&) = delete;

    bool inDrawable_ = false;
    MColor color_;
};

}  // namespace MHWRender
