#pragma once
// Viewport 2.0's drawing devices.

#include <maya/MTypes.h>

namespace MHWRender {

enum DrawAPI {
    kNone = 0,
    kOpenGL = 1 << 0,
    kDirectX11 = 1 << 1,
    kOpenGLCoreProfile = 1 << 2,
    kAllDevices = kOpenGL | kDirectX11 | kOpenGLCoreProfile,
};

inline DrawAPI operator|(DrawAPI a, DrawAPI b) {
    return static_cast<DrawAPI>(static_cast<int>(a) | static_cast<int>(b));
}

}  // namespace MHWRender
