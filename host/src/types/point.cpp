#include <maya/MBoundingBox.h>
#include <maya/MPoint.h>

#include "types/components.h"

#include <algorithm>
#include <cmath>

const MPoint MPoint::origin;

namespace {
constexpr double MPoint::*kComponents[] = {&MPoint::x, &MPoint::y, &MPoint::z, &MPoint::w};
}  // namespace

double MPoint::operator[](unsigned int i) const {
    return types::component(*this, kComponents, i, "MPoint");
}

double& MPoint::operator[](unsigned int i) {
    return types::component(*this, kComponents, i, "MPoint");
}

MStatus MPoint::get(double dest[4]) const {
    if (!dest)
        return MStatus::kInvalidParameter;
    for (unsigned int i = 0; i < 4; ++i)
        dest[i] = (*this)[i];
    return MStatus::kSuccess;
}

MPoint MPoint::operator*(double scale) const {
    return MPoint(x * scale, y * scale, z * scale, w);
}
MPoint MPoint::operator/(double scale) const {
    return MPoint(x / scale, y / scale, z / scale, w);
}

bool MPoint::operator==(const MPoint& o) const {
    return x == o.x && y == o.y && z == o.z && w == o.w;
}

bool MPoint::operator!=(const MPoint& o) const {
    return !(*this == o);
}

bool MPoint::isEquivalent(const MPoint& o, double tolerance) const {
    return types::withinTolerance<4>({x, y, z, w}, {o.x, o.y, o.z, o.w}, tolerance);
}

double MPoint::distanceTo(const MPoint& o) const {
    MPoint a(*this), b(o);
    a.cartesianize();
    b.cartesianize();
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) +
                     (a.z - b.z) * (a.z - b.z));
}

MPoint& MPoint::cartesianize() {
    if (w != 0.0 && w != 1.0) {
        x /= w;
        y /= w;
        z /= w;
        w = 1.0;
    }
    return *this;
}

MPoint& MPoint::homogenize() {
    x *= w;
    y *= w;
    z *= w;
    return *this;
}

MBoundingBox::MBoundingBox(const MPoint& corner1, const MPoint& corner2) {
    expand(corner1);
    expand(corner2);
}

void MBoundingBox::clear() {
    empty_ = true;
    min_ = max_ = MPoint();
}

void MBoundingBox::expand(const MPoint& point) {
    MPoint p(point);
    p.cartesianize();
    if (empty_) {
        min_ = max_ = p;
        empty_ = false;
        return;
    }
    min_ = MPoint(std::min(min_.x, p.x), std::min(min_.y, p.y), std::min(min_.z, p.z));
    max_ = MPoint(std::max(max_.x, p.x), std::max(max_.y, p.y), std::max(max_.z, p.z));
}

void MBoundingBox::expand(const MBoundingBox& box) {
    if (box.empty_)
        return;
    expand(box.min_);
    expand(box.max_);
}

bool MBoundingBox::contains(const MPoint& point) const {
    if (empty_)
        return false;
    MPoint p(point);
    p.cartesianize();
    return p.x >= min_.x && p.x <= max_.x && p.y >= min_.y && p.y <= max_.y && p.z >= min_.z &&
           p.z <= max_.z;
}

double MBoundingBox::width() const {
    return max_.x - min_.x;
}
double MBoundingBox::height() const {
    return max_.y - min_.y;
}
double MBoundingBox::depth() const {
    return max_.z - min_.z;
}

MPoint MBoundingBox::center() const {
    return MPoint(0.5 * (min_.x + max_.x), 0.5 * (min_.y + max_.y), 0.5 * (min_.z + max_.z));
}

MPoint MBoundingBox::min() const {
    return min_;
}
MPoint MBoundingBox::max() const {
    return max_;
}
