// MDGModifier and MDagModifier: changes recorded now, carried out at doIt().

#include <maya/MDGModifier.h>
#include <maya/MDagModifier.h>

#include "scene/access.h"
#include "scene/api_util.h"

using scene::setStatus;

namespace {

scene::MelRunner g_melRunner = nullptr;

}  // namespace

void scene::setMelRunner(MelRunner run) {
    g_melRunner = run;
}

struct MDGModifier::Impl {
    enum class OpKind { Create, Rename, Reparent, Delete, Connect, Disconnect, Command };
    struct Op {
        OpKind kind = OpKind::Create;
        explicit Op(OpKind k) : kind(k) {}
        const scene::NodeType* type = nullptr;
        scene::NodeId node = 0;    // the node acted on (for Create: the node returned)
        scene::NodeId shape = 0;   // Create of a shape without parent: the shape below node
        scene::NodeId parent = 0;  // 0: the world
        std::string text;
        scene::PlugRef source, destination;
    };
    std::vector<Op> ops;

    ~Impl() { release(ops); }
    // Ends the id reservations of creations that were not carried out.
    static void release(const std::vector<Op>& done) {
        for (const Op& op : done) {
            if (op.kind == OpKind::Create) {
                scene::theScene().releaseId(op.node);
                scene::theScene().releaseId(op.shape);
            }
        }
    }

    // Nodes this modifier will create, valid as parents and targets before doIt().
    bool willCreate(scene::NodeId id) const {
        for (const Op& op : ops) {
            if (op.kind == OpKind::Create && (op.node == id || op.shape == id)) {
                return true;
            }
        }
        return false;
    }
    bool known(const MObject& o) const {
        return scene::nodeOf(o) != nullptr || willCreate(MObjectAccess::nodeId(o));
    }
    static const scene::NodeType* typeOf(scene::NodeId id) {
        const scene::Node* n = scene::theScene().find(id);
        return n != nullptr ? n->type : scene::theScene().reservedType(id);
    }

    MStatus run(const Op& op);
    MStatus create(const Op& op);
};

namespace {

bool isShape(const scene::NodeType* t) {
    return t->kind == scene::Kind::Locator || t->kind == scene::Kind::Mesh;
}

bool canHoldChildren(const scene::NodeType* t) {
    return t->kind == scene::Kind::Transform || t->kind == scene::Kind::PointConstraint ||
           t->kind == scene::Kind::OrientConstraint;
}

}  // namespace

MStatus MDGModifier::Impl::create(const Op& op) {
    scene::Scene& s = scene::theScene();
    scene::Node* parent = nullptr;
    if (op.parent != 0) {
        parent = s.find(op.parent);
        if (parent == nullptr || !canHoldChildren(parent->type)) {
            return MStatus::kInvalidParameter;
        }
    }
    if (op.shape != 0) {
        scene::Node* top =
            s.createNode(scene::builtinType(scene::Kind::Transform), "", parent, op.node);
        if (s.createNode(*op.type, "", top, op.shape) == nullptr) {
            s.deleteNode(top);
            return MStatus::kFailure;
        }
        return MStatus::kSuccess;
    }
    return s.createNode(*op.type, "", parent, op.node) != nullptr ? MStatus::kSuccess
                                                                  : MStatus::kFailure;
}

MStatus MDGModifier::Impl::run(const Op& op) {
    scene::Scene& s = scene::theScene();
    switch (op.kind) {
        case OpKind::Create:
            return create(op);
        case OpKind::Rename: {
            scene::Node* n = s.find(op.node);
            if (n == nullptr) {
                return MStatus::kInvalidParameter;
            }
            s.rename(n, op.text);
            return MStatus::kSuccess;
        }
        case OpKind::Reparent: {
            scene::Node* n = s.find(op.node);
            scene::Node* p = op.parent != 0 ? s.find(op.parent) : s.world();
            if (n == nullptr || p == nullptr) {
                return MStatus::kInvalidParameter;
            }
            return s.reparent(n, p).empty() ? MStatus::kSuccess : MStatus::kInvalidParameter;
        }
        case OpKind::Delete: {
            scene::Node* n = s.find(op.node);
            if (n == nullptr) {
                return MStatus::kInvalidParameter;
            }
            s.deleteNode(n);
            return MStatus::kSuccess;
        }
        case OpKind::Connect:
            return s.connect(op.source, op.destination).empty() ? MStatus::kSuccess
                                                                : MStatus::kFailure;
        case OpKind::Disconnect:
            return s.disconnect(op.source, op.destination).empty() ? MStatus::kSuccess
                                                                   : MStatus::kFailure;
        case OpKind::Command:
            return g_melRunner != nullptr ? g_melRunner(MString(op.text.c_str()))
                                          : MStatus::kNotImplemented;
    }
    return MStatus::kFailure;
}

MDGModifier::MDGModifier() : impl_(std::make_unique<Impl>()) {}
MDGModifier::~MDGModifier() = default;

MObject MDGModifier::createNode(const MTypeId& typeId, MStatus* ReturnStatus) {
    const scene::NodeType* t = scene::findTypeById(typeId.id());
    return createNode(MString(t != nullptr ? t->name.c_str() : ""), ReturnStatus);
}

MObject MDGModifier::createNode(const MString& type, MStatus* ReturnStatus) {
    const scene::NodeType* t = scene::findType(type.asChar());
    if (t == nullptr || t->kind != scene::Kind::PluginDepend) {
        // DAG types need an MDagModifier; curves are made through MFnAnimCurve.
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    Impl::Op op(Impl::OpKind::Create);
    op.type = t;
    op.node = scene::theScene().reserveId(*t);
    impl_->ops.push_back(op);
    setStatus(ReturnStatus, MStatus::kSuccess);
    return MObjectAccess::forNode(op.node);
}

MStatus MDGModifier::deleteNode(const MObject& node) {
    if (!impl_->known(node)) {
        return MStatus::kInvalidParameter;
    }
    Impl::Op op(Impl::OpKind::Delete);
    op.node = MObjectAccess::nodeId(node);
    impl_->ops.push_back(op);
    return MStatus::kSuccess;
}

MStatus MDGModifier::renameNode(const MObject& node, const MString& newName) {
    if (!impl_->known(node) || scene::validName(newName.asChar()).empty()) {
        return MStatus::kInvalidParameter;
    }
    Impl::Op op(Impl::OpKind::Rename);
    op.node = MObjectAccess::nodeId(node);
    op.text = newName.asChar();
    impl_->ops.push_back(op);
    return MStatus::kSuccess;
}

MStatus MDGModifier::connect(const MPlug& source, const MPlug& dest) {
    if (source.isNull() || dest.isNull()) {
        return MStatus::kInvalidParameter;
    }
    Impl::Op op(Impl::OpKind::Connect);
    op.source = MPlugAccess::ref(source);
    op.destination = MPlugAccess::ref(dest);
    impl_->ops.push_back(op);
    return MStatus::kSuccess;
}

MStatus MDGModifier::connect(const MObject& sourceNode, const MObject& sourceAttr,
                             const MObject& destNode, const MObject& destAttr) {
    return connect(MPlug(sourceNode, sourceAttr), MPlug(destNode, destAttr));
}

MStatus MDGModifier::disconnect(const MPlug& source, const MPlug& dest) {
    if (source.isNull() || dest.isNull()) {
        return MStatus::kInvalidParameter;
    }
    Impl::Op op(Impl::OpKind::Disconnect);
    op.source = MPlugAccess::ref(source);
    op.destination = MPlugAccess::ref(dest);
    impl_->ops.push_back(op);
    return MStatus::kSuccess;
}

MStatus MDGModifier::commandToExecute(const MString& command) {
    Impl::Op op(Impl::OpKind::Command);
    op.text = command.asChar();
    impl_->ops.push_back(op);
    return MStatus::kSuccess;
}

MStatus MDGModifier::doIt() {
    std::vector<Impl::Op> ops;
    ops.swap(impl_->ops);
    MStatus status;
    for (const Impl::Op& op : ops) {
        status = impl_->run(op);
        if (!status) {
            break;
        }
    }
    Impl::release(ops);
    return status;
}

MStatus MDGModifier::undoIt() {
    // This host keeps no undo.
    return MStatus::kNotImplemented;
}

// --- MDagModifier --------------------------------------------------------------------------

MObject MDagModifier::createNode(const MTypeId& typeId, const MObject& parent,
                                 MStatus* ReturnStatus) {
    const scene::NodeType* t = scene::findTypeById(typeId.id());
    return createNode(MString(t != nullptr ? t->name.c_str() : ""), parent, ReturnStatus);
}

MObject MDagModifier::createNode(const MString& type, const MObject& parent,
                                 MStatus* ReturnStatus) {
    const scene::NodeType* t = scene::findType(type.asChar());
    if (t == nullptr || t->kind == scene::Kind::AnimCurve || t->kind == scene::Kind::PluginDepend ||
        t->kind == scene::Kind::World) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    Impl::Op op(Impl::OpKind::Create);
    op.type = t;
    if (!parent.isNull()) {
        const scene::NodeType* pt = Impl::typeOf(MObjectAccess::nodeId(parent));
        if (pt == nullptr || !canHoldChildren(pt)) {
            setStatus(ReturnStatus, MStatus::kInvalidParameter);
            return MObject();
        }
        op.parent = MObjectAccess::nodeId(parent);
    }
    scene::Scene& s = scene::theScene();
    if (isShape(t) && op.parent == 0) {
        op.node = s.reserveId(scene::builtinType(scene::Kind::Transform));
        op.shape = s.reserveId(*t);
    } else {
        op.node = s.reserveId(*t);
    }
    impl_->ops.push_back(op);
    setStatus(ReturnStatus, MStatus::kSuccess);
    return MObjectAccess::forNode(op.node);
}

MStatus MDagModifier::reparentNode(const MObject& node, const MObject& newParent) {
    if (!impl_->known(node) || (!newParent.isNull() && !impl_->known(newParent))) {
        return MStatus::kInvalidParameter;
    }
    Impl::Op op(Impl::OpKind::Reparent);
    op.node = MObjectAccess::nodeId(node);
    op.parent = MObjectAccess::nodeId(newParent);
    impl_->ops.push_back(op);
    return MStatus::kSuccess;
}
