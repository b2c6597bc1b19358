#include "mel/scene/common.h"

#include <algorithm>

#include <maya/MDistance.h>
#include <maya/MTime.h>

#include "scene/selection.h"

namespace mel {
namespace scenecmd {

namespace {
constexpr double kPi = 3.14159265358979323846;
}

std::vector<scene::Node*> objectsOrSelection(const std::vector<std::string>& names,
                                             std::string* error) {
    scene::Scene& s = scene::theScene();
    std::vector<scene::Node*> nodes;
    if (names.empty()) {
        for (scene::NodeId id : s.selection()) {
            if (scene::Node* n = s.find(id)) {
                nodes.push_back(n);
            }
        }
        return nodes;
    }
    for (const std::string& name : names) {
        std::vector<scene::Node*> found;
        *error = scene::resolveForSelection(name, &found);
        if (!error->empty()) {
            return {};
        }
        for (scene::Node* n : found) {
            if (std::find(nodes.begin(), nodes.end(), n) == nodes.end()) {
                nodes.push_back(n);
            }
        }
    }
    return nodes;
}

bool resolvePlug(const std::string& text, scene::PlugRef* plug, std::string* error) {
    size_t dot = text.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == text.size()) {
        *error = "Not a plug (node.attribute): " + text;
        return false;
    }
    scene::Scene& s = scene::theScene();
    scene::Node* node = s.lookup(text.substr(0, dot), error);
    if (node == nullptr) {
        return false;
    }
    std::string attr = text.substr(dot + 1);
    scene::AttrId a = s.findAttribute(node, attr);
    if (a < 0) {
        *error = "No attribute '" + attr + "' on " + s.shortestUniqueName(node);
        return false;
    }
    *plug = {node->id, a};
    return true;
}

double toUi(scene::AttrType type, double internal) {
    switch (type) {
        case scene::AttrType::Distance:
            return MDistance(internal, MDistance::internalUnit()).as(MDistance::uiUnit());
        case scene::AttrType::Angle:
            return internal * 180.0 / kPi;
        case scene::AttrType::Time:
            return secondsToUiTime(internal);
        default:
            return internal;
    }
}

double fromUi(scene::AttrType type, double ui) {
    switch (type) {
        case scene::AttrType::Distance:
            return MDistance(ui, MDistance::uiUnit()).as(MDistance::internalUnit());
        case scene::AttrType::Angle:
            return ui * kPi / 180.0;
        case scene::AttrType::Time:
            return uiTimeToSeconds(ui);
        default:
            return ui;
    }
}

double uiTimeToSeconds(double ui) {
    return MTime(ui, MTime::uiUnit()).as(MTime::kSeconds);
}

double secondsToUiTime(double seconds) {
    return MTime(seconds, MTime::kSeconds).as(MTime::uiUnit());
}

bool parseTimeRange(const std::string& text, TimeRange* range) {
    *range = TimeRange();
    size_t colon = text.find(':');
    std::string first = text.substr(0, colon);
    std::string second = colon == std::string::npos ? first : text.substr(colon + 1);
    double v = 0;
    if (!first.empty()) {
        if (!parseDouble(first, &v)) {
            return false;
        }
        range->from = uiTimeToSeconds(v);
    }
    if (!second.empty()) {
        if (!parseDouble(second, &v)) {
            return false;
        }
        range->to = uiTimeToSeconds(v);
    }
    if (colon == std::string::npos && first.empty()) {
        return false;
    }
    return range->from <= range->to;
}

bool number(const std::string& command, const std::string& text, double* value,
            std::string* error) {
    if (parseDouble(text, value)) {
        return true;
    }
    *error = command + ": not a number: " + text;
    return false;
}

std::vector<std::string> names(const std::vector<scene::Node*>& nodes, bool fullPaths) {
    scene::Scene& s = scene::theScene();
    std::vector<std::string> out;
    for (const scene::Node* n : nodes) {
        out.push_back(fullPaths ? s.fullPath(n) : s.shortestUniqueName(n));
    }
    return out;
}

bool isTransformLike(const scene::Node* node) {
    scene::Kind k = node->kind();
    return k == scene::Kind::Transform || k == scene::Kind::PointConstraint ||
           k == scene::Kind::OrientConstraint;
}

}  // namespace scenecmd
}  // namespace mel
