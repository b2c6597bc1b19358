#pragma once
// Helpers shared by the scene's MEL commands: objects from arguments or the selection,
// "node.attribute" plugs, time ranges, and the conversion between the internal units the
// scene keeps and the UI units MEL shows.

#include <string>
#include <vector>

#include "mel/command.h"
#include "scene/model.h"

namespace mel {
namespace scenecmd {

// The named objects (each must match exactly one node, or a pattern at least one), or the
// selection when no name is given. Empty and an error text on failure.
std::vector<scene::Node*> objectsOrSelection(const std::vector<std::string>& names,
                                             std::string* error);

// "node.attr" (long or short attribute name). False and an error text when either is
// missing.
bool resolvePlug(const std::string& text, scene::PlugRef* plug, std::string* error);

// Internal value <-> the value MEL shows (UI distance unit, degrees, UI time unit).
double toUi(scene::AttrType type, double internal);
double fromUi(scene::AttrType type, double ui);

// A time in the UI unit as seconds.
double uiTimeToSeconds(double ui);
double secondsToUiTime(double seconds);

// A MEL time range: ":" (all), "a:b", "a:", ":b" or "a", in the UI time unit. False for
// anything else.
struct TimeRange {
    double from = -1e300;  // seconds
    double to = 1e300;
    bool contains(double t) const { return t >= from - 1e-9 && t <= to + 1e-9; }
};
bool parseTimeRange(const std::string& text, TimeRange* range);

// A number argument, with the command's error when it is not one.
bool number(const std::string& command, const std::string& text, double* value, std::string* error);

std::vector<std::string> names(const std::vector<scene::Node*>& nodes, bool fullPaths);

bool isTransformLike(const scene::Node* node);

}  // namespace scenecmd
}  // namespace mel
