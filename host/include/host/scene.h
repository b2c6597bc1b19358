#pragma once
// Stand-in-only access to the scene, for tests and for minihost: a full reset, a
// deterministic text dump, and calls into plug-in nodes (draw, bounding box, compute) the way
// the host's viewport and evaluation would make them. A module never includes this header.

#include <string>
#include <vector>

namespace host {

// Empties the scene (every node, connection and curve), the selection, the time ranges and
// the current time, and sets the UI units back to film and centimetres. Plug-in types stay
// registered (unload the plug-in to remove them).
void resetScene();

// The whole scene as text: units, ranges, plug-in node types, every node (DAG depth first
// in child order, then DG nodes in creation order) with its type and attribute values,
// every curve with its keys, connections, constraints and the selection. Identical scenes
// give byte-identical text. Values are in internal units (cm, radians); times in the UI
// time unit. Numbers carry up to `significantDigits` significant digits: 9 hide the last-bit
// differences between two platforms' maths libraries.
std::string sceneDump(int significantDigits = 15);

// Calls the plug-in locator's draw (name: the shape or its transform) with a view, as the
// viewport does; what it draws is recorded by the GL recording. style and status are
// M3dView::DisplayStyle and M3dView::DisplayStatus values. False (and the reason) when the
// name is not a plug-in locator.
bool drawLocator(const std::string& name, int style, int status, std::string* error = nullptr);

// The locator's isBounded() and, when bounded or not, its boundingBox() corners.
bool locatorBounds(const std::string& name, bool* bounded, double min[3], double max[3],
                   std::string* error = nullptr);

// Viewport 2.0's draw of a plug-in locator: the draw override registered for its type's
// classification is created for the node, asked for its bounds, prepared, and, when it has
// UI drawables, given a draw manager whose drawables the draw recording keeps (in the node's
// wireframe colour when the override asks for it). The override lives for this one draw.
// Its isBounded() and boundingBox() corners are given back when `bounded` is not null.
// False (and the reason) when the name is not a plug-in locator or no draw override is
// registered for its type.
bool drawLocatorOverride(const std::string& name, bool* bounded = nullptr, double min[3] = nullptr,
                         double max[3] = nullptr, std::string* error = nullptr);

enum class Viewport { kLegacy, kViewport2 };

// The scene at the current time as an SVG picture seen from the front (X to the right, Y up,
// fitted to 800 x 800 pixels): every plug-in locator drawn as the chosen viewport draws it
// (its legacy draw's OpenGL lines, or its draw override's UI lines), placed by its world
// matrix, in its wireframe colour for the selection. A locator that the viewport cannot draw
// is left out with a warning. The draw recording is cleared.
std::string scenePicture(Viewport viewport);

// Runs the plug-in node's compute for "node.attribute"; returns the MStatus code it gave,
// or -1 (with the reason) when there is no such plug-in node or attribute.
int computePlug(const std::string& plugName, std::string* error = nullptr);

// The key times, in the UI time unit and in time order, of the animation curve that drives
// "node.attribute" (long or short name): what `keyframe -q -tc` lists, as numbers. Empty when
// no curve drives it; false (and the reason) when there is no such plug.
bool keyTimes(const std::string& plugName, std::vector<double>* times,
              std::string* error = nullptr);

}  // namespace host
