#pragma once
// A rotation as three angles in radians and the order in which they apply. With order kXYZ
// the rotation about X applies first, then Y, then Z: for row vectors (p' = p M),
// M = RX * RY * RZ.

#include <maya/MStatus.h>
#include <maya/MTypes.h>

class MQuaternion;

class MEulerRotation {
  public:
    enum RotationOrder {
        kXYZ = 0,
        kYZX = 1,
        kZXY = 2,
        kXZY = 3,
        kYXZ = 4,
        kZYX = 5,
    };

    MEulerRotation() = default;
    MEulerRotation(const MEulerRotation& other) = default;
    MEulerRotation(double xx, double yy, double zz, RotationOrder ord = kXYZ)
        : x(xx), y(yy), z(zz), order(ord) {}
    ~MEulerRotation() = default;

    MEulerRotation& operator=(const MEulerRotation& other) = default;
    // Decomposes the quaternion in this rotation's own order; a non-unit quaternion is
    // normalised first.
    MEulerRotation& operator=(const MQuaternion& q);
    MEulerRotation& setValue(double xx, double yy, double zz, RotationOrder ord = kXYZ);

    double operator[](unsigned int i) const;
    double& operator[](unsigned int i);

    MQuaternion asQuaternion() const;

    MEulerRotation operator+(const MEulerRotation& other) const;
    MEulerRotation operator-(const MEulerRotation& other) const;
    MEulerRotation operator-() const;
    MEulerRotation operator*(double scale) const;
    bool operator==(const MEulerRotation& other) const;
    bool operator!=(const MEulerRotation& other) const;
    bool isEquivalent(const MEulerRotation& other, double tolerance = 1.0e-10) const;
    bool isZero(double tolerance = 1.0e-10) const;

    // The same orientation in another order.
    MEulerRotation reorder(RotationOrder ord) const;
    MEulerRotation& reorderIt(RotationOrder ord);

    // Each angle brought within [-pi, pi] by whole turns.
    MEulerRotation bound() const;
    MEulerRotation& boundIt();
    // The other decomposition of the same orientation: (x + pi, pi - y, z + pi).
    MEulerRotation alternateSolution() const;
    MEulerRotation& setToAlternateSolution();
    // Each angle moved by whole turns to lie nearest the destination's angle.
    MEulerRotation closestCut(const MEulerRotation& dst) const;
    MEulerRotation& setToClosestCut(const MEulerRotation& dst);
    // Of the closest cuts of this rotation and of its alternate solution, the one nearer
    // to dst (sum of absolute angle differences; the first on a tie).
    MEulerRotation closestSolution(const MEulerRotation& dst) const;
    MEulerRotation& setToClosestSolution(const MEulerRotation& dst);

    static MEulerRotation bound(const MEulerRotation& src);
    static MEulerRotation alternateSolution(const MEulerRotation& src);
    static MEulerRotation closestCut(const MEulerRotation& src, const MEulerRotation& dst);
    static MEulerRotation closestSolution(const MEulerRotation& src, const MEulerRotation& dst);

    static const MEulerRotation identity;

    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    RotationOrder order = kXYZ;
};
