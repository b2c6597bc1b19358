#include "EulerAngles.h"

#include <cfloat>
#include <cmath>

#include "import/Rotation.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

// XYZ angles of a unit quaternion (x, y, z, w). At gimbal lock only X - Z (or X + Z) is
// determined: Z is then 0 and X carries the whole turn.
void Decompose(const double q[4], double angles[3]) {
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    double sinY = 2.0 * (w * y - x * z);
    if (std::fabs(sinY) >= 1.0 - 4.0 * DBL_EPSILON) {
        sinY = sinY > 0.0 ? 1.0 : -1.0;
        angles[0] = std::atan2(2.0 * (w * x - y * z), 1.0 - 2.0 * (x * x + z * z));
        angles[1] = std::asin(sinY);
        angles[2] = 0.0;
        return;
    }
    angles[0] = std::atan2(2.0 * (y * z + w * x), 1.0 - 2.0 * (x * x + y * y));
    angles[1] = std::asin(sinY);
    angles[2] = std::atan2(2.0 * (x * y + w * z), 1.0 - 2.0 * (y * y + z * z));
}

// Each angle moved by whole turns to lie nearest its target.
void NearestCut(double angles[3], const double target[3]) {
    for (int i = 0; i < 3; ++i) {
        angles[i] += kTwoPi * std::round((target[i] - angles[i]) / kTwoPi);
    }
}

double Distance(const double a[3], const double b[3]) {
    return std::fabs(a[0] - b[0]) + std::fabs(a[1] - b[1]) + std::fabs(a[2] - b[2]);
}

}  // namespace

void ContinuousEuler::Next(const double rotationVector[3], double angles[3]) {
    double q[4];
    axisAngleToQuaternion(rotationVector, q);
    const double norm = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    for (double& component : q) {
        component /= norm;
    }
    Decompose(q, angles);
    if (started_) {
        // The same orientation is also X + pi, pi - Y, Z + pi: take whichever lies nearer.
        double other[3] = {angles[0] + kPi, kPi - angles[1], angles[2] + kPi};
        NearestCut(angles, previous_);
        NearestCut(other, previous_);
        if (Distance(other, previous_) < Distance(angles, previous_)) {
            angles[0] = other[0];
            angles[1] = other[1];
            angles[2] = other[2];
        }
    }
    started_ = true;
    previous_[0] = angles[0];
    previous_[1] = angles[1];
    previous_[2] = angles[2];
}
