// The two locator node types as the viewport and evaluation reach them: the recorded drawing,
// the bounding box read from each type's own "size", and compute.

#include <maya/M3dView.h>
#include <maya/MDistance.h>
#include <maya/MGlobal.h>

#include <host/gl_record.h>
#include <host/scene.h>

#include <GL/gl.h>

#include <string>

#include "ModuleTest.h"

namespace {

class Locators : public ModuleTest {
  protected:
    static std::string create(const char* type) {
        MString shape;
        EXPECT_TRUE(MGlobal::executeCommand(MString("createNode ") + type, shape));
        return shape.asChar();
    }

    // The cross drawn by the locator: six vertices on the axes, Z, X then Y, each pair
    // +h, -h. Answers h.
    static float drawnHalfLength(const std::string& shape) {
        host::clearGlRecord();
        std::string error;
        EXPECT_TRUE(host::drawLocator(shape, M3dView::kWireFrame, M3dView::kDormant, &error))
            << error;
        const auto& primitives = host::glPrimitives();
        EXPECT_TRUE(host::glErrors().empty());
        if (primitives.size() != 1 || primitives[0].vertices.size() != 6)
            return -1.0f;
        EXPECT_EQ(static_cast<unsigned>(GL_LINES), primitives[0].mode);
        const auto& v = primitives[0].vertices;
        const float h = v[0].z;
        const float expected[6][3] = {{0, 0, h},  {0, 0, -h}, {h, 0, 0},
                                      {-h, 0, 0}, {0, h, 0},  {0, -h, 0}};
        for (size_t i = 0; i < 6; ++i) {
            EXPECT_EQ(expected[i][0], v[i].x) << i;
            EXPECT_EQ(expected[i][1], v[i].y) << i;
            EXPECT_EQ(expected[i][2], v[i].z) << i;
        }
        return h;
    }

    // The box's max corner; the min corner must mirror it, flat in Y.
    static double boxHalfSide(const std::string& shape) {
        bool bounded = true;
        double min[3];
        double max[3];
        std::string error;
        EXPECT_TRUE(host::locatorBounds(shape, &bounded, min, max, &error)) << error;
        EXPECT_FALSE(bounded);
        EXPECT_EQ(0.0, min[1]);
        EXPECT_EQ(0.0, max[1]);
        EXPECT_EQ(-max[0], min[0]);
        EXPECT_EQ(-max[2], min[2]);
        EXPECT_EQ(max[0], max[2]);
        return max[0];
    }
};

// The cross is drawn in centimetres, the internal unit, whatever the UI distance unit is.
TEST_F(Locators, DrawACrossOfFixedLengthWhateverTheirSize) {
    const std::string dof = create("DOFLocator");
    const std::string marker = create("MarkerLocator");
    EXPECT_EQ(5.0f, drawnHalfLength(dof));
    EXPECT_EQ(1.0f, drawnHalfLength(marker));
    ASSERT_TRUE(MGlobal::executeCommand(MString(("setAttr " + dof + ".size 7").c_str())));
    ASSERT_TRUE(MGlobal::executeCommand(MString(("setAttr " + marker + ".size 7").c_str())));
    for (MDistance::Unit unit :
         {MDistance::kCentimeters, MDistance::kMillimeters, MDistance::kMeters}) {
        MDistance::setUIUnit(unit);
        EXPECT_EQ(5.0f, drawnHalfLength(dof)) << "UI unit " << unit;
        EXPECT_EQ(1.0f, drawnHalfLength(marker)) << "UI unit " << unit;
    }
}

// Each type reads its box from its own "size": setting one type's size leaves the other's box.
TEST_F(Locators, BoundingBoxFollowsEachNodesOwnSize) {
    const std::string dof = create("DOFLocator");
    const std::string marker = create("MarkerLocator");
    EXPECT_EQ(0.5, boxHalfSide(dof));  // the default size, 1 cm
    EXPECT_EQ(0.5, boxHalfSide(marker));
    ASSERT_TRUE(MGlobal::executeCommand(MString(("setAttr " + dof + ".size 3").c_str())));
    EXPECT_EQ(1.5, boxHalfSide(dof));
    EXPECT_EQ(0.5, boxHalfSide(marker));
    ASSERT_TRUE(MGlobal::executeCommand(MString(("setAttr " + marker + ".size 5").c_str())));
    EXPECT_EQ(1.5, boxHalfSide(dof));
    EXPECT_EQ(2.5, boxHalfSide(marker));
    // The default size is 1 cm whatever the UI distance unit, and the box is in centimetres.
    MDistance::setUIUnit(MDistance::kMillimeters);
    EXPECT_EQ(0.5, boxHalfSide(create("DOFLocator")));
}

TEST_F(Locators, ComputeNothing) {
    for (const char* type : {"DOFLocator", "MarkerLocator"}) {
        std::string error;
        EXPECT_EQ(5, host::computePlug(create(type) + ".size", &error)) << type << error;
    }
}

}  // namespace
