#include <maya/MEulerRotation.h>
#include <maya/MQuaternion.h>

#include "types/components.h"

#include <cmath>

const MQuaternion MQuaternion::identity;

namespace {

constexpr double MQuaternion::*kComponents[] = {&MQuaternion::x, &MQuaternion::y, &MQuaternion::z,
                                                &MQuaternion::w};

// Hamilton product a b.
MQuaternion hamilton(const MQuaternion& a, const MQuaternion& b) {
    return MQuaternion(a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
                       a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
                       a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,
                       a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z);
}

}  // namespace

MQuaternion& MQuaternion::operator=(const MEulerRotation& euler) {
    return *this = euler.asQuaternion();
}

double MQuaternion::operator[](unsigned int i) const {
    return types::component(*this, kComponents, i, "MQuaternion");
}

double& MQuaternion::operator[](unsigned int i) {
    return types::component(*this, kComponents, i, "MQuaternion");
}

void MQuaternion::get(double dest[4]) const {
    if (!dest)
        return;
    for (unsigned int i = 0; i < 4; ++i)
        dest[i] = (*this)[i];
}

// Vectors are rotated as q v q*, so "this, then other" is the Hamilton product other * this.
MQuaternion MQuaternion::operator*(const MQuaternion& other) const {
    return hamilton(other, *this);
}

MQuaternion& MQuaternion::operator*=(const MQuaternion& other) {
    return *this = *this * other;
}

MQuaternion MQuaternion::operator-() const {
    return MQuaternion(-x, -y, -z, -w);
}

bool MQuaternion::operator==(const MQuaternion& o) const {
    return x == o.x && y == o.y && z == o.z && w == o.w;
}

bool MQuaternion::operator!=(const MQuaternion& o) const {
    return !(*this == o);
}

bool MQuaternion::isEquivalent(const MQuaternion& o, double tolerance) const {
    return types::withinTolerance<4>({x, y, z, w}, {o.x, o.y, o.z, o.w}, tolerance);
}

MQuaternion MQuaternion::normal() const {
    MQuaternion copy(*this);
    return copy.normalizeIt();
}

MQuaternion& MQuaternion::normalizeIt() {
    const double length = std::sqrt(x * x + y * y + z * z + w * w);
    if (length > 0.0) {
        x /= length;
        y /= length;
        z /= length;
        w /= length;
    }
    return *this;
}

MQuaternion MQuaternion::conjugate() const {
    return MQuaternion(-x, -y, -z, w);
}

MQuaternion& MQuaternion::conjugateIt() {
    return *this = conjugate();
}

MQuaternion MQuaternion::inverse() const {
    const double norm = x * x + y * y + z * z + w * w;
    if (norm == 0.0)
        return *this;
    return MQuaternion(-x / norm, -y / norm, -z / norm, w / norm);
}

MQuaternion& MQuaternion::invertIt() {
    return *this = inverse();
}

MEulerRotation MQuaternion::asEulerRotation() const {
    MEulerRotation euler;  // in order kXYZ
    euler = *this;
    return euler;
}
