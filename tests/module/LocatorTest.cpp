// The two locator node types as the viewport and evaluation reach them: the recorded drawing,
// the bounding box read from each type's own "size", and compute.

#include <maya/M3dView.h>
#include <maya/MDistance.h>
#include <maya/MGlobal.h>

#include <host/gl_record.h>
#include <host/scene.h>

#include <GL/gl.h>

#include <string>
#include <vector>

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

// Viewport 2.0 draws, through each type's override, the very lines of the legacy draw, in the
// node's wireframe colour, and answers the node's own bounds, whatever the size.
TEST_F(Locators, DrawTheSameCrossAndBoundsInViewport2) {
    for (const char* type : {"DOFLocator", "MarkerLocator"}) {
        const std::string shape = create(type);
        ASSERT_TRUE(MGlobal::executeCommand("select -cl"));  // createNode selects the node
        for (const char* size : {"1", "0.25", "7", "0"}) {
            SCOPED_TRACE(std::string(type) + " of size " + size);
            ASSERT_TRUE(
                MGlobal::executeCommand(MString(("setAttr " + shape + ".size " + size).c_str())));
            drawnHalfLength(shape);
            const std::vector<host::GlVertex> legacy = host::glPrimitives().at(0).vertices;

            host::clearGlRecord();
            bool bounded = true;
            double min[3], max[3];
            std::string error;
            ASSERT_TRUE(host::drawLocatorOverride(shape, &bounded, min, max, &error)) << error;
            EXPECT_TRUE(host::glErrors().empty());
            ASSERT_EQ(1u, host::uiDrawables().size());
            const host::UiDrawable& drawn = host::uiDrawables()[0];
            ASSERT_EQ(legacy.size(), drawn.lines.size());
            for (size_t i = 0; i < legacy.size(); ++i) {
                EXPECT_EQ(legacy[i].x, drawn.lines[i].x) << i;
                EXPECT_EQ(legacy[i].y, drawn.lines[i].y) << i;
                EXPECT_EQ(legacy[i].z, drawn.lines[i].z) << i;
            }
            EXPECT_FALSE(bounded);
            EXPECT_EQ(boxHalfSide(shape), max[0]);
            EXPECT_EQ(-max[2], min[2]);
            EXPECT_EQ(0.0, max[1]);
            // Not selected: the dormant wireframe colour.
            EXPECT_EQ(0.376f, drawn.color[2]);
        }
    }
    ASSERT_TRUE(MGlobal::executeCommand("select -r DOFLocator1"));
    ASSERT_TRUE(host::drawLocatorOverride("DOFLocator1"));
    EXPECT_EQ(0.26f, host::uiDrawables().back().color[0]);  // the lead's
}

// minihost's scene picture: the same lines, placed by each node's transform, whichever viewport
// draws them.
TEST_F(Locators, PictureTheSameInBothViewports) {
    create("DOFLocator");
    create("MarkerLocator");
    ASSERT_TRUE(MGlobal::executeCommand("setAttr transform1.translateX 20"));
    const std::string legacy = host::scenePicture(host::Viewport::kLegacy);
    EXPECT_EQ(legacy, host::scenePicture(host::Viewport::kViewport2));
    size_t lines = 0;
    for (size_t at = legacy.find("<line "); at != std::string::npos;
         at = legacy.find("<line ", at + 1))
        ++lines;
    EXPECT_EQ(6u, lines);
    // Fitted to the picture: the DOF cross at x = 20 ends at the right margin.
    EXPECT_NE(std::string::npos, legacy.find("x1=\"780.00\"")) << legacy;
}

TEST_F(Locators, ComputeNothing) {
    for (const char* type : {"DOFLocator", "MarkerLocator"}) {
        std::string error;
        EXPECT_EQ(5, host::computePlug(create(type) + ".size", &error)) << type << error;
    }
}

}  // namespace
