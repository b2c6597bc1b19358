// MEL commands that build and inspect the DAG: group, listRelatives, parent, delete,
// rename, createNode, ls, select.

#include <algorithm>
#include <unordered_set>

#include "mel/scene/common.h"
#include "scene/selection.h"

namespace mel {
namespace scenecmd {
namespace {

scene::Scene& S() {
    return scene::theScene();
}

void selectOnly(const scene::Node* node) {
    S().selection().assign(1, node->id);
}

// Moves node under parent (null: the world), keeping its world transform unless relative.
std::string parentKeepingWorld(scene::Node* node, scene::Node* parent, bool relative) {
    scene::Matrix world = S().worldMatrix(node);
    std::string error = S().reparent(node, parent);
    if (!error.empty() || relative || !isTransformLike(node)) {
        return error;
    }
    scene::Matrix parentWorld = parent != nullptr ? S().worldMatrix(parent) : scene::identity();
    S().setLocalMatrix(node, scene::multiply(world, scene::inverse(parentWorld)));
    return "";
}

Outcome runGroup(const Call& call) {
    ArgReader args(call, {{"em", "empty", 0},
                          {"n", "name", 1},
                          {"p", "parent", 1},
                          {"w", "world", 0},
                          {"r", "relative", 0},
                          {"a", "absolute", 0}});
    if (!args.ok()) {
        return args.failure();
    }
    std::string error;
    scene::Node* parent = nullptr;
    if (args.has("p")) {
        parent = S().lookup(args.value("p"), &error);
        if (parent == nullptr) {
            return Outcome::fail(error);
        }
        if (!isTransformLike(parent)) {
            return Outcome::fail("group: cannot group under a shape: " + args.value("p"));
        }
    }
    std::vector<scene::Node*> members;
    if (!args.has("em")) {
        members = objectsOrSelection(args.positional(), &error);
        if (!error.empty()) {
            return Outcome::fail(error);
        }
        for (scene::Node* m : members) {
            if (!m->isDag() || !isTransformLike(m)) {
                return Outcome::fail("group: only transforms can be grouped: " + m->name);
            }
            for (scene::Node* p = parent; p != nullptr; p = p->parent) {
                if (p == m) {
                    return Outcome::fail("group: cannot group an object under itself: " + m->name);
                }
            }
        }
    } else if (!args.positional().empty()) {
        return Outcome::fail("group: -empty takes no objects");
    }
    std::string requested = args.has("n") ? args.value("n") : "group1";
    if (scene::validName(requested).empty()) {
        return Outcome::fail("group: invalid name: " + requested);
    }
    scene::Node* group =
        S().createNode(scene::builtinType(scene::Kind::Transform), requested, parent);
    for (scene::Node* m : members) {
        error = parentKeepingWorld(m, group, args.has("r"));
        if (!error.empty()) {
            return Outcome::fail("group: " + error);
        }
    }
    selectOnly(group);
    return Outcome::ok({group->name});
}

Outcome runListRelatives(const Call& call) {
    ArgReader args(call, {{"c", "children", 0},
                          {"p", "parent", 0},
                          {"f", "fullPath", 0},
                          {"s", "shapes", 0},
                          {"ad", "allDescendents", 0},
                          {"type", "type", 1},
                          {"pa", "path", 0}});
    if (!args.ok()) {
        return args.failure();
    }
    std::string error;
    std::vector<scene::Node*> objects = objectsOrSelection(args.positional(), &error);
    if (!error.empty()) {
        return Outcome::fail(error);
    }
    std::vector<scene::Node*> found;
    // Only the relatives of several objects can repeat; a set finds them, so that a wide
    // hierarchy is not searched per child.
    std::unordered_set<const scene::Node*> seen;
    const bool mayRepeat = objects.size() > 1;
    const bool shapesOnly = args.has("s");
    const bool ofType = args.has("type");
    const std::string type = args.value("type");
    auto add = [&](scene::Node* n) {
        if (mayRepeat && !seen.insert(n).second) {
            return;
        }
        bool shape = n->kind() == scene::Kind::Locator || n->kind() == scene::Kind::Mesh;
        if ((shapesOnly && !shape) || (ofType && n->type->name != type)) {
            return;
        }
        found.push_back(n);
    };
    for (scene::Node* o : objects) {
        if (!o->isDag()) {
            continue;
        }
        if (args.has("p")) {
            if (o->parent != nullptr && o->parent != S().world()) {
                add(o->parent);
            }
        } else if (args.has("ad")) {
            std::vector<scene::Node*> stack(o->children.rbegin(), o->children.rend());
            while (!stack.empty()) {
                scene::Node* n = stack.back();
                stack.pop_back();
                add(n);
                stack.insert(stack.end(), n->children.rbegin(), n->children.rend());
            }
        } else {
            found.reserve(found.size() + o->children.size());
            for (scene::Node* c : o->children) {
                add(c);
            }
        }
    }
    return Outcome::ok(names(found, args.has("f") || args.has("pa")));
}

Outcome runParent(const Call& call) {
    ArgReader args(call, {{"w", "world", 0},
                          {"r", "relative", 0},
                          {"a", "absolute", 0},
                          {"add", "addObject", 0},
                          {"s", "shape", 0}});
    if (!args.ok()) {
        return args.failure();
    }
    if (args.has("add") || args.has("s")) {
        return Outcome::fail("parent: instancing (-addObject, -shape) is not supported");
    }
    std::string error;
    std::vector<scene::Node*> objects = objectsOrSelection(args.positional(), &error);
    if (!error.empty()) {
        return Outcome::fail(error);
    }
    scene::Node* parent = nullptr;
    if (!args.has("w")) {
        if (objects.size() < 2) {
            return Outcome::fail("parent: Not enough objects or values.");
        }
        parent = objects.back();
        objects.pop_back();
        if (!parent->isDag() || !isTransformLike(parent)) {
            return Outcome::fail("parent: cannot parent to " + parent->name);
        }
    } else if (objects.empty()) {
        return Outcome::fail("parent: Not enough objects or values.");
    }
    scene::Node* target = parent != nullptr ? parent : S().world();
    for (scene::Node* o : objects) {
        if (!o->isDag()) {
            return Outcome::fail("parent: not a DAG object: " + o->name);
        }
        if (o->parent == target) {
            return Outcome::fail("parent: Object " + o->name + " is already a child of " +
                                 (parent != nullptr ? parent->name : std::string("the world")));
        }
    }
    std::vector<std::string> result;
    for (scene::Node* o : objects) {
        error = parentKeepingWorld(o, parent, args.has("r"));
        if (!error.empty()) {
            return Outcome::fail("parent: " + error);
        }
        result.push_back(o->name);
    }
    return Outcome::ok(result);
}

Outcome runDelete(const Call& call) {
    ArgReader args(call, {{"cn", "constraints", 0}, {"ch", "constructionHistory", 0}});
    if (!args.ok()) {
        return args.failure();
    }
    if (args.has("ch")) {
        return Outcome::fail("delete: construction history is not supported by this host");
    }
    std::string error;
    std::vector<scene::Node*> objects = objectsOrSelection(args.positional(), &error);
    if (!error.empty()) {
        return Outcome::fail(error);
    }
    if (objects.empty()) {
        return Outcome::fail("delete: Not enough objects or values.");
    }
    if (args.has("cn")) {
        for (scene::Node* o : objects) {
            S().deleteConstraintsOn(o);
        }
        return Outcome::ok();
    }
    std::vector<scene::NodeId> ids;
    for (scene::Node* o : objects) {
        ids.push_back(o->id);
    }
    for (scene::NodeId id : ids) {
        S().deleteNode(S().find(id));  // null when an earlier one took it along
    }
    return Outcome::ok();
}

Outcome runRename(const Call& call) {
    ArgReader args(call, {});
    if (!args.ok()) {
        return args.failure();
    }
    const auto& pos = args.positional();
    std::string error;
    scene::Node* node = nullptr;
    std::string requested;
    if (pos.size() == 2) {
        node = S().lookup(pos[0], &error);
        requested = pos[1];
    } else if (pos.size() == 1) {
        std::vector<scene::Node*> sel = objectsOrSelection({}, &error);
        if (sel.empty()) {
            return Outcome::fail("rename: Not enough objects or values.");
        }
        node = sel.front();
        requested = pos[0];
    } else {
        return Outcome::fail("rename: takes an object and a new name");
    }
    if (node == nullptr) {
        return Outcome::fail(error);
    }
    if (requested.find('|') != std::string::npos || scene::validName(requested).empty()) {
        return Outcome::fail("rename: invalid name: " + requested);
    }
    return Outcome::ok({S().rename(node, requested)});
}

Outcome runCreateNode(const Call& call) {
    ArgReader args(call, {{"n", "name", 1}, {"p", "parent", 1}, {"ss", "skipSelect", 0}});
    if (!args.ok()) {
        return args.failure();
    }
    if (args.positional().size() != 1) {
        return Outcome::fail("createNode: takes one node type");
    }
    const std::string& typeName = args.positional()[0];
    const scene::NodeType* type = scene::findType(typeName);
    if (type == nullptr) {
        return Outcome::fail("createNode: Unknown object type: " + typeName);
    }
    std::string error;
    scene::Node* parent = nullptr;
    if (args.has("p")) {
        parent = S().lookup(args.value("p"), &error);
        if (parent == nullptr) {
            return Outcome::fail(error);
        }
    }
    bool dag = type->kind != scene::Kind::AnimCurve && type->kind != scene::Kind::PluginDepend;
    if (parent != nullptr && (!dag || !isTransformLike(parent))) {
        return Outcome::fail("createNode: cannot create " + typeName + " under " + parent->name);
    }
    bool shape = type->kind == scene::Kind::Locator || type->kind == scene::Kind::Mesh;
    scene::Node* top = nullptr;
    if (shape && parent == nullptr) {
        top = S().createNode(scene::builtinType(scene::Kind::Transform), "", nullptr);
        parent = top;
    }
    scene::Node* node = S().createNode(*type, args.value("n"), dag ? parent : nullptr);
    if (node == nullptr) {
        if (top != nullptr) {
            S().deleteNode(top);
        }
        return Outcome::fail("createNode: the node type's creator failed: " + typeName);
    }
    if (!args.has("ss")) {
        selectOnly(node);
    }
    return Outcome::ok({node->name});
}

// True when the node is of the named type or of an abstract type above it.
bool isOfType(const scene::Node* n, const std::string& type) {
    if (n->type->name == type) {
        return true;
    }
    scene::Kind k = n->kind();
    if (type == "transform") {
        return isTransformLike(n);
    }
    if (type == "shape") {
        return k == scene::Kind::Locator || k == scene::Kind::Mesh;
    }
    if (type == "constraint") {
        return k == scene::Kind::PointConstraint || k == scene::Kind::OrientConstraint;
    }
    if (type == "animCurve") {
        return k == scene::Kind::AnimCurve;
    }
    if (type == "dagNode") {
        return n->isDag();
    }
    return false;
}

bool knownType(const std::string& type) {
    static const char* abstract[] = {"transform", "shape", "constraint", "animCurve", "dagNode"};
    return scene::findType(type) != nullptr ||
           std::find(std::begin(abstract), std::end(abstract), type) != std::end(abstract);
}

Outcome runLs(const Call& call) {
    ArgReader args(call, {{"type", "type", 1},
                          {"typ", "typ", 1},
                          {"sl", "selection", 0},
                          {"l", "long", 0},
                          {"dag", "dag", 0},
                          {"as", "assemblies", 0}});
    if (!args.ok()) {
        return args.failure();
    }
    std::vector<std::string> types;
    for (const char* f : {"type", "typ"}) {
        for (const auto& v : args.occurrences(f)) {
            if (!knownType(v[0])) {
                return Outcome::fail("ls: Unknown object type: " + v[0]);
            }
            types.push_back(v[0]);
        }
    }
    std::vector<scene::Node*> candidates;
    if (!args.positional().empty()) {
        for (const std::string& pattern : args.positional()) {
            for (scene::Node* n : S().match(pattern)) {
                if (std::find(candidates.begin(), candidates.end(), n) == candidates.end()) {
                    candidates.push_back(n);
                }
            }
        }
    } else if (args.has("as")) {
        candidates = S().world()->children;  // the nodes at the top of the scene, in order
    } else {
        candidates = S().nodes();
    }
    if (args.has("as") && !args.positional().empty()) {
        candidates.erase(
            std::remove_if(candidates.begin(), candidates.end(),
                           [](const scene::Node* n) { return n->parent != S().world(); }),
            candidates.end());
    }
    std::vector<scene::Node*> listed;
    const auto& sel = S().selection();
    if (args.has("sl")) {
        // In selection order.
        for (scene::NodeId id : sel) {
            scene::Node* n = S().find(id);
            if (n != nullptr &&
                std::find(candidates.begin(), candidates.end(), n) != candidates.end()) {
                listed.push_back(n);
            }
        }
    } else {
        listed = candidates;
    }
    std::vector<scene::Node*> out;
    for (scene::Node* n : listed) {
        bool typeOk =
            types.empty() || std::any_of(types.begin(), types.end(),
                                         [n](const std::string& t) { return isOfType(n, t); });
        if (typeOk && (!args.has("dag") || n->isDag())) {
            out.push_back(n);
        }
    }
    return Outcome::ok(names(out, args.has("l")));
}

Outcome runSelect(const Call& call) {
    ArgReader args(call, {{"r", "replace", 0},
                          {"add", "add", 0},
                          {"tgl", "toggle", 0},
                          {"d", "deselect", 0},
                          {"cl", "clear", 0}});
    if (!args.ok()) {
        return args.failure();
    }
    int modes = args.count("r") + args.count("add") + args.count("tgl") + args.count("d") +
                args.count("cl");
    if (modes > 1) {
        return Outcome::fail("select: only one of -r, -add, -tgl, -d, -cl may be given");
    }
    if (args.has("cl")) {
        if (!args.positional().empty()) {
            return Outcome::fail("select: -clear takes no objects");
        }
        S().selection().clear();
        return Outcome::ok();
    }
    // Every name is resolved before anything changes: a bad name leaves the selection alone.
    std::vector<scene::NodeId> ids;
    for (const std::string& name : args.positional()) {
        std::vector<scene::Node*> found;
        std::string error = scene::resolveForSelection(name, &found);
        if (!error.empty()) {
            return Outcome::fail(error);
        }
        for (scene::Node* n : found) {
            ids.push_back(n->id);
        }
    }
    MGlobal::ListAdjustment adjustment = args.has("add")   ? MGlobal::kAddToList
                                         : args.has("tgl") ? MGlobal::kXORWithList
                                         : args.has("d")   ? MGlobal::kRemoveFromList
                                                           : MGlobal::kReplaceList;
    scene::adjustList(&S().selection(), ids, adjustment);
    return Outcome::ok();
}

RegisterBuiltin registerGroup("group", &runGroup);
RegisterBuiltin registerListRelatives("listRelatives", &runListRelatives);
RegisterBuiltin registerParent("parent", &runParent);
RegisterBuiltin registerDelete("delete", &runDelete);
RegisterBuiltin registerRename("rename", &runRename);
RegisterBuiltin registerCreateNode("createNode", &runCreateNode);
RegisterBuiltin registerLs("ls", &runLs);
RegisterBuiltin registerSelect("select", &runSelect);

}  // namespace
}  // namespace scenecmd
}  // namespace mel
