// Conversion of the rotation vectors stored in K-files (axis times angle, radians).
#pragma once

// The unit quaternion (x, y, z, w) of a rotation vector. A vector shorter than 1e-15 cannot
// be normalised; its components are copied unchanged with w = 1 (practically the identity).
void axisAngleToQuaternion(const double rotationVector[3], double quaternion[4]);
