#pragma once
// What was drawn: every primitive passed to the stand-in's OpenGL entry points, with its
// vertices; every drawable that a Viewport 2.0 draw override queued on MUIDrawManager; and
// every misuse (GL calls outside M3dView::beginGL/endGL, glBegin inside glBegin, glEnd
// without glBegin, vertices outside glBegin/glEnd; MUIDrawManager calls outside
// beginDrawable/endDrawable, a drawable begun twice or never ended). A module never includes
// this header.

#include <string>
#include <vector>

namespace host {

struct GlVertex {
    float x = 0, y = 0, z = 0;
};

struct GlPrimitive {
    unsigned int mode = 0;  // GL_LINES, GL_POINTS, ...
    std::vector<GlVertex> vertices;
};

// One beginDrawable / endDrawable of MUIDrawManager: the colour of its lines (r, g, b, a)
// and their end points, two per line, in the order drawn.
struct UiPoint {
    double x = 0, y = 0, z = 0;
};
struct UiDrawable {
    float color[4] = {0, 0, 0, 1};
    std::vector<UiPoint> lines;
};

const std::vector<GlPrimitive>& glPrimitives();
const std::vector<UiDrawable>& uiDrawables();
const std::vector<std::string>& glErrors();
// Number of beginGL / endGL pairs completed.
int glViewPasses();
// Clears all of it, Viewport 2.0 drawables included.
void clearGlRecord();

}  // namespace host
