#include <maya/MEulerRotation.h>
#include <maya/MQuaternion.h>

#include "types/components.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

const MEulerRotation MEulerRotation::identity;

namespace {

constexpr double MEulerRotation::*kComponents[] = {&MEulerRotation::x, &MEulerRotation::y,
                                                   &MEulerRotation::z};
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

// The axes of each order in the order they apply (0 = X, 1 = Y, 2 = Z), and whether that
// sequence is an odd permutation of X, Y, Z.
struct OrderAxes {
    int first, second, third;
    bool odd;
};

OrderAxes axesOf(MEulerRotation::RotationOrder order) {
    switch (order) {
        case MEulerRotation::kXYZ:
            return {0, 1, 2, false};
        case MEulerRotation::kYZX:
            return {1, 2, 0, false};
        case MEulerRotation::kZXY:
            return {2, 0, 1, false};
        case MEulerRotation::kXZY:
            return {0, 2, 1, true};
        case MEulerRotation::kYXZ:
            return {1, 0, 2, true};
        case MEulerRotation::kZYX:
            return {2, 1, 0, true};
    }
    std::fprintf(stderr, "MEulerRotation: invalid rotation order %d\n", static_cast<int>(order));
    std::abort();
}

struct Angles {
    double a, b, c;  // about the first, second and third axis applied
};

// XYZ decomposition of a unit quaternion. Y lies in [-pi/2, pi/2]. At gimbal lock, where
// only X - Z (or X + Z) is determined, Z is set to 0 and X carries the whole rotation.
Angles decomposeXYZ(double x, double y, double z, double w) {
    double sinY = 2.0 * (w * y - x * z);
    // Below this margin the regular formulas still resolve X and Z to about 1e-8; above it
    // cos Y is so small that their arguments are mostly rounding noise.
    if (std::fabs(sinY) >= 1.0 - 4.0 * DBL_EPSILON) {
        sinY = sinY > 0.0 ? 1.0 : -1.0;
        const double angleX = std::atan2(2.0 * (w * x - y * z), 1.0 - 2.0 * (x * x + z * z));
        return {angleX, std::asin(sinY), 0.0};
    }
    return {std::atan2(2.0 * (y * z + w * x), 1.0 - 2.0 * (x * x + y * y)), std::asin(sinY),
            std::atan2(2.0 * (x * y + w * z), 1.0 - 2.0 * (y * y + z * z))};
}

double component(const MQuaternion& q, int axis) {
    return axis == 0 ? q.x : axis == 1 ? q.y : q.z;
}

double& angleAbout(MEulerRotation& e, int axis) {
    return axis == 0 ? e.x : axis == 1 ? e.y : e.z;
}

double nearestCut(double value, double target) {
    return value + kTwoPi * std::round((target - value) / kTwoPi);
}

double distance(const MEulerRotation& a, const MEulerRotation& b) {
    return std::fabs(a.x - b.x) + std::fabs(a.y - b.y) + std::fabs(a.z - b.z);
}

// Any order reduces to the XYZ formulas by renaming the axes: the quaternion's components
// are read in the order's own axis sequence. An odd renaming mirrors the space, which
// turns every rotation the other way, so the vector part is negated on the way in and the
// angles on the way out.
MEulerRotation decompose(const MQuaternion& quaternion, MEulerRotation::RotationOrder ord) {
    const MQuaternion q = quaternion.normal();
    const OrderAxes axes = axesOf(ord);
    const double sign = axes.odd ? -1.0 : 1.0;
    const Angles angles =
        decomposeXYZ(sign * component(q, axes.first), sign * component(q, axes.second),
                     sign * component(q, axes.third), q.w);
    MEulerRotation result(0.0, 0.0, 0.0, ord);
    angleAbout(result, axes.first) = sign * angles.a;
    angleAbout(result, axes.second) = sign * angles.b;
    angleAbout(result, axes.third) = sign * angles.c;
    return result;
}

}  // namespace

MEulerRotation& MEulerRotation::operator=(const MQuaternion& q) {
    return *this = decompose(q, order);
}

MEulerRotation& MEulerRotation::setValue(double xx, double yy, double zz, RotationOrder ord) {
    return *this = MEulerRotation(xx, yy, zz, ord);
}

double MEulerRotation::operator[](unsigned int i) const {
    return types::component(*this, kComponents, i, "MEulerRotation");
}

double& MEulerRotation::operator[](unsigned int i) {
    return types::component(*this, kComponents, i, "MEulerRotation");
}

MQuaternion MEulerRotation::asQuaternion() const {
    const OrderAxes axes = axesOf(order);
    const double angles[3] = {x, y, z};
    MQuaternion result;  // identity
    for (int axis : {axes.first, axes.second, axes.third}) {
        const double half = 0.5 * angles[axis];
        MQuaternion step(0.0, 0.0, 0.0, std::cos(half));
        step[static_cast<unsigned int>(axis)] = std::sin(half);
        result = result * step;  // this axis after the ones before it
    }
    return result;
}

MEulerRotation MEulerRotation::operator+(const MEulerRotation& o) const {
    return MEulerRotation(x + o.x, y + o.y, z + o.z, order);
}

MEulerRotation MEulerRotation::operator-(const MEulerRotation& o) const {
    return MEulerRotation(x - o.x, y - o.y, z - o.z, order);
}

MEulerRotation MEulerRotation::operator-() const {
    return MEulerRotation(-x, -y, -z, order);
}

MEulerRotation MEulerRotation::operator*(double scale) const {
    return MEulerRotation(x * scale, y * scale, z * scale, order);
}

bool MEulerRotation::operator==(const MEulerRotation& o) const {
    return x == o.x && y == o.y && z == o.z && order == o.order;
}

bool MEulerRotation::operator!=(const MEulerRotation& o) const {
    return !(*this == o);
}

bool MEulerRotation::isEquivalent(const MEulerRotation& o, double tolerance) const {
    return order == o.order && types::withinTolerance<3>({x, y, z}, {o.x, o.y, o.z}, tolerance);
}

bool MEulerRotation::isZero(double tolerance) const {
    return std::fabs(x) <= tolerance && std::fabs(y) <= tolerance && std::fabs(z) <= tolerance;
}

MEulerRotation MEulerRotation::reorder(RotationOrder ord) const {
    if (ord == order)
        return *this;
    return decompose(asQuaternion(), ord);
}

MEulerRotation& MEulerRotation::reorderIt(RotationOrder ord) {
    return *this = reorder(ord);
}

MEulerRotation MEulerRotation::bound() const {
    return MEulerRotation(nearestCut(x, 0.0), nearestCut(y, 0.0), nearestCut(z, 0.0), order);
}

MEulerRotation& MEulerRotation::boundIt() {
    return *this = bound();
}

// For three distinct axes, turning the first and last by pi and mirroring the middle angle
// about pi/2 gives the same orientation, whatever the order.
MEulerRotation MEulerRotation::alternateSolution() const {
    const OrderAxes axes = axesOf(order);
    MEulerRotation result(*this);
    angleAbout(result, axes.first) += kPi;
    angleAbout(result, axes.second) = kPi - angleAbout(result, axes.second);
    angleAbout(result, axes.third) += kPi;
    return result;
}

MEulerRotation& MEulerRotation::setToAlternateSolution() {
    return *this = alternateSolution();
}

MEulerRotation MEulerRotation::closestCut(const MEulerRotation& dst) const {
    const MEulerRotation src = reorder(dst.order);
    return MEulerRotation(nearestCut(src.x, dst.x), nearestCut(src.y, dst.y),
                          nearestCut(src.z, dst.z), dst.order);
}

MEulerRotation& MEulerRotation::setToClosestCut(const MEulerRotation& dst) {
    return *this = closestCut(dst);
}

MEulerRotation MEulerRotation::closestSolution(const MEulerRotation& dst) const {
    const MEulerRotation src = reorder(dst.order);
    const MEulerRotation direct = src.closestCut(dst);
    const MEulerRotation other = src.alternateSolution().closestCut(dst);
    return distance(other, dst) < distance(direct, dst) ? other : direct;
}

MEulerRotation& MEulerRotation::setToClosestSolution(const MEulerRotation& dst) {
    return *this = closestSolution(dst);
}

MEulerRotation MEulerRotation::bound(const MEulerRotation& src) {
    return src.bound();
}

MEulerRotation MEulerRotation::alternateSolution(const MEulerRotation& src) {
    return src.alternateSolution();
}

MEulerRotation MEulerRotation::closestCut(const MEulerRotation& src, const MEulerRotation& dst) {
    return src.closestCut(dst);
}

MEulerRotation MEulerRotation::closestSolution(const MEulerRotation& src,
                                               const MEulerRotation& dst) {
    return src.closestSolution(dst);
}
