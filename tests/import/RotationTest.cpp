// Rotation vectors to quaternions, checked against the rotation matrix of the vector.
#include <gtest/gtest.h>

#include <cmath>

#include "RotationMatrix.h"
#include "import/Rotation.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct VectorCase {
    double x, y, z;
};

class QuaternionOfVectorTest : public ::testing::TestWithParam<VectorCase> {};

TEST_P(QuaternionOfVectorTest, RotatesAsTheVectorDoes) {
    const VectorCase& v = GetParam();
    const double vector[3] = {v.x, v.y, v.z};
    double q[4];
    axisAngleToQuaternion(vector, q);
    EXPECT_NEAR(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3], 1.0, 1e-12);
    EXPECT_LT(largestDifference(matrixOfQuaternion(q), matrixOfRotationVector(v.x, v.y, v.z)),
              1e-12);
}

INSTANTIATE_TEST_SUITE_P(Vectors, QuaternionOfVectorTest,
                         ::testing::Values(VectorCase{0, 0, kPi / 2}, VectorCase{kPi / 3, 0, 0},
                                           VectorCase{0, -2.5, 0}, VectorCase{1, 2, 3},
                                           VectorCase{-0.3, 0.2, -0.1}, VectorCase{kPi, 0, 0},
                                           VectorCase{0, 0, 3 * kPi / 2},
                                           VectorCase{4 * kPi, 1e-3, 0}, VectorCase{1e-14, 0, 0},
                                           VectorCase{-7, 5, 11}));

TEST(AxisAngleToQuaternion, ExactValues) {
    struct Case {
        double vector[3];
        double quaternion[4];
    };
    const double s45 = std::sin(kPi / 4);
    const Case cases[] = {
        {{0, 0, 0}, {0, 0, 0, 1}},
        {{0, 0, kPi / 2}, {0, 0, s45, std::cos(kPi / 4)}},
        // A full turn is the identity with the quaternion's sign flipped.
        {{0, 2 * kPi, 0}, {0, 0, 0, -1}},
        // Short, but long enough to normalise: half the angle, w just below 1.
        {{1e-8, 0, 0}, {5e-9, 0, 0, 1}},
        // Too short to normalise: copied unchanged, with w = 1.
        {{1e-16, 0, 0}, {1e-16, 0, 0, 1}},
        {{3e-16, -4e-16, 0}, {3e-16, -4e-16, 0, 1}},
    };
    for (const Case& c : cases) {
        double q[4];
        axisAngleToQuaternion(c.vector, q);
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(q[i], c.quaternion[i], 1e-15)
                << "component " << i << " of (" << c.vector[0] << ", " << c.vector[1] << ", "
                << c.vector[2] << ")";
        }
    }
}

}  // namespace
