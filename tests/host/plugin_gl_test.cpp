// Drawing: M3dView's GL bracket and the recorded OpenGL immediate-mode calls.

#include <gtest/gtest.h>
#include <maya/M3dView.h>

#include <host/gl_record.h>

#include <GL/gl.h>

namespace {

class PluginGl : public ::testing::Test {
  protected:
    void SetUp() override {
        host::clearGlRecord();
        testing::internal::CaptureStderr();  // misuse is also printed as warnings
    }
    void TearDown() override {
        testing::internal::GetCapturedStderr();
        host::clearGlRecord();
    }
};

TEST(PluginGlEnums, DisplayValues) {
    EXPECT_EQ(0, M3dView::kBoundingBox);
    EXPECT_EQ(1, M3dView::kFlatShaded);
    EXPECT_EQ(2, M3dView::kGouraudShaded);
    EXPECT_EQ(3, M3dView::kWireFrame);
    EXPECT_EQ(4, M3dView::kPoints);
    EXPECT_EQ(0, M3dView::kActive);
    EXPECT_EQ(2, M3dView::kDormant);
    EXPECT_EQ(8, M3dView::kLead);
}

TEST_F(PluginGl, RecordsPrimitivesAndVertices) {
    M3dView view;
    ASSERT_TRUE(view.beginGL());
    glBegin(GL_LINES);
    glVertex3f(0, 0, 5);
    glVertex3f(0, 0, -5);
    glEnd();
    glBegin(GL_POINTS);
    glVertex3d(1, 2, 3);
    const GLfloat v[3] = {4, 5, 6};
    glVertex3fv(v);
    glEnd();
    ASSERT_TRUE(view.endGL());

    const auto& prims = host::glPrimitives();
    ASSERT_EQ(2u, prims.size());
    EXPECT_EQ(static_cast<unsigned>(GL_LINES), prims[0].mode);
    ASSERT_EQ(2u, prims[0].vertices.size());
    EXPECT_EQ(5.0f, prims[0].vertices[0].z);
    EXPECT_EQ(-5.0f, prims[0].vertices[1].z);
    EXPECT_EQ(static_cast<unsigned>(GL_POINTS), prims[1].mode);
    EXPECT_EQ(6.0f, prims[1].vertices[1].z);
    EXPECT_TRUE(host::glErrors().empty());
    EXPECT_EQ(1, host::glViewPasses());
}

TEST_F(PluginGl, MisuseIsRecorded) {
    glBegin(GL_LINES);  // outside beginGL/endGL
    glEnd();
    M3dView view;
    view.beginGL();
    EXPECT_FALSE(view.beginGL());
    glEnd();              // without glBegin
    glVertex3f(1, 1, 1);  // outside glBegin/glEnd
    glBegin(0x7777);      // not a primitive
    glBegin(GL_LINES);
    glBegin(GL_LINES);  // nested
    glEnd();
    view.endGL();
    EXPECT_FALSE(view.endGL());
    {
        M3dView forgotten;
        forgotten.beginGL();
    }
    const std::vector<std::string> expected{
        "glBegin outside M3dView::beginGL/endGL",
        "M3dView::beginGL twice without endGL",
        "glEnd without glBegin (GL_INVALID_OPERATION)",
        "glVertex outside glBegin/glEnd",
        "glBegin with an invalid mode 30583 (GL_INVALID_ENUM)",
        "glBegin inside glBegin/glEnd (GL_INVALID_OPERATION)",
        "M3dView::endGL without beginGL",
        "M3dView destroyed between beginGL and endGL",
    };
    EXPECT_EQ(expected, host::glErrors());
    // After the forgotten view, a proper bracket is clean again.
    host::clearGlRecord();
    M3dView next;
    next.beginGL();
    glBegin(GL_LINES);
    glEnd();
    next.endGL();
    EXPECT_TRUE(host::glErrors().empty());
}

}  // namespace
