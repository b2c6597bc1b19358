// Nodes whose objects a loaded module makes: created by type name, drawn, bounded and
// computed as the host does it, and kept alive until the module may go.

#include <GL/gl.h>

#include <host/gl_record.h>
#include <host/plugins.h>

#include "scene_fixture.h"

namespace scenetest {
namespace {

class ModuleNodes : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        std::string error;
        ASSERT_TRUE(
            host::loadPlugin(std::string(HOST_TEST_MODULE_DIR) + "/hosttestplugin.so", &error))
            << error;
        host::clearGlRecord();
    }
    void TearDown() override {
        host::resetScene();  // the module's objects go before the module does
        host::unloadAllPlugins();
    }
    MObject make(const char* name) {
        MDagModifier mod;
        MObject t = mod.createNode("hostTestLocator");
        mod.renameNode(t, name);
        EXPECT_TRUE(mod.doIt());
        return t;
    }
};

TEST_F(ModuleNodes, DrawRecordsTheCrossTheModuleDraws) {
    make("Loc");
    EXPECT_EQ(mel("listRelatives -c Loc"), Strings{"hostTestLocator1"});
    mel("setAttr hostTestLocator1.size 3");
    ASSERT_TRUE(host::drawLocator("Loc", M3dView::kWireFrame, M3dView::kLead));
    ASSERT_EQ(host::glPrimitives().size(), 1u);
    const host::GlPrimitive& lines = host::glPrimitives()[0];
    EXPECT_EQ(lines.mode, static_cast<unsigned>(GL_LINES));
    ASSERT_EQ(lines.vertices.size(), 6u);
    EXPECT_FLOAT_EQ(lines.vertices[0].z, 3.0f);
    EXPECT_FLOAT_EQ(lines.vertices[3].x, -3.0f);
    EXPECT_TRUE(host::glErrors().empty());
    EXPECT_EQ(host::glViewPasses(), 1);
}

TEST_F(ModuleNodes, BoundsAndComputeReachTheModulesObject) {
    make("Loc");
    bool bounded = false;
    double lo[3], hi[3];
    ASSERT_TRUE(host::locatorBounds("Loc", &bounded, lo, hi));
    EXPECT_TRUE(bounded);
    EXPECT_DOUBLE_EQ(lo[0], -1.0);
    EXPECT_DOUBLE_EQ(hi[2], 1.0);
    EXPECT_EQ(host::computePlug("hostTestLocator1.size"), MStatus::kUnknownParameter);
}

TEST_F(ModuleNodes, AModuleWithNodesInTheSceneCannotBeUnloaded) {
    make("Loc");
    std::string error;
    EXPECT_FALSE(host::unloadPlugin("hosttestplugin", &error));
    EXPECT_EQ(host::loadedPlugins().size(), 1u);
    mel("delete Loc");
    EXPECT_TRUE(host::unloadPlugin("hosttestplugin", &error)) << error;
    EXPECT_TRUE(melFails("createNode hostTestLocator"));
}

TEST_F(ModuleNodes, TheDumpNamesTheModulesTypes) {
    make("Loc");
    std::string dump = host::sceneDump();
    EXPECT_NE(dump.find("type hostTestLocator id=0x7f102 kind=locator"), std::string::npos) << dump;
    EXPECT_NE(dump.find("node |Loc|hostTestLocator1 type=hostTestLocator"), std::string::npos);
}

}  // namespace
}  // namespace scenetest
