// Attribute values, connections, evaluation through connections, and animation curves.

#include <algorithm>
#include <cmath>

#include "scene/model.h"

namespace scene {
namespace {

// Connections deeper than this are treated as a cycle and the plug's own value is used.
constexpr int kMaxDepth = 64;
// Two key times closer than this (seconds) are the same time.
constexpr double kSameTime = 1e-9;

bool hasAttribute(const Node* node, AttrId attr) {
    const auto& list = node->type->attributes;
    return std::find(list.begin(), list.end(), attr) != list.end();
}

}  // namespace

AttrId Scene::findAttribute(const Node* node, const std::string& name) const {
    for (AttrId id : node->type->attributes) {
        const AttrDef* a = attribute(id);
        if (a->longName == name || a->shortName == name) {
            return id;
        }
    }
    return -1;
}

double Scene::storedValue(const Node* node, AttrId attr) const {
    auto it = node->values.find(attr);
    if (it != node->values.end()) {
        return it->second;
    }
    const AttrDef* a = attribute(attr);
    return a != nullptr ? a->defaultValue : 0.0;
}

void Scene::setStoredValue(Node* node, AttrId attr, double value) {
    const AttrDef* a = attribute(attr);
    if (a != nullptr && a->type == AttrType::Bool) {
        value = value != 0.0 ? 1.0 : 0.0;
    }
    node->values[attr] = value;
}

double Scene::evaluate(const PlugRef& plug, double time) const {
    return evaluateDepth(plug, time, 0);
}

double Scene::evaluateDepth(const PlugRef& plug, double time, int depth) const {
    const Node* node = find(plug.node);
    if (node == nullptr) {
        return 0.0;
    }
    const Connection* in = depth < kMaxDepth ? incoming(plug) : nullptr;
    if (in == nullptr) {
        return storedValue(node, plug.attr);
    }
    const Node* source = find(in->source.node);
    const BuiltinAttrs& b = builtinAttrs();
    if (source->isCurve() && in->source.attr == b.curveOutput) {
        return evaluateCurve(source, time);
    }
    if (source->kind() == Kind::PointConstraint || source->kind() == Kind::OrientConstraint) {
        const AttrDef* a = attribute(in->source.attr);
        if (a->parent == b.constraintTranslate || a->parent == b.constraintRotate) {
            return constraintOutput(source, in->source.attr, time, depth + 1);
        }
    }
    return evaluateDepth(in->source, time, depth + 1);
}

const Connection* Scene::incoming(const PlugRef& destination) const {
    auto it = byDestination_.find(destination);
    return it == byDestination_.end() ? nullptr : &it->second;
}

void Scene::addConnection(const PlugRef& source, const PlugRef& destination) {
    connections_.push_back({source, destination});
    byDestination_[destination] = connections_.back();
}

void Scene::removeConnection(std::vector<Connection>::iterator connection) {
    byDestination_.erase(connection->destination);
    connections_.erase(connection);
}

std::vector<Connection> Scene::outgoing(const PlugRef& source) const {
    std::vector<Connection> out;
    for (const Connection& c : connections_) {
        if (c.source == source) {
            out.push_back(c);
        }
    }
    return out;
}

std::string Scene::connect(const PlugRef& source, const PlugRef& destination) {
    const Node* src = find(source.node);
    const Node* dst = find(destination.node);
    if (src == nullptr || dst == nullptr || !hasAttribute(src, source.attr) ||
        !hasAttribute(dst, destination.attr)) {
        return "Cannot connect: no such plug";
    }
    if (source == destination) {
        return "Cannot connect a plug to itself: " + plugName(source);
    }
    const AttrDef* s = attribute(source.attr);
    const AttrDef* d = attribute(destination.attr);
    if (!d->writable) {
        return "The destination attribute cannot be written: " + plugName(destination);
    }
    if ((s->type == AttrType::Compound) != (d->type == AttrType::Compound) ||
        s->children.size() != d->children.size()) {
        return "Cannot connect " + plugName(source) + " to " + plugName(destination) +
               ": the attributes do not match";
    }
    if (s->type == AttrType::Compound) {
        // A compound connection is kept as the connections of its children.
        for (size_t i = 0; i < s->children.size(); ++i) {
            std::string error =
                connect({source.node, s->children[i]}, {destination.node, d->children[i]});
            if (!error.empty()) {
                return error;
            }
        }
        return "";
    }
    if (incoming(destination) != nullptr) {
        return plugName(destination) + " already has an incoming connection";
    }
    addConnection(source, destination);
    return "";
}

std::string Scene::disconnect(const PlugRef& source, const PlugRef& destination) {
    auto it = std::find_if(connections_.begin(), connections_.end(), [&](const Connection& c) {
        return c.source == source && c.destination == destination;
    });
    if (it == connections_.end()) {
        return "There is no connection from " + plugName(source) + " to " + plugName(destination);
    }
    removeConnection(it);
    return "";
}

std::string Scene::plugName(const PlugRef& plug, bool longName) const {
    const Node* node = find(plug.node);
    const AttrDef* a = attribute(plug.attr);
    std::string name = node != nullptr ? shortestUniqueName(node) : "<deleted>";
    return name + "." + (a == nullptr ? "<none>" : longName ? a->longName : a->shortName);
}

// --- curves ------------------------------------------------------------------------------

Node* Scene::createCurveFor(const PlugRef& plug, std::string* error) {
    Node* node = find(plug.node);
    const AttrDef* a = attribute(plug.attr);
    if (node == nullptr || a == nullptr || !hasAttribute(node, plug.attr)) {
        *error = "No such plug";
        return nullptr;
    }
    if (a->type == AttrType::Compound || !a->writable || !a->keyable) {
        *error = "The attribute cannot be animated: " + plugName(plug);
        return nullptr;
    }
    if (incoming(plug) != nullptr) {
        *error = plugName(plug) + " already has an incoming connection";
        return nullptr;
    }
    CurveType type = curveTypeFor(a->type);
    Node* curve =
        createNode(builtinType(Kind::AnimCurve, type), node->name + "_" + a->longName, nullptr);
    addConnection({curve->id, builtinAttrs().curveOutput}, plug);
    return curve;
}

void Scene::addKey(Node* curve, const Key& key) {
    auto& keys = curve->keys;
    // Keys mostly come in time order (an import keys frame after frame): those are appended
    // without a search, which on long curves would cost a cache miss per step.
    if (keys.empty() || keys.back().time < key.time - kSameTime) {
        keys.push_back(key);
        return;
    }
    auto it = std::lower_bound(keys.begin(), keys.end(), key.time - kSameTime,
                               [](const Key& k, double t) { return k.time < t; });
    if (it != keys.end() && std::fabs(it->time - key.time) <= kSameTime) {
        it->value = key.value;
        it->inTangent = key.inTangent;
        it->outTangent = key.outTangent;
        return;
    }
    keys.insert(it, key);
}

double Scene::evaluateCurve(const Node* curve, double time) {
    const auto& keys = curve->keys;
    if (keys.empty()) {
        return 0.0;
    }
    if (time <= keys.front().time) {
        return keys.front().value;
    }
    if (time >= keys.back().time) {
        return keys.back().value;
    }
    auto after = std::upper_bound(keys.begin(), keys.end(), time,
                                  [](double t, const Key& k) { return t < k.time; });
    auto before = after - 1;
    double span = after->time - before->time;
    double f = span > 0 ? (time - before->time) / span : 0.0;
    return before->value + f * (after->value - before->value);
}

std::vector<std::pair<AttrId, Node*>> Scene::curvesOf(const Node* node) const {
    std::vector<std::pair<AttrId, Node*>> curves;
    for (AttrId attr : node->type->attributes) {
        const Connection* in = incoming({node->id, attr});
        if (in == nullptr) {
            continue;
        }
        Node* source = find(in->source.node);
        if (source != nullptr && source->isCurve()) {
            curves.emplace_back(attr, source);
        }
    }
    return curves;
}

}  // namespace scene
