#pragma once
// A rotation as a quaternion (x, y, z, w): vector part first, scalar part last.

#include <maya/MStatus.h>
#include <maya/MTypes.h>

class MEulerRotation;

class MQuaternion {
  public:
    MQuaternion() = default;
    MQuaternion(const MQuaternion& other) = default;
    MQuaternion(double xx, double yy, double zz, double ww) : x(xx), y(yy), z(zz), w(ww) {}
    // q[0..3] are x, y, z, w.
    MQuaternion(const double q[4]) : x(q[0]), y(q[1]), z(q[2]), w(q[3]) {}
    ~MQuaternion() = default;

    MQuaternion& operator=(const MQuaternion& other) = default;
    MQuaternion& operator=(const MEulerRotation& euler);

    double operator[](unsigned int i) const;
    double& operator[](unsigned int i);
    void get(double dest[4]) const;

    // Rotation product: (a * b) applies a, then b, as the host's row-vector matrices do.
    MQuaternion operator*(const MQuaternion& other) const;
    MQuaternion& operator*=(const MQuaternion& other);
    MQuaternion operator-() const;
    bool operator==(const MQuaternion& other) const;
    bool operator!=(const MQuaternion& other) const;
    bool isEquivalent(const MQuaternion& other, double tolerance = 1.0e-10) const;

    MQuaternion normal() const;
    MQuaternion& normalizeIt();
    MQuaternion conjugate() const;
    MQuaternion& conjugateIt();
    MQuaternion inverse() const;
    MQuaternion& invertIt();
    MEulerRotation asEulerRotation() const;

    static const MQuaternion identity;

    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double w = 1.0;
};
