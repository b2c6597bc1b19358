// Rotation matrices built independently of the code under test, for comparing rotations.
// Column-vector convention: v' = R v.
#pragma once

#include <array>
#include <cmath>

using Matrix3 = std::array<std::array<double, 3>, 3>;

// Rodrigues' formula for a rotation vector (axis times angle, radians).
inline Matrix3 matrixOfRotationVector(double x, double y, double z) {
    const double angle = std::sqrt(x * x + y * y + z * z);
    Matrix3 r = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    if (angle == 0.0) {
        return r;
    }
    const double k[3] = {x / angle, y / angle, z / angle};
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double cross[3][3] = {{0, -k[2], k[1]}, {k[2], 0, -k[0]}, {-k[1], k[0], 0}};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            r[i][j] = (i == j ? c : 0.0) + (1 - c) * k[i] * k[j] + s * cross[i][j];
        }
    }
    return r;
}

inline Matrix3 multiply(const Matrix3& a, const Matrix3& b) {
    Matrix3 r{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            for (int k = 0; k < 3; ++k) {
                r[i][j] += a[i][k] * b[k][j];
            }
        }
    }
    return r;
}

// Euler angles in order XYZ: about X first, then Y, then Z.
inline Matrix3 matrixOfEulerXYZ(double x, double y, double z) {
    return multiply(matrixOfRotationVector(0, 0, z),
                    multiply(matrixOfRotationVector(0, y, 0), matrixOfRotationVector(x, 0, 0)));
}

// A unit quaternion (x, y, z, w).
inline Matrix3 matrixOfQuaternion(const double q[4]) {
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    return {{{1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
             {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
             {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)}}};
}

inline double largestDifference(const Matrix3& a, const Matrix3& b) {
    double largest = 0.0;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            largest = std::fmax(largest, std::fabs(a[i][j] - b[i][j]));
        }
    }
    return largest;
}
