#pragma once
// What was drawn: every primitive passed to the stand-in's OpenGL entry points, with its
// vertices, and every misuse (GL calls outside M3dView::beginGL/endGL, glBegin inside
// glBegin, glEnd without glBegin, vertices outside glBegin/glEnd). A module never includes
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

const std::vector<GlPrimitive>& glPrimitives();
const std::vector<std::string>& glErrors();
// Number of beginGL / endGL pairs completed.
int glViewPasses();
void clearGlRecord();

}  // namespace host
