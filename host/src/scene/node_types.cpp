// The registry of node types that plug-ins add.

#include "scene/node_types.h"

#include <algorithm>

#include "scene/model.h"

namespace scene {
namespace {

std::vector<std::unique_ptr<NodeType>>& pluginTypes() {
    static std::vector<std::unique_ptr<NodeType>> types;
    return types;
}

NodeType*& initializing() {
    static NodeType* current = nullptr;
    return current;
}

bool kindFor(MPxNode::Type kind, NodeType* type) {
    const BuiltinAttrs& a = builtinAttrs();
    switch (kind) {
        case MPxNode::kDependNode:
            type->kind = Kind::PluginDepend;
            type->apiType = MFn::kPluginDependNode;
            return true;
        case MPxNode::kLocatorNode:
            type->kind = Kind::Locator;
            type->apiType = MFn::kPluginLocatorNode;
            type->attributes = {a.visibility};
            return true;
    }
    return false;
}

// Runs module code: nothing it throws may escape into the host.
MStatus runInitializer(MInitializeFunction initializer, NodeType* type) {
    initializing() = type;
    MStatus status;
    try {
        status = initializer();
    } catch (...) {
        status = MStatus::kFailure;
    }
    initializing() = nullptr;
    return status;
}

}  // namespace

NodeType* typeBeingInitialized() {
    return initializing();
}

const NodeType* findType(const std::string& name) {
    for (const NodeType* t : builtinTypes()) {
        if (t->name == name) {
            return t;
        }
    }
    for (const auto& t : pluginTypes()) {
        if (t->name == name) {
            return t.get();
        }
    }
    return nullptr;
}

const NodeType* findTypeById(std::uint32_t id) {
    for (const auto& t : pluginTypes()) {
        if (t->typeId == id) {
            return t.get();
        }
    }
    return nullptr;
}

std::vector<const NodeType*> allTypes() {
    std::vector<const NodeType*> all = builtinTypes();
    for (const auto& t : pluginTypes()) {
        all.push_back(t.get());
    }
    return all;
}

MStatus registerNodeType(const MString& name, const MTypeId& id, MCreatorFunction creator,
                         MInitializeFunction initializer, MPxNode::Type kind) {
    std::string typeName = name.asChar();
    if (typeName.empty() || creator == nullptr || initializer == nullptr) {
        return MStatus::kInvalidParameter;
    }
    if (findType(typeName) != nullptr || typeName == "world" || findTypeById(id.id()) != nullptr) {
        return MStatus::kFailure;
    }
    auto type = std::make_unique<NodeType>();
    type->name = typeName;
    type->typeId = id.id();
    type->fromPlugin = true;
    type->creator = creator;
    if (!kindFor(kind, type.get())) {
        return MStatus::kNotImplemented;
    }
    MStatus status = runInitializer(initializer, type.get());
    if (!status) {
        return status;
    }
    pluginTypes().push_back(std::move(type));
    return MStatus::kSuccess;
}

MStatus deregisterNodeType(const MTypeId& id) {
    auto& types = pluginTypes();
    auto it = std::find_if(types.begin(), types.end(), [&](const std::unique_ptr<NodeType>& t) {
        return t->typeId == id.id();
    });
    if (it == types.end()) {
        return MStatus::kNotFound;
    }
    if (theScene().hasNodesOfType(it->get())) {
        return MStatus::kFailure;
    }
    types.erase(it);
    return MStatus::kSuccess;
}

bool isPluginNodeType(const MString& name) {
    const NodeType* t = findType(name.asChar());
    return t != nullptr && t->fromPlugin;
}

}  // namespace scene
