// Rotation math of MQuaternion / MEulerRotation, checked by rebuilding the rotation matrix
// from the angles (row vectors, p' = p M, XYZ order M = RX RY RZ) and comparing it with the
// quaternion's own matrix.

#include <gtest/gtest.h>
#include <maya/MEulerRotation.h>
#include <maya/MQuaternion.h>

#include <array>
#include <cmath>
#include <random>

namespace {

constexpr double kPi = 3.14159265358979323846;
using Matrix = std::array<std::array<double, 3>, 3>;

Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix m{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k)
                m[i][j] += a[i][k] * b[k][j];
    return m;
}

Matrix axisMatrix(int axis, double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    if (axis == 0)
        return Matrix{{{1, 0, 0}, {0, c, s}, {0, -s, c}}};
    if (axis == 1)
        return Matrix{{{c, 0, -s}, {0, 1, 0}, {s, 0, c}}};
    return Matrix{{{c, s, 0}, {-s, c, 0}, {0, 0, 1}}};
}

// The axes in the order each rotation order applies them.
std::array<int, 3> sequence(MEulerRotation::RotationOrder order) {
    switch (order) {
        case MEulerRotation::kXYZ:
            return {0, 1, 2};
        case MEulerRotation::kYZX:
            return {1, 2, 0};
        case MEulerRotation::kZXY:
            return {2, 0, 1};
        case MEulerRotation::kXZY:
            return {0, 2, 1};
        case MEulerRotation::kYXZ:
            return {1, 0, 2};
        case MEulerRotation::kZYX:
            return {2, 1, 0};
    }
    return {0, 1, 2};
}

Matrix eulerMatrix(const MEulerRotation& e) {
    Matrix m{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    for (int axis : sequence(e.order))
        m = multiply(m, axisMatrix(axis, e[axis]));
    return m;
}

// Row-vector matrix of a unit quaternion that rotates vectors as q v q*.
Matrix quaternionMatrix(MQuaternion q) {
    q.normalizeIt();
    const double x = q.x, y = q.y, z = q.z, w = q.w;
    const Matrix r{{{1 - 2 * (y * y + z * z), 2 * (x * y - w * z), 2 * (x * z + w * y)},
                    {2 * (x * y + w * z), 1 - 2 * (x * x + z * z), 2 * (y * z - w * x)},
                    {2 * (x * z - w * y), 2 * (y * z + w * x), 1 - 2 * (x * x + y * y)}}};
    Matrix m{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m[i][j] = r[j][i];
    return m;
}

double maxDifference(const Matrix& a, const Matrix& b) {
    double d = 0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            d = std::max(d, std::fabs(a[i][j] - b[i][j]));
    return d;
}

MQuaternion fromRotationVector(double x, double y, double z) {
    const double angle = std::sqrt(x * x + y * y + z * z);
    if (angle == 0)
        return MQuaternion();
    const double s = std::sin(angle / 2) / angle;
    return MQuaternion(x * s, y * s, z * s, std::cos(angle / 2));
}

MQuaternion randomQuaternion(std::mt19937& rng) {
    std::normal_distribution<double> n(0.0, 1.0);
    return MQuaternion(n(rng), n(rng), n(rng), n(rng)).normal();
}

const MEulerRotation::RotationOrder kOrders[] = {MEulerRotation::kXYZ, MEulerRotation::kYZX,
                                                 MEulerRotation::kZXY, MEulerRotation::kXZY,
                                                 MEulerRotation::kYXZ, MEulerRotation::kZYX};

}  // namespace

TEST(TypesRotation, EnumValuesAndDefaults) {
    EXPECT_EQ(0, MEulerRotation::kXYZ);
    EXPECT_EQ(1, MEulerRotation::kYZX);
    EXPECT_EQ(2, MEulerRotation::kZXY);
    EXPECT_EQ(3, MEulerRotation::kXZY);
    EXPECT_EQ(4, MEulerRotation::kYXZ);
    EXPECT_EQ(5, MEulerRotation::kZYX);
    const MEulerRotation e;
    EXPECT_EQ(MEulerRotation::kXYZ, e.order);
    EXPECT_TRUE(e.isZero(0.0));
    const MQuaternion q;
    EXPECT_EQ(MQuaternion(0, 0, 0, 1), q);
    const double values[4] = {0.1, 0.2, 0.3, 0.9};
    const MQuaternion fromArray(values);
    EXPECT_EQ(0.1, fromArray.x);
    EXPECT_EQ(0.9, fromArray.w);
    MEulerRotation indexed(1, 2, 3);
    indexed[1] = 5;
    EXPECT_EQ(5, indexed.y);
    EXPECT_EQ(3, indexed[2]);
}

TEST(TypesRotation, RandomQuaternionsRebuildTheSameMatrixInEveryOrder) {
    std::mt19937 rng(12345);
    for (int i = 0; i < 2000; ++i) {
        const MQuaternion q = randomQuaternion(rng);
        for (MEulerRotation::RotationOrder order : kOrders) {
            MEulerRotation e(0, 0, 0, order);
            e = q;
            ASSERT_EQ(order, e.order);
            ASSERT_LT(maxDifference(eulerMatrix(e), quaternionMatrix(q)), 1e-12)
                << "order " << order << " q " << q.x << " " << q.y << " " << q.z << " " << q.w;
            const auto axes = sequence(order);
            ASSERT_LE(std::fabs(e[axes[1]]), kPi / 2 + 1e-15);
            ASSERT_TRUE(e.asQuaternion().isEquivalent(q, 1e-12) ||
                        e.asQuaternion().isEquivalent(-q, 1e-12));
        }
    }
}

TEST(TypesRotation, WorkedValues) {
    struct Row {
        double v[3];
        double q[4];
        double e[3];
    };
    const Row rows[] = {
        {{0, 0, kPi / 2}, {0, 0, 0.707106781, 0.707106781}, {0, 0, 1.570796327}},
        {{0.3, -0.4, 0.5},
         {0.146894473, -0.195859298, 0.244824122, 0.938148335},
         {0.201424716, -0.454949297, 0.463768193}},
        {{1.0, 2.0, -0.5},
         {0.397582471, 0.795164941, -0.198791235, 0.412459622},
         {3.121224508, 0.951037707, 2.203809033}},
        {{-2.5, 0.7, 1.9},
         {-0.776532989, 0.217429237, 0.590165072, -0.037765485},
         {2.332276513, 1.120096895, -1.070733666}},
    };
    for (const Row& row : rows) {
        const MQuaternion q = fromRotationVector(row.v[0], row.v[1], row.v[2]);
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(row.q[i], q[i], 5e-10);
        MEulerRotation e;
        e = q;
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(row.e[i], e[i], 5e-10);
    }
    const double theta = 0.7;
    MEulerRotation aboutZ;
    aboutZ = MQuaternion(0, 0, std::sin(theta / 2), std::cos(theta / 2));
    EXPECT_NEAR(0, aboutZ.x, 1e-15);
    EXPECT_NEAR(0, aboutZ.y, 1e-15);
    EXPECT_NEAR(theta, aboutZ.z, 1e-15);
}

TEST(TypesRotation, NonUnitQuaternionIsNormalisedFirst) {
    const MQuaternion q = fromRotationVector(0.3, -0.4, 0.5);
    MEulerRotation unit, scaled;
    unit = q;
    scaled = MQuaternion(q.x * 3, q.y * 3, q.z * 3, q.w * 3);
    EXPECT_TRUE(unit.isEquivalent(scaled, 1e-12));
}

TEST(TypesRotation, GimbalLockPutsEverythingInX) {
    for (double ySign : {1.0, -1.0}) {
        for (double a : {-2.0, -0.3, 0.0, 0.4, 1.9}) {
            for (double b : {-1.0, 0.0, 0.25, 2.5}) {
                const MEulerRotation source(a, ySign * kPi / 2, b);
                const MQuaternion q = source.asQuaternion();
                MEulerRotation e;
                e = q;
                EXPECT_EQ(0.0, e.z);
                EXPECT_NEAR(ySign * kPi / 2, e.y, 1e-7);
                EXPECT_LT(maxDifference(eulerMatrix(e), quaternionMatrix(q)), 1e-7);
            }
        }
    }
}

TEST(TypesRotation, NearGimbalStaysAccurate) {
    for (double eps : {1e-3, 1e-5, 1e-7, 1e-9}) {
        const MEulerRotation source(0.4, kPi / 2 - eps, -0.9);
        const MQuaternion q = source.asQuaternion();
        MEulerRotation e;
        e = q;
        EXPECT_LT(maxDifference(eulerMatrix(e), quaternionMatrix(q)), 1e-7) << eps;
    }
}

TEST(TypesRotation, QuaternionProductAppliesLeftOperandFirst) {
    const MQuaternion a = MEulerRotation(0.3, 0, 0).asQuaternion();
    const MQuaternion b = MEulerRotation(0, 0.5, 0).asQuaternion();
    const Matrix expected = multiply(quaternionMatrix(a), quaternionMatrix(b));
    EXPECT_LT(maxDifference(quaternionMatrix(a * b), expected), 1e-14);
    EXPECT_TRUE((a * a.inverse()).isEquivalent(MQuaternion(), 1e-14));
}

TEST(TypesRotation, AlternateSolutionIsTheSameOrientation) {
    const MEulerRotation alt = MEulerRotation(0.1, 0.2, 0.3).alternateSolution();
    EXPECT_NEAR(3.241592654, alt.x, 5e-10);
    EXPECT_NEAR(2.941592654, alt.y, 5e-10);
    EXPECT_NEAR(3.441592654, alt.z, 5e-10);
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> angle(-10, 10);
    for (int i = 0; i < 500; ++i) {
        for (MEulerRotation::RotationOrder order : kOrders) {
            const MEulerRotation e(angle(rng), angle(rng), angle(rng), order);
            ASSERT_LT(maxDifference(eulerMatrix(e), eulerMatrix(e.alternateSolution())), 1e-12);
        }
    }
}

TEST(TypesRotation, ClosestCutBoundAndClosestSolution) {
    std::mt19937 rng(99);
    std::uniform_real_distribution<double> angle(-20, 20);
    for (int i = 0; i < 1000; ++i) {
        const MEulerRotation e(angle(rng), angle(rng), angle(rng));
        const MEulerRotation dst(angle(rng), angle(rng), angle(rng));
        const Matrix m = eulerMatrix(e);

        const MEulerRotation cut = e.closestCut(dst);
        ASSERT_LT(maxDifference(m, eulerMatrix(cut)), 1e-11);
        for (int k = 0; k < 3; ++k)
            ASSERT_LE(std::fabs(cut[k] - dst[k]), kPi + 1e-12);

        const MEulerRotation bounded = e.bound();
        ASSERT_LT(maxDifference(m, eulerMatrix(bounded)), 1e-11);
        for (int k = 0; k < 3; ++k)
            ASSERT_LE(std::fabs(bounded[k]), kPi + 1e-12);
        MEulerRotation inPlace(e);
        ASSERT_EQ(bounded, inPlace.boundIt());

        const MEulerRotation best = e.closestSolution(dst);
        ASSERT_LT(maxDifference(m, eulerMatrix(best)), 1e-11);
        const auto dist = [&](const MEulerRotation& r) {
            return std::fabs(r.x - dst.x) + std::fabs(r.y - dst.y) + std::fabs(r.z - dst.z);
        };
        ASSERT_LE(dist(best), dist(cut) + 1e-12);
        ASSERT_LE(dist(best), dist(e.alternateSolution().closestCut(dst)) + 1e-12);
        MEulerRotation set(e);
        ASSERT_EQ(best, set.setToClosestSolution(dst));
    }
}

TEST(TypesRotation, ClosestSolutionWorkedValues) {
    const MEulerRotation best =
        MEulerRotation(0.1, 0.2, 0.3).closestSolution(MEulerRotation(3.0, 2.9, 3.2));
    EXPECT_NEAR(3.241592654, best.x, 5e-10);
    EXPECT_NEAR(2.941592654, best.y, 5e-10);
    EXPECT_NEAR(3.441592654, best.z, 5e-10);

    // 3 pi / 2 about X decomposes to -pi/2, and near pi it becomes 3 pi / 2 again.
    MEulerRotation e;
    e = fromRotationVector(3 * kPi / 2, 0, 0);
    EXPECT_NEAR(-kPi / 2, e.x, 1e-12);
    EXPECT_NEAR(0, e.y, 1e-12);
    EXPECT_NEAR(0, e.z, 1e-12);
    e.setToClosestSolution(MEulerRotation(kPi, 0, 0));
    EXPECT_NEAR(3 * kPi / 2, e.x, 1e-12);
    EXPECT_NEAR(0, e.y, 1e-12);
    EXPECT_NEAR(0, e.z, 1e-12);
}

TEST(TypesRotation, StepsAboutZStayContinuousAcrossPi) {
    const double expected[] = {0.1,      0.885398, 1.670796, 2.456194, 3.241593,
                               4.026991, 4.812389, 5.597787, 6.383185};
    MEulerRotation previous;
    for (int k = 0; k <= 8; ++k) {
        MEulerRotation e;
        e = fromRotationVector(0, 0, 0.1 + k * kPi / 4);
        if (k > 0)
            e.setToClosestSolution(previous);
        EXPECT_NEAR(expected[k], e.z, 5e-7) << k;
        EXPECT_NEAR(0, e.x, 1e-9);
        EXPECT_NEAR(0, e.y, 1e-9);
        previous = e;
    }
}

TEST(TypesRotation, SteadyRotationAboutAnyAxisHasNoJumps) {
    std::mt19937 rng(3);
    std::normal_distribution<double> n(0, 1);
    for (int run = 0; run < 50; ++run) {
        double axis[3] = {n(rng), n(rng), n(rng)};
        const double length = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
        MEulerRotation previous;
        const double step = 0.05;
        for (int k = 0; k < 400; ++k) {  // about three turns, through +-pi several times
            const double a = k * step / length;
            MEulerRotation e;
            e = fromRotationVector(axis[0] * a, axis[1] * a, axis[2] * a);
            if (k > 0) {
                e.setToClosestSolution(previous);
                for (int c = 0; c < 3; ++c) {
                    // Far from gimbal lock a small turn moves every angle a little.
                    if (std::fabs(std::cos(e.y)) > 0.2) {
                        ASSERT_LT(std::fabs(e[c] - previous[c]), 0.5);
                    }
                }
            }
            previous = e;
        }
    }
}

TEST(TypesRotation, ReorderKeepsOrientation) {
    const MEulerRotation e(0.3, -1.1, 2.0);
    for (MEulerRotation::RotationOrder order : kOrders) {
        const MEulerRotation r = e.reorder(order);
        EXPECT_EQ(order, r.order);
        EXPECT_LT(maxDifference(eulerMatrix(e), eulerMatrix(r)), 1e-12);
    }
}
