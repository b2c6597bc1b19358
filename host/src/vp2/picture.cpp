// The scene picture: every plug-in locator drawn as one of the two viewports draws it, placed
// by its world matrix and seen from the front, as SVG.

#include <maya/M3dView.h>
#include <maya/MHWGeometryUtilities.h>

#include <host/gl_record.h>
#include <host/scene.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "scene/access.h"
#include "scene/model.h"
#include "types/messages.h"
#include "vp2/viewport2.h"

namespace {

struct Line {
    double x0, y0, x1, y1;  // front view: X to the right, Y up
    MColor color;
};

std::array<double, 2> toWorld(const scene::Matrix& m, double x, double y, double z) {
    // Row vectors: p' = p * M.
    return {x * m[0][0] + y * m[1][0] + z * m[2][0] + m[3][0],
            x * m[0][1] + y * m[1][1] + z * m[2][1] + m[3][1]};
}

// Lines in one colour, in the node's space: x, y, z of each line's two ends.
struct Drawn {
    MColor color;
    std::vector<double> points;
};

void addLines(const scene::Matrix& m, const Drawn& drawn, std::vector<Line>* lines) {
    const std::vector<double>& p = drawn.points;
    for (size_t i = 0; i + 5 < p.size(); i += 6) {
        const auto a = toWorld(m, p[i], p[i + 1], p[i + 2]);
        const auto b = toWorld(m, p[i + 3], p[i + 4], p[i + 5]);
        lines->push_back({a[0], a[1], b[0], b[1], drawn.color});
    }
}

// What the locator draws in the chosen viewport.
bool drawnLines(const scene::Node& n, host::Viewport viewport, std::vector<Drawn>* drawn,
                std::string* error) {
    const std::string name = scene::theScene().fullPath(&n);
    host::clearGlRecord();
    if (viewport == host::Viewport::kLegacy) {
        // The lines take the colour of the display status the host draws the node with.
        if (!host::drawLocator(name, M3dView::kWireFrame, vp2::displayStatus(n.id), error))
            return false;
        Drawn lines{MHWRender::MGeometryUtilities::wireframeColor(MDagPathAccess::make(n.id)), {}};
        for (const host::GlPrimitive& p : host::glPrimitives()) {
            if (p.mode != 0x0001)  // GL_LINES
                continue;
            for (const host::GlVertex& v : p.vertices)
                lines.points.insert(lines.points.end(), {v.x, v.y, v.z});
        }
        drawn->push_back(lines);
        return true;
    }
    if (!host::drawLocatorOverride(name, nullptr, nullptr, nullptr, error))
        return false;
    for (const host::UiDrawable& d : host::uiDrawables()) {
        Drawn lines{MColor(d.color[0], d.color[1], d.color[2], d.color[3]), {}};
        for (const host::UiPoint& p : d.lines)
            lines.points.insert(lines.points.end(), {p.x, p.y, p.z});
        drawn->push_back(lines);
    }
    return true;
}

std::string hex(const MColor& c) {
    auto byte = [](float v) {
        return static_cast<int>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255));
    };
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", byte(c.r), byte(c.g), byte(c.b));
    return text;
}

std::string svg(const std::vector<Line>& lines) {
    const double size = 800, margin = 20;
    double minX = std::numeric_limits<double>::max(), minY = minX;
    double maxX = -minX, maxY = -minX;
    for (const Line& l : lines) {
        minX = std::min({minX, l.x0, l.x1});
        maxX = std::max({maxX, l.x0, l.x1});
        minY = std::min({minY, l.y0, l.y1});
        maxY = std::max({maxY, l.y0, l.y1});
    }
    const double extent = lines.empty() ? 1.0 : std::max({maxX - minX, maxY - minY, 1e-9});
    const double scale = (size - 2 * margin) / extent;
    std::string out =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"800\" height=\"800\" "
        "viewBox=\"0 0 800 800\">\n<rect width=\"800\" height=\"800\" "
        "fill=\"#777777\"/>\n";
    char text[256];
    for (const Line& l : lines) {
        std::snprintf(text, sizeof text,
                      "<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\" stroke=\"%s\"/>\n",
                      margin + (l.x0 - minX) * scale, size - margin - (l.y0 - minY) * scale,
                      margin + (l.x1 - minX) * scale, size - margin - (l.y1 - minY) * scale,
                      hex(l.color).c_str());
        out += text;
    }
    return out + "</svg>\n";
}

}  // namespace

namespace host {

std::string scenePicture(Viewport viewport) {
    scene::Scene& s = scene::theScene();
    std::vector<Line> lines;
    for (const scene::Node* n : s.nodes()) {
        if (n->kind() != scene::Kind::Locator)
            continue;
        std::vector<Drawn> drawn;
        std::string error;
        if (!drawnLines(*n, viewport, &drawn, &error)) {
            types::printWarning(s.fullPath(n) + " is not in the picture: " + error);
            continue;
        }
        for (const Drawn& d : drawn)
            addLines(s.worldMatrix(n), d, &lines);
    }
    host::clearGlRecord();
    return svg(lines);
}

}  // namespace host
