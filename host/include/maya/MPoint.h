#pragma once
// A point in homogeneous coordinates (x, y, z, w); w is 1 for an ordinary point.

#include <maya/MStatus.h>
#include <maya/MTypes.h>

class MPoint {
  public:
    MPoint() = default;
    MPoint(const MPoint& other) = default;
    MPoint(double xx, double yy, double zz = 0.0, double ww = 1.0) : x(xx), y(yy), z(zz), w(ww) {}
    MPoint(const double d[4]) : x(d[0]), y(d[1]), z(d[2]), w(d[3]) {}
    ~MPoint() = default;

    MPoint& operator=(const MPoint& other) = default;
    double operator[](unsigned int i) const;
    double& operator[](unsigned int i);
    MStatus get(double dest[4]) const;

    // Scales x, y and z; w is kept.
    MPoint operator*(double scale) const;
    MPoint operator/(double scale) const;
    bool operator==(const MPoint& other) const;
    bool operator!=(const MPoint& other) const;
    bool isEquivalent(const MPoint& other, double tolerance = 1.0e-10) const;
    double distanceTo(const MPoint& other) const;
    // Divides x, y and z by w and sets w to 1.
    MPoint& cartesianize();
    MPoint& homogenize();

    static const MPoint origin;

    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double w = 1.0;
};
