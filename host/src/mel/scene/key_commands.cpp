// MEL commands on animation keys: cutKey, copyKey, pasteKey, setKeyframe, keyframe -q.

#include <algorithm>

#include "mel/scene/common.h"

namespace mel {
namespace scenecmd {
namespace {

scene::Scene& S() {
    return scene::theScene();
}

// What copyKey (and cutKey without -clear) leaves for pasteKey: one curve per attribute.
struct ClipCurve {
    std::string attribute;  // long name of the attribute the curve drove
    std::vector<scene::Key> keys;
};
struct Clipboard {
    std::vector<ClipCurve> curves;
    double start = 0.0;  // seconds: the copied time range
    double end = 0.0;
};

Clipboard& clipboard() {
    static Clipboard c;
    return c;
}

struct CurveOf {
    scene::Node* curve;
    scene::AttrId attribute;  // -1 when the curve was named directly
};

bool attributeSelected(scene::AttrId attr, const std::vector<std::string>& wanted) {
    if (wanted.empty()) {
        return true;
    }
    const scene::AttrDef* a = scene::attribute(attr);
    const scene::AttrDef* p = a->parent >= 0 ? scene::attribute(a->parent) : nullptr;
    for (const std::string& w : wanted) {
        if (w == a->longName || w == a->shortName ||
            (p != nullptr && (w == p->longName || w == p->shortName))) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> attributeFlags(const ArgReader& args) {
    std::vector<std::string> wanted;
    for (const auto& v : args.occurrences("at")) {
        wanted.push_back(v[0]);
    }
    return wanted;
}

// The curves of the objects (and of the nodes below them with -hierarchy below).
bool collectCurves(const std::string& command, const std::vector<scene::Node*>& objects,
                   const ArgReader& args, std::vector<CurveOf>* curves, std::string* error) {
    std::string hierarchy = args.has("hi") ? args.value("hi") : "none";
    if (hierarchy != "none" && hierarchy != "below") {
        *error = command + ": -hierarchy " + hierarchy + " is not supported by this host";
        return false;
    }
    std::vector<std::string> wanted = attributeFlags(args);
    std::vector<scene::Node*> nodes;
    for (scene::Node* o : objects) {
        std::vector<scene::Node*> stack{o};
        while (!stack.empty()) {
            scene::Node* n = stack.back();
            stack.pop_back();
            nodes.push_back(n);
            if (hierarchy == "below") {
                stack.insert(stack.end(), n->children.rbegin(), n->children.rend());
            }
        }
    }
    for (scene::Node* n : nodes) {
        if (n->isCurve()) {
            curves->push_back({n, -1});
            continue;
        }
        for (const auto& entry : S().curvesOf(n)) {
            if (attributeSelected(entry.first, wanted)) {
                curves->push_back({entry.second, entry.first});
            }
        }
    }
    return true;
}

bool readRange(const std::string& command, const ArgReader& args, TimeRange* range,
               std::string* error) {
    if (args.has("t") && !parseTimeRange(args.value("t"), range)) {
        *error = command + ": invalid time range: " + args.value("t");
        return false;
    }
    return true;
}

bool targets(const std::string& command, const ArgReader& args, std::vector<scene::Node*>* objects,
             std::string* error) {
    *objects = objectsOrSelection(args.positional(), error);
    if (!error->empty()) {
        return false;
    }
    if (objects->empty()) {
        *error = command + ": Not enough objects or values.";
        return false;
    }
    return true;
}

const std::vector<AcceptedFlag> kKeySetFlags = {
    {"t", "time", 1}, {"at", "attribute", 1}, {"hi", "hierarchy", 1}};

void fillClipboard(const std::vector<ClipCurve>& curves, const TimeRange& range) {
    Clipboard& c = clipboard();
    c.curves = curves;
    double first = 1e300, last = -1e300;
    for (const ClipCurve& cc : curves) {
        for (const scene::Key& k : cc.keys) {
            first = std::min(first, k.time);
            last = std::max(last, k.time);
        }
    }
    c.start = range.from > -1e299 ? range.from : first;
    c.end = range.to < 1e299 ? range.to : last;
}

std::string attributeName(const CurveOf& c) {
    return c.attribute >= 0 ? scene::attribute(c.attribute)->longName : std::string();
}

// The keys of a curve within the range, under the curve's attribute name.
ClipCurve keysInRange(const CurveOf& c, const TimeRange& range) {
    ClipCurve clip{attributeName(c), {}};
    for (const scene::Key& k : c.curve->keys) {
        if (range.contains(k.time)) {
            clip.keys.push_back(k);
        }
    }
    return clip;
}

// The curves and time range that a cutKey or copyKey call names.
bool keySet(const std::string& command, const ArgReader& args, TimeRange* range,
            std::vector<CurveOf>* curves, std::string* error) {
    std::vector<scene::Node*> objects;
    return targets(command, args, &objects, error) && readRange(command, args, range, error) &&
           collectCurves(command, objects, args, curves, error);
}

Outcome runCutKey(const Call& call) {
    std::vector<AcceptedFlag> flags = kKeySetFlags;
    flags.push_back({"cl", "clear", 0});
    ArgReader args(call, flags);
    if (!args.ok()) {
        return args.failure();
    }
    std::string error;
    TimeRange range;
    std::vector<CurveOf> curves;
    if (!keySet("cutKey", args, &range, &curves, &error)) {
        return Outcome::fail(error);
    }
    std::vector<ClipCurve> cut;
    int affected = 0;
    for (const CurveOf& c : curves) {
        auto& keys = c.curve->keys;
        ClipCurve removed = keysInRange(c, range);
        if (removed.keys.empty()) {
            continue;
        }
        ++affected;
        // When the curve goes, what it drove keeps the value it had before the cut.
        std::vector<std::pair<scene::PlugRef, double>> kept;
        for (const scene::Connection& out :
             S().outgoing({c.curve->id, scene::builtinAttrs().curveOutput})) {
            kept.emplace_back(out.destination, S().evaluate(out.destination));
        }
        keys.erase(std::remove_if(keys.begin(), keys.end(),
                                  [&](const scene::Key& k) { return range.contains(k.time); }),
                   keys.end());
        cut.push_back(removed);
        if (keys.empty()) {
            S().deleteNode(c.curve);  // a curve without keys goes, and its connection with it
            for (const auto& k : kept) {
                S().setStoredValue(S().find(k.first.node), k.first.attr, k.second);
            }
        }
    }
    if (!args.has("cl")) {
        fillClipboard(cut, range);
    }
    return Outcome::ok({std::to_string(affected)});
}

Outcome runCopyKey(const Call& call) {
    ArgReader args(call, kKeySetFlags);
    if (!args.ok()) {
        return args.failure();
    }
    std::string error;
    TimeRange range;
    std::vector<CurveOf> curves;
    if (!keySet("copyKey", args, &range, &curves, &error)) {
        return Outcome::fail(error);
    }
    std::vector<ClipCurve> copied;
    for (const CurveOf& c : curves) {
        ClipCurve cc = keysInRange(c, range);
        if (!cc.keys.empty() && !cc.attribute.empty()) {
            copied.push_back(cc);
        }
    }
    // Copying nothing empties the clipboard, so that a following pasteKey cannot paste
    // keys left over from an earlier copy.
    fillClipboard(copied, range);
    return Outcome::ok({std::to_string(copied.size())});
}

scene::Node* curveForPaste(scene::Node* node, scene::AttrId attr) {
    const scene::Connection* in = S().incoming({node->id, attr});
    if (in != nullptr) {
        scene::Node* source = S().find(in->source.node);
        return source->isCurve() ? source : nullptr;  // driven by something else: skipped
    }
    std::string error;
    return S().createCurveFor({node->id, attr}, &error);
}

Outcome runPasteKey(const Call& call) {
    ArgReader args(call, {{"o", "option", 1}, {"t", "time", 1}, {"at", "attribute", 1}});
    if (!args.ok()) {
        return args.failure();
    }
    std::string option = args.has("o") ? args.value("o") : "insert";
    if (option != "replace" && option != "merge" && option != "replaceCompletely") {
        return Outcome::fail("pasteKey: -option " + option + " is not supported by this host");
    }
    const Clipboard& clip = clipboard();
    if (clip.curves.empty()) {
        return Outcome::fail("pasteKey: The clipboard is empty.");
    }
    std::string error;
    std::vector<scene::Node*> objects;
    if (!targets("pasteKey", args, &objects, &error)) {
        return Outcome::fail(error);
    }
    double offset = 0.0;
    if (args.has("t")) {
        double at = 0;
        if (!number("pasteKey", args.value("t"), &at, &error)) {
            return Outcome::fail(error);
        }
        offset = uiTimeToSeconds(at) - clip.start;
    }
    std::vector<std::string> wanted = attributeFlags(args);
    int pasted = 0;
    for (scene::Node* node : objects) {
        for (const ClipCurve& cc : clip.curves) {
            scene::AttrId attr = S().findAttribute(node, cc.attribute);
            if (attr < 0 || !attributeSelected(attr, wanted)) {
                continue;
            }
            scene::Node* curve = curveForPaste(node, attr);
            if (curve == nullptr) {
                continue;
            }
            TimeRange cleared{clip.start + offset, clip.end + offset};
            auto& keys = curve->keys;
            if (option != "merge") {
                keys.erase(std::remove_if(keys.begin(), keys.end(),
                                          [&](const scene::Key& k) {
                                              return option == "replaceCompletely" ||
                                                     cleared.contains(k.time);
                                          }),
                           keys.end());
            }
            for (scene::Key k : cc.keys) {
                k.time += offset;
                scene::Scene::addKey(curve, k);
            }
            ++pasted;
        }
    }
    return Outcome::ok({std::to_string(pasted)});
}

bool tangentType(const std::string& name, int* type) {
    static const char* names[] = {"global", "fixed", "linear", "flat", "smooth", "step"};
    for (int i = 0; i < 6; ++i) {
        if (name == names[i]) {
            *type = i;
            return true;
        }
    }
    return false;
}

// The plugs a setKeyframe target names: "node.attr" or a node (its keyable attributes, or
// those of -attribute).
bool keyablePlugs(const std::string& target, const std::vector<std::string>& wanted,
                  std::vector<scene::PlugRef>* plugs, std::string* error) {
    if (target.find('.') != std::string::npos) {
        scene::PlugRef p;
        if (!resolvePlug(target, &p, error)) {
            return false;
        }
        const scene::AttrDef* a = scene::attribute(p.attr);
        if (a->children.empty()) {
            plugs->push_back(p);
        }
        for (scene::AttrId c : a->children) {
            plugs->push_back({p.node, c});
        }
        return true;
    }
    scene::Node* node = S().lookup(target, error);
    if (node == nullptr) {
        return false;
    }
    for (scene::AttrId a : node->type->attributes) {
        const scene::AttrDef* d = scene::attribute(a);
        if (d->type != scene::AttrType::Compound && d->keyable && d->writable &&
            attributeSelected(a, wanted)) {
            plugs->push_back({node->id, a});
        }
    }
    return true;
}

Outcome runSetKeyframe(const Call& call) {
    ArgReader args(call, {{"t", "time", 1},
                          {"v", "value", 1},
                          {"at", "attribute", 1},
                          {"itt", "inTangentType", 1},
                          {"ott", "outTangentType", 1}});
    if (!args.ok()) {
        return args.failure();
    }
    std::string error;
    int in = 0, out = 0;
    if ((args.has("itt") && !tangentType(args.value("itt"), &in)) ||
        (args.has("ott") && !tangentType(args.value("ott"), &out))) {
        return Outcome::fail("setKeyframe: unknown tangent type");
    }
    std::vector<std::string> targetNames = args.positional();
    if (targetNames.empty()) {
        for (const std::string& n : names(objectsOrSelection({}, &error), true)) {
            targetNames.push_back(n);
        }
    }
    if (targetNames.empty()) {
        return Outcome::fail("setKeyframe: No objects specified or selected.");
    }
    std::vector<scene::PlugRef> plugs;
    for (const std::string& t : targetNames) {
        if (!keyablePlugs(t, attributeFlags(args), &plugs, &error)) {
            return Outcome::fail(error);
        }
    }
    std::vector<double> times;
    for (const auto& v : args.occurrences("t")) {
        double t = 0;
        if (!number("setKeyframe", v[0], &t, &error)) {
            return Outcome::fail(error);
        }
        times.push_back(uiTimeToSeconds(t));
    }
    if (times.empty()) {
        times.push_back(S().ranges().currentTime);
    }
    double given = 0;
    if (args.has("v") && !number("setKeyframe", args.value("v"), &given, &error)) {
        return Outcome::fail(error);
    }
    int count = 0;
    for (const scene::PlugRef& p : plugs) {
        const scene::Connection* incoming = S().incoming(p);
        if (incoming != nullptr && !S().find(incoming->source.node)->isCurve()) {
            continue;  // driven by something other than a curve
        }
        std::vector<double> values;
        for (double t : times) {
            values.push_back(args.has("v") ? fromUi(scene::attribute(p.attr)->type, given)
                                           : S().evaluate(p, t));
        }
        scene::Node* curve =
            incoming != nullptr ? S().find(incoming->source.node) : S().createCurveFor(p, &error);
        if (curve == nullptr) {
            return Outcome::fail("setKeyframe: " + error);
        }
        for (size_t i = 0; i < times.size(); ++i) {
            scene::Scene::addKey(curve, {times[i], values[i], in, out});
            ++count;
        }
    }
    return Outcome::ok({std::to_string(count)});
}

// In query mode the shared reader would take -attribute and -time values as objects, so
// the query flag is taken out first and the rest read as ordinary flags.
Call withoutQueryFlag(const Call& call, bool* query) {
    Call rest{call.command, {}};
    *query = false;
    for (const Arg& a : call.args) {
        if (a.isFlag() && (a.text == "q" || a.text == "query")) {
            *query = true;
        } else {
            rest.args.push_back(a);
        }
    }
    return rest;
}

Outcome runKeyframe(const Call& call) {
    bool query = false;
    Call rest = withoutQueryFlag(call, &query);
    ArgReader args(rest, {{"kc", "keyframeCount", 0},
                          {"tc", "timeChange", 0},
                          {"vc", "valueChange", 0},
                          {"n", "name", 0},
                          {"at", "attribute", 1},
                          {"t", "time", 1},
                          {"hi", "hierarchy", 1}});
    if (!args.ok()) {
        return args.failure();
    }
    if (!query) {
        return Outcome::fail("keyframe: only queries (-query) are supported by this host");
    }
    int asked = args.count("kc") + args.count("tc") + args.count("vc") + args.count("n");
    if (asked != 1) {
        return Outcome::fail("keyframe: query exactly one of -kc, -tc, -vc, -n");
    }
    std::string error;
    std::vector<scene::Node*> objects;
    std::vector<scene::PlugRef> plugs;
    std::vector<std::string> positional;
    for (const std::string& p : args.positional()) {
        if (p.find('.') != std::string::npos) {
            scene::PlugRef plug;
            if (!resolvePlug(p, &plug, &error)) {
                return Outcome::fail(error);
            }
            plugs.push_back(plug);
        } else {
            positional.push_back(p);
        }
    }
    if (!positional.empty() || plugs.empty()) {
        objects = objectsOrSelection(positional, &error);
        if (!error.empty()) {
            return Outcome::fail(error);
        }
    }
    TimeRange range;
    std::vector<CurveOf> curves;
    if (!readRange("keyframe", args, &range, &error) ||
        !collectCurves("keyframe", objects, args, &curves, &error)) {
        return Outcome::fail(error);
    }
    for (const scene::PlugRef& p : plugs) {
        const scene::AttrDef* a = scene::attribute(p.attr);
        std::vector<scene::AttrId> leaves =
            a->children.empty() ? std::vector<scene::AttrId>{p.attr} : a->children;
        for (scene::AttrId leaf : leaves) {
            const scene::Connection* in = S().incoming({p.node, leaf});
            if (in != nullptr && S().find(in->source.node)->isCurve()) {
                curves.push_back({S().find(in->source.node), leaf});
            }
        }
    }
    std::vector<std::string> result;
    size_t count = 0;
    for (const CurveOf& c : curves) {
        if (args.has("n")) {
            result.push_back(c.curve->name);
            continue;
        }
        for (const scene::Key& k : c.curve->keys) {
            if (!range.contains(k.time)) {
                continue;
            }
            ++count;
            if (args.has("tc")) {
                result.push_back(scene::formatNumber(secondsToUiTime(k.time)));
            } else if (args.has("vc")) {
                result.push_back(scene::formatNumber(
                    toUi(scene::curveValueType(c.curve->curveType()), k.value)));
            }
        }
    }
    if (args.has("kc")) {
        result = {std::to_string(count)};
    }
    return Outcome::ok(result);
}

RegisterBuiltin registerCutKey("cutKey", &runCutKey);
RegisterBuiltin registerCopyKey("copyKey", &runCopyKey);
RegisterBuiltin registerPasteKey("pasteKey", &runPasteKey);
RegisterBuiltin registerSetKeyframe("setKeyframe", &runSetKeyframe);
RegisterBuiltin registerKeyframe("keyframe", &runKeyframe);

}  // namespace
}  // namespace scenecmd
}  // namespace mel
