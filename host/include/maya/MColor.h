#pragma once
// A colour: red, green, blue and alpha, each from 0 to 1.

#include <maya/MTypes.h>

class MColor {
  public:
    MColor() = default;
    MColor(const MColor& src) = default;
    MColor(float rr, float gg, float bb = 0.0, float aa = 1.0) : r(rr), g(gg), b(bb), a(aa) {}
    ~MColor() = default;

    MColor& operator=(const MColor& src) = default;
    float operator[](unsigned int i) const { return i == 0 ? r : i == 1 ? g : i == 2 ? b : a; }
    bool operator==(const MColor& other) const {
        return r == other.r && g == other.g && b == other.b && a == other.a;
    }
    bool operator!=(const MColor& other) const { return !(*this == other); }

    float r = 0;
    float g = 0;
    float b = 0;
    float a = 1;
};
