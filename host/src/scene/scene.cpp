// The scene's nodes: creation, deletion, names, paths and the DAG.

#include <algorithm>
#include <string_view>
#include <unordered_set>

#include <maya/MPxNode.h>

#include "scene/access.h"
#include "scene/model.h"

namespace scene {

Node::Node() = default;
Node::~Node() = default;

bool Node::isDag() const {
    switch (kind()) {
        case Kind::AnimCurve:
        case Kind::PluginDepend:
            return false;
        default:
            return true;
    }
}

CurveType Node::curveType() const {
    switch (type->apiType) {
        case MFn::kAnimCurveTimeToAngular:
            return CurveType::TA;
        case MFn::kAnimCurveTimeToDistance:
            return CurveType::TL;
        case MFn::kAnimCurveTimeToTime:
            return CurveType::TT;
        default:
            return CurveType::TU;
    }
}

CurveType curveTypeFor(AttrType type) {
    switch (type) {
        case AttrType::Distance:
            return CurveType::TL;
        case AttrType::Angle:
            return CurveType::TA;
        case AttrType::Time:
            return CurveType::TT;
        default:
            return CurveType::TU;
    }
}

AttrType curveValueType(CurveType type) {
    switch (type) {
        case CurveType::TL:
            return AttrType::Distance;
        case CurveType::TA:
            return AttrType::Angle;
        case CurveType::TT:
            return AttrType::Time;
        default:
            return AttrType::Unitless;
    }
}

Scene& theScene() {
    static Scene scene;
    return scene;
}

Scene::Scene() {
    clear();
}

Scene::~Scene() {
    // Plug-in objects first: their destructors may still ask the scene about themselves.
    for (auto& entry : nodes_) {
        entry.second->user.reset();
    }
}

void Scene::clear() {
    ++clearCount_;
    for (auto& entry : nodes_) {
        entry.second->user.reset();
    }
    nodes_.clear();
    byId_.clear();
    byName_.clear();
    unusedFrom_.clear();
    defaultFrom_.clear();
    reserved_.clear();
    connections_.clear();
    byDestination_.clear();
    selection_.clear();
    ranges_ = Ranges();
    auto world = std::make_unique<Node>();
    world->id = nextId_++;
    world->name = "";
    world->type = &builtinType(Kind::World);
    world_ = world.get();
    byId_[world->id] = world_;
    nodes_[world->id] = std::move(world);
}

Node* Scene::find(NodeId id) const {
    auto it = byId_.find(id);
    return it == byId_.end() ? nullptr : it->second;
}

std::vector<Node*> Scene::nodes() const {
    std::vector<Node*> list;
    for (const auto& entry : nodes_) {
        if (entry.second.get() != world_) {
            list.push_back(entry.second.get());
        }
    }
    return list;
}

bool Scene::hasNodesOfType(const NodeType* type) const {
    for (const auto& entry : nodes_) {
        if (entry.second->type == type) {
            return true;
        }
    }
    return false;
}

// --- names -------------------------------------------------------------------------------

void Scene::indexName(Node* node) {
    byName_.emplace(node->name, node);
}

void Scene::unindexName(Node* node) {
    auto range = byName_.equal_range(node->name);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second == node) {
            byName_.erase(it);
            break;
        }
    }
    // A name given up may now start a sequence earlier than a remembered end.
    unusedFrom_.clear();
    defaultFrom_.clear();
}

void Scene::setName(Node* node, const std::string& name) {
    unindexName(node);
    node->name = name;
    indexName(node);
}

bool Scene::nameTaken(const std::string& name, const Node* parent, const Node* self) const {
    // Siblings share a name space; top-level DAG nodes also share one with DG nodes.
    const Node* space = parent != nullptr ? parent : world_;
    auto range = byName_.equal_range(name);
    return std::any_of(range.first, range.second, [&](const auto& entry) {
        const Node* n = entry.second;
        return n != self && (n->parent == space || (space == world_ && !n->isDag()));
    });
}

std::string Scene::uniqueName(const std::string& requested, const Node* parent,
                              const Node* self) const {
    std::string name = requested;
    while (nameTaken(name, parent, self)) {
        name = nextCandidate(name);
    }
    return name;
}

std::string Scene::unusedName(const std::string& requested) const {
    auto resume = unusedFrom_.find(requested);
    std::string name = resume != unusedFrom_.end() ? resume->second : requested;
    while (isUsed(name)) {
        name = nextCandidate(name);
    }
    unusedFrom_[requested] = name;
    return name;
}

std::string Scene::defaultName(const NodeType& type) const {
    unsigned& n = defaultFrom_.emplace(type.name, 1u).first->second;
    while (isUsed(type.name + std::to_string(n))) {
        ++n;
    }
    return type.name + std::to_string(n);
}

std::string Scene::rename(Node* node, const std::string& requested) {
    if (node == world_) {
        return node->name;
    }
    std::string name = validName(requested);
    if (name.empty() || name == node->name) {
        return node->name;
    }
    setName(node, uniqueName(name, node->isDag() ? node->parent : nullptr, node));
    return node->name;
}

// --- creation and deletion ---------------------------------------------------------------

NodeId Scene::reserveId(const NodeType& type) {
    reserved_[nextId_] = &type;
    return nextId_++;
}

const NodeType* Scene::reservedType(NodeId id) const {
    auto it = reserved_.find(id);
    return it == reserved_.end() ? nullptr : it->second;
}

Node* Scene::createNode(const NodeType& type, const std::string& requestedName, Node* parent,
                        NodeId id) {
    auto node = std::make_unique<Node>();
    releaseId(id);
    node->id = id != 0 ? id : nextId_++;
    node->type = &type;
    if (node->isDag()) {
        node->parent = parent != nullptr ? parent : world_;
    }
    std::string name = validName(requestedName);
    node->name = name.empty() ? defaultName(type) : unusedName(name);
    if (type.fromPlugin) {
        MPxNode* user = nullptr;
        try {
            user = static_cast<MPxNode*>(type.creator());
        } catch (...) {
            user = nullptr;
        }
        if (user == nullptr) {
            return nullptr;
        }
        node->user.reset(user);
        MPxNodeAccess::bind(*user, node->id);
    }
    Node* raw = node.get();
    if (raw->parent != nullptr) {
        raw->parent->children.push_back(raw);
    }
    nodes_[raw->id] = std::move(node);
    byId_[raw->id] = raw;
    indexName(raw);
    if (raw->user) {
        try {
            raw->user->postConstructor();
        } catch (...) {
        }
    }
    return raw;
}

void Scene::deleteNode(Node* node) {
    if (node == nullptr || node == world_) {
        return;
    }
    std::vector<Node*> doomed;
    std::vector<Node*> stack{node};
    while (!stack.empty()) {
        Node* n = stack.back();
        stack.pop_back();
        doomed.push_back(n);
        for (Node* c : n->children) {
            stack.push_back(c);
        }
    }
    // Curves that drive only doomed nodes go with them, as the host deletes a node's
    // animation together with it.
    std::unordered_set<NodeId> ids;
    for (Node* n : doomed) {
        ids.insert(n->id);
    }
    std::map<NodeId, bool> curveDrivesOthers;  // by id: in creation order
    for (const Connection& c : connections_) {
        const Node* source = find(c.source.node);
        if (source != nullptr && source->isCurve() && ids.count(source->id) == 0) {
            bool& others = curveDrivesOthers[source->id];
            others = others || ids.count(c.destination.node) == 0;
        }
    }
    for (const auto& [curve, drivesOthers] : curveDrivesOthers) {
        if (!drivesOthers) {
            doomed.push_back(find(curve));
            ids.insert(curve);
        }
    }
    // Attributes that lose their driver keep the value it gave them at the current time.
    std::vector<std::pair<PlugRef, double>> kept;
    for (const Connection& c : connections_) {
        if (ids.count(c.source.node) != 0 && ids.count(c.destination.node) == 0) {
            kept.emplace_back(c.destination, evaluate(c.destination));
        }
    }
    // A constraint losing targets holds what it gave until then (and all of it when none
    // is left).
    for (const auto& entry : nodes_) {
        Node* c = entry.second.get();
        bool losesTarget = std::any_of(c->targets.begin(), c->targets.end(),
                                       [&](NodeId t) { return ids.count(t) != 0; });
        if (losesTarget && ids.count(c->id) == 0) {
            for (AttrId attr : c->type->attributes) {
                const AttrDef* d = attribute(attr);
                if (!d->writable && d->parent >= 0) {
                    kept.emplace_back(PlugRef{c->id, attr},
                                      constraintOutput(c, attr, ranges_.currentTime, 0));
                }
            }
        }
    }
    removeAll(doomed, ids);
    for (const auto& k : kept) {
        setStoredValue(find(k.first.node), k.first.attr, k.second);
    }
}

// One pass over the connections, the selection and the constraints for all the nodes, so
// that deleting a large hierarchy does not walk the scene once per node.
void Scene::removeAll(const std::vector<Node*>& doomed, const std::unordered_set<NodeId>& ids) {
    auto isDoomed = [&ids](NodeId id) { return ids.count(id) != 0; };
    auto gone = std::remove_if(connections_.begin(), connections_.end(), [&](const Connection& c) {
        const bool doomedEnd = isDoomed(c.source.node) || isDoomed(c.destination.node);
        if (doomedEnd) {
            byDestination_.erase(c.destination);
        }
        return doomedEnd;
    });
    connections_.erase(gone, connections_.end());
    selection_.erase(std::remove_if(selection_.begin(), selection_.end(), isDoomed),
                     selection_.end());
    for (const auto& entry : nodes_) {
        auto& t = entry.second->targets;
        t.erase(std::remove_if(t.begin(), t.end(), isDoomed), t.end());
        if (isDoomed(entry.second->constrained)) {
            entry.second->constrained = 0;
        }
    }
    // Children first, the way they hang below the deleted node.
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) {
        Node* node = *it;
        if (node->parent != nullptr && !isDoomed(node->parent->id)) {
            auto& siblings = node->parent->children;
            siblings.erase(std::remove(siblings.begin(), siblings.end(), node), siblings.end());
        }
        node->user.reset();
        unindexName(node);
        byId_.erase(node->id);
        nodes_.erase(node->id);
    }
}

// --- paths -------------------------------------------------------------------------------

std::string Scene::fullPath(const Node* node) const {
    if (!node->isDag()) {
        return node->name;
    }
    // Measured first, then filled from the leaf up: one allocation for the whole path.
    size_t length = 0;
    for (const Node* n = node; n != nullptr && n != world_; n = n->parent) {
        length += 1 + n->name.size();
    }
    std::string path(length, '|');
    for (const Node* n = node; n != nullptr && n != world_; n = n->parent) {
        length -= n->name.size();
        path.replace(length, n->name.size(), n->name);
        --length;  // the '|' before the name
    }
    return path;
}

namespace {

// Whether the node and its ancestors carry the names of the path's levels, the node the last
// level: "a|b" matches a node b whose parent is a. An absolute path must also start at the
// top of the scene.
bool matchesLevels(const Node* node, std::string_view levels, bool absolute, const Node* world) {
    for (const Node* at = node;; at = at->parent) {
        const size_t bar = levels.rfind('|');
        const std::string_view level =
            bar == std::string_view::npos ? levels : levels.substr(bar + 1);
        if (at == nullptr || at == world || !globMatch(level, at->name)) {
            return false;
        }
        if (bar == std::string_view::npos) {
            return !absolute || at->parent == world;
        }
        levels = levels.substr(0, bar);
    }
}

}  // namespace

std::vector<Node*> Scene::match(const std::string& pattern) const {
    std::vector<Node*> found;
    const bool absolute = !pattern.empty() && pattern[0] == '|';
    const std::string_view levels = std::string_view(pattern).substr(absolute ? 1 : 0);
    if (levels.empty() || levels.front() == '|' || levels.back() == '|' ||
        levels.find("||") != std::string_view::npos) {
        return found;  // a level without a name matches nothing
    }
    const std::string leaf(levels.substr(levels.rfind('|') + 1));
    const bool oneLevel = leaf.size() == levels.size() && !absolute;
    auto consider = [&](Node* n) {
        // A plain name also finds dependency nodes; a path only DAG nodes.
        if (oneLevel ? globMatch(leaf, n->name)
                     : n->isDag() && matchesLevels(n, levels, absolute, world_)) {
            found.push_back(n);
        }
    };
    if (hasWildcard(leaf)) {
        for (const auto& entry : nodes_) {
            if (entry.second.get() != world_) {
                consider(entry.second.get());
            }
        }
        return found;
    }
    // A leaf without wildcards names its candidates.
    auto range = byName_.equal_range(leaf);
    for (auto it = range.first; it != range.second; ++it) {
        consider(it->second);
    }
    std::sort(found.begin(), found.end(),
              [](const Node* a, const Node* b) { return a->id < b->id; });
    return found;
}

Node* Scene::lookup(const std::string& name, std::string* error) const {
    std::vector<Node*> found = match(name);
    if (found.size() == 1) {
        return found[0];
    }
    if (error != nullptr) {
        *error =
            (found.empty() ? "No object matches name: " : "More than one object matches name: ") +
            name;
    }
    return nullptr;
}

std::string Scene::shortestUniqueName(const Node* node) const {
    if (!node->isDag()) {
        return node->name;
    }
    std::string partial;
    for (const Node* n = node; n != nullptr && n != world_; n = n->parent) {
        partial = partial.empty() ? n->name : n->name + "|" + partial;
        std::vector<Node*> found = match(partial);
        if (found.size() == 1 && found[0] == node) {
            return partial;
        }
    }
    return fullPath(node);
}

std::string Scene::reparent(Node* node, Node* newParent) {
    if (node == nullptr || node == world_ || !node->isDag()) {
        return "Only DAG objects can be parented";
    }
    if (newParent == nullptr) {
        newParent = world_;
    }
    if (newParent != world_) {
        Kind k = newParent->kind();
        if (k != Kind::Transform && k != Kind::PointConstraint && k != Kind::OrientConstraint) {
            return "Cannot parent to a shape: " + newParent->name;
        }
    }
    if (node->kind() != Kind::Transform && node->kind() != Kind::PointConstraint &&
        node->kind() != Kind::OrientConstraint && newParent == world_) {
        return "A shape cannot be a child of the world: " + node->name;
    }
    for (const Node* n = newParent; n != nullptr; n = n->parent) {
        if (n == node) {
            return "Cannot parent an object under itself or its descendants: " + node->name;
        }
    }
    if (node->parent == newParent) {
        return "";
    }
    auto& siblings = node->parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), node), siblings.end());
    node->parent = newParent;
    newParent->children.push_back(node);
    const std::string unique = uniqueName(node->name, newParent, node);
    if (unique != node->name) {
        setName(node, unique);
    }
    return "";
}

}  // namespace scene
