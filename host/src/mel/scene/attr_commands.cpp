// MEL commands on attribute values, time ranges and the current time: getAttr, setAttr,
// playbackOptions, currentTime.

#include <algorithm>

#include "mel/scene/common.h"

namespace mel {
namespace scenecmd {
namespace {

scene::Scene& S() {
    return scene::theScene();
}

// The unit a plug's value is shown in; a curve's output has its curve's kind.
scene::AttrType shownType(const scene::PlugRef& plug) {
    const scene::Node* node = S().find(plug.node);
    if (node->isCurve() && plug.attr == scene::builtinAttrs().curveOutput) {
        return scene::curveValueType(node->curveType());
    }
    return scene::attribute(plug.attr)->type;
}

std::vector<scene::AttrId> leavesOf(scene::AttrId attr) {
    const scene::AttrDef* a = scene::attribute(attr);
    return a->children.empty() ? std::vector<scene::AttrId>{attr} : a->children;
}

Outcome runGetAttr(const Call& call) {
    ArgReader args(call, {{"t", "time", 1}});
    if (!args.ok()) {
        return args.failure();
    }
    if (args.positional().size() != 1) {
        return Outcome::fail("getAttr: takes one attribute (node.attribute)");
    }
    std::string error;
    scene::PlugRef plug;
    if (!resolvePlug(args.positional()[0], &plug, &error)) {
        return Outcome::fail("getAttr: " + error);
    }
    double time = S().ranges().currentTime;
    if (args.has("t")) {
        double ui = 0;
        if (!number("getAttr", args.value("t"), &ui, &error)) {
            return Outcome::fail(error);
        }
        time = uiTimeToSeconds(ui);
    }
    std::vector<std::string> result;
    for (scene::AttrId leaf : leavesOf(plug.attr)) {
        scene::PlugRef p{plug.node, leaf};
        result.push_back(scene::formatNumber(toUi(shownType(p), S().evaluate(p, time))));
    }
    return Outcome::ok(result);
}

bool parseValue(const std::string& text, double* value) {
    if (text == "true" || text == "on" || text == "yes") {
        *value = 1.0;
        return true;
    }
    if (text == "false" || text == "off" || text == "no") {
        *value = 0.0;
        return true;
    }
    return parseDouble(text, value);
}

Outcome runSetAttr(const Call& call) {
    ArgReader args(call, {});
    if (!args.ok()) {
        return args.failure();
    }
    const auto& pos = args.positional();
    if (pos.empty()) {
        return Outcome::fail("setAttr: Not enough objects or values.");
    }
    std::string error;
    scene::PlugRef plug;
    if (!resolvePlug(pos[0], &plug, &error)) {
        return Outcome::fail("setAttr: " + error);
    }
    std::vector<scene::AttrId> leaves = leavesOf(plug.attr);
    if (pos.size() - 1 != leaves.size()) {
        return Outcome::fail("setAttr: " + pos[0] + " takes " + std::to_string(leaves.size()) +
                             " value(s)");
    }
    std::vector<double> values;
    for (size_t i = 1; i < pos.size(); ++i) {
        double v = 0;
        if (!parseValue(pos[i], &v)) {
            return Outcome::fail("setAttr: not a value: " + pos[i]);
        }
        values.push_back(v);
    }
    scene::Node* node = S().find(plug.node);
    for (scene::AttrId leaf : leaves) {
        if (!scene::attribute(leaf)->writable || S().incoming({plug.node, leaf}) != nullptr) {
            return Outcome::fail("setAttr: The attribute '" + S().plugName({plug.node, leaf}) +
                                 "' is locked or connected and cannot be modified.");
        }
    }
    for (size_t i = 0; i < leaves.size(); ++i) {
        scene::PlugRef p{plug.node, leaves[i]};
        S().setStoredValue(node, leaves[i], fromUi(shownType(p), values[i]));
    }
    return Outcome::ok();
}

Outcome runPlaybackOptions(const Call& call) {
    ArgReader args(call, {{"q", "query", 0},
                          {"min", "minTime", 1},
                          {"max", "maxTime", 1},
                          {"ast", "animationStartTime", 1},
                          {"aet", "animationEndTime", 1}});
    if (!args.ok()) {
        return args.failure();
    }
    if (!args.positional().empty()) {
        return Outcome::fail("playbackOptions: unexpected argument: " + args.positional()[0]);
    }
    scene::Ranges& r = S().ranges();
    const char* flags[4] = {"min", "max", "ast", "aet"};
    double* fields[4] = {&r.minTime, &r.maxTime, &r.animationStart, &r.animationEnd};
    if (args.isQuery()) {
        int asked = 0;
        std::string value;
        for (int i = 0; i < 4; ++i) {
            if (args.has(flags[i])) {
                ++asked;
                value = scene::formatNumber(secondsToUiTime(*fields[i]));
            }
        }
        if (asked != 1) {
            return Outcome::fail("playbackOptions: query exactly one of -min, -max, -ast, -aet");
        }
        return Outcome::ok({value});
    }
    scene::Ranges next = r;
    double* nextFields[4] = {&next.minTime, &next.maxTime, &next.animationStart,
                             &next.animationEnd};
    std::string error;
    for (int i = 0; i < 4; ++i) {
        if (args.has(flags[i])) {
            double ui = 0;
            if (!number("playbackOptions", args.value(flags[i]), &ui, &error)) {
                return Outcome::fail(error);
            }
            *nextFields[i] = uiTimeToSeconds(ui);
        }
    }
    if (next.minTime > next.maxTime || next.animationStart > next.animationEnd) {
        return Outcome::fail("playbackOptions: a range must not end before it starts");
    }
    // The animation range always holds the playback range: a new playback range widens
    // it, a new animation range alone narrows the playback range into it.
    if (args.has("min") || args.has("max")) {
        next.animationStart = std::min(next.animationStart, next.minTime);
        next.animationEnd = std::max(next.animationEnd, next.maxTime);
    } else {
        next.minTime = std::min(std::max(next.minTime, next.animationStart), next.animationEnd);
        next.maxTime = std::min(std::max(next.maxTime, next.animationStart), next.animationEnd);
    }
    r = next;
    return Outcome::ok();
}

// currentTime TIME sets the current time (in the UI unit) and answers it; currentTime -q
// answers it. There is no viewport to refresh, so -update is accepted and changes nothing.
Outcome runCurrentTime(const Call& call) {
    ArgReader args(call, {{"q", "query", 0}, {"e", "edit", 0}, {"u", "update", 1}});
    if (!args.ok()) {
        return args.failure();
    }
    double& current = S().ranges().currentTime;
    if (args.isQuery()) {
        if (!args.positional().empty()) {
            return Outcome::fail("currentTime: unexpected argument: " + args.positional()[0]);
        }
        return Outcome::ok({scene::formatNumber(secondsToUiTime(current))});
    }
    if (args.positional().size() != 1) {
        return Outcome::fail("currentTime: give one time, or -query");
    }
    double ui = 0;
    std::string error;
    if (!number("currentTime", args.positional()[0], &ui, &error)) {
        return Outcome::fail(error);
    }
    current = uiTimeToSeconds(ui);
    return Outcome::ok({scene::formatNumber(secondsToUiTime(current))});
}

RegisterBuiltin registerGetAttr("getAttr", &runGetAttr);
RegisterBuiltin registerSetAttr("setAttr", &runSetAttr);
RegisterBuiltin registerPlaybackOptions("playbackOptions", &runPlaybackOptions);
RegisterBuiltin registerCurrentTime("currentTime", &runCurrentTime);

}  // namespace
}  // namespace scenecmd
}  // namespace mel
