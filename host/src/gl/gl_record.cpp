// The OpenGL 1.x immediate-mode entry points that drawing code calls, defined with the
// system header's calling convention, M3dView, and Viewport 2.0's MUIDrawManager. Nothing is
// rendered: every primitive and drawable is recorded, and every call that real GL would
// reject, that happens outside a view's beginGL/endGL or outside a drawable is recorded as an
// error.

#include <maya/M3dView.h>
#include <maya/MUIDrawManager.h>

#include <host/gl_record.h>

#ifdef _WIN32
// On Windows the header declares the entry points as imported from the system's GL library;
// here this library is where they live, so it exports them with the header's convention.
#define WINGDIAPI __declspec(dllexport)
#define APIENTRY __stdcall
#define GLAPIENTRY APIENTRY
#endif
#include <GL/gl.h>

#include <string>

#include "types/messages.h"

namespace {

struct GlState {
    std::vector<host::GlPrimitive> primitives;
    std::vector<host::UiDrawable> drawables;
    std::vector<std::string> errors;
    int passes = 0;
    int openViews = 0;  // views between beginGL and endGL
    bool inPrimitive = false;
};

GlState& gl() {
    static GlState state;
    return state;
}

void error(const std::string& text) {
    gl().errors.push_back(text);
    types::printWarning("OpenGL: " + text);
}

bool isPrimitiveMode(GLenum mode) {
    switch (mode) {
        case GL_POINTS:
        case GL_LINES:
        case GL_LINE_LOOP:
        case GL_LINE_STRIP:
        case GL_TRIANGLES:
        case GL_TRIANGLE_STRIP:
        case GL_TRIANGLE_FAN:
        case GL_QUADS:
        case GL_QUAD_STRIP:
        case GL_POLYGON:
            return true;
    }
    return false;
}

void vertex(float x, float y, float z) {
    if (!gl().inPrimitive) {
        error("glVertex outside glBegin/glEnd");
        return;
    }
    gl().primitives.back().vertices.push_back({x, y, z});
}

}  // namespace

extern "C" {

void GLAPIENTRY glBegin(GLenum mode) {
    if (gl().openViews == 0)
        error("glBegin outside M3dView::beginGL/endGL");
    if (gl().inPrimitive) {
        error("glBegin inside glBegin/glEnd (GL_INVALID_OPERATION)");
        return;
    }
    if (!isPrimitiveMode(mode)) {
        error("glBegin with an invalid mode " + std::to_string(mode) + " (GL_INVALID_ENUM)");
        return;
    }
    gl().inPrimitive = true;
    gl().primitives.push_back({mode, {}});
}

void GLAPIENTRY glEnd(void) {
    if (!gl().inPrimitive) {
        error("glEnd without glBegin (GL_INVALID_OPERATION)");
        return;
    }
    gl().inPrimitive = false;
}

void GLAPIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    vertex(x, y, z);
}

void GLAPIENTRY glVertex3d(GLdouble x, GLdouble y, GLdouble z) {
    vertex(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

void GLAPIENTRY glVertex3fv(const GLfloat* v) {
    vertex(v[0], v[1], v[2]);
}

}  // extern "C"

// A copy is a handle to the same view, not a second open GL bracket.
M3dView::M3dView(const M3dView&) {}

M3dView& M3dView::operator=(const M3dView&) {
    return *this;
}

M3dView::~M3dView() {
    if (inGL_) {
        error("M3dView destroyed between beginGL and endGL");
        --gl().openViews;
    }
}

MStatus M3dView::beginGL() {
    if (inGL_) {
        error("M3dView::beginGL twice without endGL");
        return MStatus::kFailure;
    }
    inGL_ = true;
    ++gl().openViews;
    return MStatus::kSuccess;
}

MStatus M3dView::endGL() {
    if (!inGL_) {
        error("M3dView::endGL without beginGL");
        return MStatus::kFailure;
    }
    if (gl().inPrimitive)
        error("M3dView::endGL inside glBegin/glEnd");
    inGL_ = false;
    --gl().openViews;
    ++gl().passes;
    return MStatus::kSuccess;
}

M3dView M3dView::active3dView(MStatus* status) {
    if (status)
        *status = MStatus::kSuccess;
    return M3dView();
}

M3dView::DisplayStyle M3dView::displayStyle(MStatus* status) const {
    if (status)
        *status = MStatus::kSuccess;
    return kWireFrame;
}

namespace MHWRender {

MUIDrawManager::MUIDrawManager() = default;

MUIDrawManager::~MUIDrawManager() {
    if (inDrawable_)
        error("MUIDrawManager: a drawable was begun and never ended");
}

void MUIDrawManager::beginDrawable() {
    if (inDrawable_) {
        error("MUIDrawManager::beginDrawable inside a drawable");
        return;
    }
    inDrawable_ = true;
    gl().drawables.emplace_back();
}

void MUIDrawManager::endDrawable() {
    if (!inDrawable_) {
        error("MUIDrawManager::endDrawable without beginDrawable");
        return;
    }
    inDrawable_ = false;
    color_ = MColor();
}

void MUIDrawManager::setColor(const MColor& color) {
    if (!inDrawable_) {
        error("MUIDrawManager::setColor outside beginDrawable/endDrawable");
        return;
    }
    color_ = color;
}

void MUIDrawManager::line(const MPoint& startPoint, const MPoint& endPoint) {
    if (!inDrawable_) {
        error("MUIDrawManager::line outside beginDrawable/endDrawable");
        return;
    }
    host::UiDrawable& drawable = gl().drawables.back();
    // A drawable has one colour in this record: the one its lines were drawn in.
    drawable.color[0] = color_.r;
    drawable.color[1] = color_.g;
    drawable.color[2] = color_.b;
    drawable.color[3] = color_.a;
    drawable.lines.push_back({startPoint.x, startPoint.y, startPoint.z});
    drawable.lines.push_back({endPoint.x, endPoint.y, endPoint.z});
}

}  // namespace MHWRender

namespace host {

const std::vector<GlPrimitive>& glPrimitives() {
    return gl().primitives;
}
const std::vector<UiDrawable>& uiDrawables() {
    return gl().drawables;
}
const std::vector<std::string>& glErrors() {
    return gl().errors;
}
int glViewPasses() {
    return gl().passes;
}

void clearGlRecord() {
    GlState& state = gl();
    state.primitives.clear();
    state.drawables.clear();
    state.errors.clear();
    state.passes = 0;
    state.inPrimitive = false;
}

}  // namespace host
