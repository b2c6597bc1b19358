#include "import/Rotation.h"

#include <cmath>

void axisAngleToQuaternion(const double rotationVector[3], double quaternion[4]) {
    const double x = rotationVector[0];
    const double y = rotationVector[1];
    const double z = rotationVector[2];
    const double angle = std::sqrt(x * x + y * y + z * z);
    const double halfSine = std::sin(angle / 2.0);
    quaternion[3] = std::cos(angle / 2.0);
    if (angle < 1e-15) {
        // No axis to speak of: the rotation is the identity to within rounding.
        quaternion[0] = x;
        quaternion[1] = y;
        quaternion[2] = z;
        return;
    }
    const double inverseAngle = 1.0 / angle;
    quaternion[0] = x * inverseAngle * halfSine;
    quaternion[1] = y * inverseAngle * halfSine;
    quaternion[2] = z * inverseAngle * halfSine;
}
