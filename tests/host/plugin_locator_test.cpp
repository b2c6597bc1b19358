// A module's locator node type in the stand-in: created by MEL, drawn through M3dView and
// the recorded GL calls, its bounds and compute reached as the host reaches them.

#include <maya/M3dView.h>
#include <maya/MGlobal.h>

#include <host/gl_record.h>

#include <GL/gl.h>

#include <string>
#include <vector>

#include "plugin_test_support.h"

namespace {

class PluginLocator : public PluginTest {
  protected:
    void SetUp() override {
        PluginTest::SetUp();
        std::string error;
        ASSERT_TRUE(host::loadPlugin("hosttestplugin", &error)) << error;
        host::clearGlRecord();
        ASSERT_TRUE(MGlobal::executeCommand("createNode hostTestLocator", shape_));
    }
    void TearDown() override {
        host::clearGlRecord();
        PluginTest::TearDown();
    }

    // The half length of each drawn axis, checking the cross's shape on the way.
    static float drawnHalfLength() {
        const auto& prims = host::glPrimitives();
        EXPECT_EQ(1u, prims.size());
        if (prims.size() != 1)
            return -1;
        EXPECT_EQ(static_cast<unsigned>(GL_LINES), prims[0].mode);
        EXPECT_EQ(6u, prims[0].vertices.size());
        if (prims[0].vertices.size() != 6)
            return -1;
        const float h = prims[0].vertices[0].z;
        const float expected[6][3] = {{0, 0, h},  {0, 0, -h}, {h, 0, 0},
                                      {-h, 0, 0}, {0, h, 0},  {0, -h, 0}};
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(expected[i][0], prims[0].vertices[i].x) << i;
            EXPECT_EQ(expected[i][1], prims[0].vertices[i].y) << i;
            EXPECT_EQ(expected[i][2], prims[0].vertices[i].z) << i;
        }
        return h;
    }

    MString shape_;
};

TEST_F(PluginLocator, DrawsThroughTheViewWithItsSize) {
    EXPECT_STREQ("hostTestLocator1", shape_.asChar());
    std::string error;
    ASSERT_TRUE(host::drawLocator("transform1", M3dView::kWireFrame, M3dView::kDormant, &error))
        << error;
    EXPECT_EQ(1.0f, drawnHalfLength());  // the default size
    EXPECT_TRUE(host::glErrors().empty());
    EXPECT_EQ(1, host::glViewPasses());

    host::clearGlRecord();
    ASSERT_TRUE(MGlobal::executeCommand("setAttr hostTestLocator1.size 2.5"));
    ASSERT_TRUE(host::drawLocator("hostTestLocator1", M3dView::kFlatShaded, M3dView::kActive));
    EXPECT_EQ(2.5f, drawnHalfLength());
}

TEST_F(PluginLocator, BoundsAndCompute) {
    bool bounded = false;
    double min[3], max[3];
    std::string error;
    ASSERT_TRUE(host::locatorBounds("hostTestLocator1", &bounded, min, max, &error)) << error;
    EXPECT_TRUE(bounded);
    EXPECT_EQ(-1.0, min[0]);
    EXPECT_EQ(0.0, min[1]);
    EXPECT_EQ(1.0, max[2]);
    EXPECT_EQ(MStatus::kUnknownParameter, host::computePlug("hostTestLocator1.size", &error));
}

// Viewport 2.0 draws a type only through the override registered for its classification.
TEST_F(PluginLocator, HasNoViewport2DrawWithoutAnOverride) {
    std::string error;
    EXPECT_FALSE(host::drawLocatorOverride("hostTestLocator1", nullptr, nullptr, nullptr, &error));
    EXPECT_NE(std::string::npos, error.find("No draw override")) << error;
    EXPECT_TRUE(host::uiDrawables().empty());
}

// What an override queues outside a drawable, a drawable begun inside another and one never
// ended are each recorded as an error; what it drew inside its drawable is kept.
TEST_F(PluginTest, RecordsAnOverridesMisuseOfTheDrawManager) {
    setenv("HOSTTEST_DRAW_OVERRIDE", "1", 1);
    std::string error;
    ASSERT_TRUE(host::loadPlugin("hosttestplugin", &error)) << error;
    ASSERT_TRUE(MGlobal::executeCommand("createNode hostTestLocator"));
    host::clearGlRecord();
    ASSERT_TRUE(host::drawLocatorOverride("hostTestLocator1", nullptr, nullptr, nullptr, &error))
        << error;
    const std::vector<std::string> errors = {
        "MUIDrawManager::line outside beginDrawable/endDrawable",
        "MUIDrawManager::beginDrawable inside a drawable",
        "MUIDrawManager: a drawable was begun and never ended"};
    EXPECT_EQ(errors, host::glErrors());
    ASSERT_EQ(1u, host::uiDrawables().size());
    const host::UiDrawable& drawn = host::uiDrawables()[0];
    EXPECT_EQ(1.0f, drawn.color[0]);
    EXPECT_EQ(0.0f, drawn.color[1]);
    ASSERT_EQ(2u, drawn.lines.size());
    EXPECT_EQ(1.0, drawn.lines[1].x);
    host::resetScene();
    EXPECT_TRUE(host::unloadPlugin("hosttestplugin", &error)) << error;
    EXPECT_TRUE(host::registeredDrawOverrides().empty());
}

// A draw override left registered is named, and goes with the module all the same.
TEST_F(PluginTest, UnloadNamesALeftoverDrawOverride) {
    setenv("HOSTTEST_DRAW_OVERRIDE", "1", 1);
    setenv("HOSTTEST_LEAK", "1", 1);
    std::string error;
    ASSERT_TRUE(host::loadPlugin("hosttestplugin", &error)) << error;
    EXPECT_FALSE(host::unloadPlugin("hosttestplugin", &error));
    EXPECT_NE(std::string::npos, error.find("draw override \"drawdb/geometry/hostTestLocator\""))
        << error;
    EXPECT_TRUE(host::registeredDrawOverrides().empty());
}

TEST_F(PluginLocator, ItsModuleCannotBeUnloadedUnderIt) {
    std::string error;
    EXPECT_FALSE(host::unloadPlugin("hosttestplugin", &error));
    EXPECT_NE(std::string::npos, error.find("hostTestLocator"));
    ASSERT_TRUE(MGlobal::executeCommand("delete transform1"));
    EXPECT_TRUE(host::unloadPlugin("hosttestplugin", &error)) << error;
}

}  // namespace
