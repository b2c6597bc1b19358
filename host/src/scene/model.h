#pragma once
// The scene model of the stand-in host: DAG nodes under one world root, DG nodes beside
// them, attributes with their values, connections between plugs, animation curves, the
// selection and the time ranges. The API function sets and the MEL commands are thin layers
// over this model; it knows nothing of MString or MStatus so that it can be read (and
// tested) on its own.
//
// Conventions: values are kept in internal units (centimetres, radians, seconds); times are
// seconds. Failures are reported as an error text (empty means success), never thrown.

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <maya/MFn.h>

class MPxNode;

namespace scene {

using NodeId = unsigned long long;  // the type the public handles carry
using AttrId = int;

enum class Kind {
    World,
    Transform,
    Locator,  // shape of a plug-in locator type
    Mesh,
    PointConstraint,
    OrientConstraint,
    AnimCurve,
    PluginDepend,  // DG node of a plug-in dependency-node type
};

enum class AttrType { Compound, Distance, Angle, Unitless, Bool, Time };

// The definition of one attribute; shared by every node of the types that hold it.
struct AttrDef {
    std::string longName;
    std::string shortName;
    AttrType type = AttrType::Unitless;
    double defaultValue = 0.0;  // internal units
    AttrId parent = -1;
    std::vector<AttrId> children;
    bool writable = true;
    bool keyable = true;
};

// All attribute definitions ever made live here for the whole run, so that attribute
// handles stay valid whatever happens to node types and scenes.
AttrId newAttribute(AttrDef def);
AttrDef* attribute(AttrId id);  // null for an unknown id

enum class CurveType { TA = 0, TL = 1, TT = 2, TU = 3 };

// The kind of curve that animates an attribute of a type, and the type of a curve's values.
CurveType curveTypeFor(AttrType type);
AttrType curveValueType(CurveType type);

struct NodeType {
    std::string name;
    std::uint32_t typeId = 0;
    Kind kind = Kind::Transform;
    MFn::Type apiType = MFn::kInvalid;
    bool fromPlugin = false;
    std::vector<AttrId> attributes;  // every attribute, children after their parent
    void* (*creator)() = nullptr;
};

struct Key {
    double time = 0.0;  // seconds
    double value = 0.0;
    int inTangent = 2;  // MFnAnimCurve::TangentType
    int outTangent = 2;
};

struct Node {
    NodeId id = 0;
    std::string name;
    const NodeType* type = nullptr;
    Node* parent = nullptr;                     // DAG nodes only; the world for top-level nodes
    std::vector<Node*> children;                // in the order they were parented
    std::map<AttrId, double> values;            // only values that were set; others are defaults
    std::unique_ptr<MPxNode> user;              // plug-in nodes: the object the creator made
    std::deque<Key> keys;                       // animation curves, sorted by time
    std::vector<NodeId> targets;                // constraints: target transforms, in order
    NodeId constrained = 0;                     // constraints: the node they drive
    std::vector<std::array<double, 3>> points;  // meshes: vertex positions

    Node();
    ~Node();
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    Kind kind() const { return type->kind; }
    bool isDag() const;
    bool isCurve() const { return kind() == Kind::AnimCurve; }
    CurveType curveType() const;
};

struct PlugRef {
    NodeId node = 0;
    AttrId attr = -1;
    bool operator==(const PlugRef& o) const { return node == o.node && attr == o.attr; }
    bool operator!=(const PlugRef& o) const { return !(*this == o); }
};

struct PlugRefHash {
    size_t operator()(const PlugRef& p) const {
        return std::hash<NodeId>()(p.node) * 31 + static_cast<size_t>(p.attr);
    }
};

struct Connection {
    PlugRef source;
    PlugRef destination;
};

// A 4x4 matrix for row vectors (p' = p * M), as the host uses them.
using Matrix = std::array<std::array<double, 4>, 4>;

struct Ranges {
    double minTime = 1.0 / 24.0;  // playback range
    double maxTime = 24.0 / 24.0;
    double animationStart = 1.0 / 24.0;  // outer animation range
    double animationEnd = 48.0 / 24.0;
    double currentTime = 1.0 / 24.0;
};

class Scene {
  public:
    Scene();
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // Removes every node but the world, every connection and the selection; resets ranges.
    void clear();
    // How many times the scene was cleared: what was learnt about one scene's commands is
    // forgotten with it.
    uint64_t clearCount() const { return clearCount_; }

    Node* world() { return world_; }
    const Node* world() const { return world_; }
    Node* find(NodeId id) const;
    // Every node except the world, in creation order.
    std::vector<Node*> nodes() const;

    // --- creation and deletion -----------------------------------------------------------
    // An id for a node that a modifier makes at doIt(); until then handles to it already
    // answer the node's type. createNode with the id, or releaseId, ends the reservation.
    NodeId reserveId(const NodeType& type);
    void releaseId(NodeId id) { reserved_.erase(id); }
    const NodeType* reservedType(NodeId id) const;
    // Makes a node of the type; a DAG node goes under parent (the world when null). The
    // requested name is made valid and unused in the scene (a taken name gets the next
    // numeric suffix); an empty name gives the type's default name.
    Node* createNode(const NodeType& type, const std::string& requestedName, Node* parent,
                     NodeId id = 0);
    // Deletes the node, its DAG children, its connections and the curves left driving
    // nothing. Constraints lose deleted targets.
    void deleteNode(Node* node);

    // --- names and paths -----------------------------------------------------------------
    std::string rename(Node* node, const std::string& requested);  // returns the final name
    std::string fullPath(const Node* node) const;  // "|a|b" for DAG nodes, the name for DG
    // The shortest name that resolves to this node alone.
    std::string shortestUniqueName(const Node* node) const;
    // Nodes matching a name, partial path or full path ('*' and '?' match within a level).
    std::vector<Node*> match(const std::string& pattern) const;
    // Exactly one node, else null and the host's error text.
    Node* lookup(const std::string& name, std::string* error) const;
    // Reparents keeping the local transform; renames on a sibling clash. Refuses a parent
    // below the node itself or that is not a transform.
    std::string reparent(Node* node, Node* newParent);

    // --- attributes, plugs and connections -----------------------------------------------
    AttrId findAttribute(const Node* node, const std::string& name) const;
    double storedValue(const Node* node, AttrId attr) const;
    void setStoredValue(Node* node, AttrId attr, double value);
    // The value at a time: through the incoming connection when there is one.
    double evaluate(const PlugRef& plug, double time) const;
    double evaluate(const PlugRef& plug) const { return evaluate(plug, ranges_.currentTime); }
    std::string connect(const PlugRef& source, const PlugRef& destination);
    std::string disconnect(const PlugRef& source, const PlugRef& destination);
    const Connection* incoming(const PlugRef& destination) const;
    std::vector<Connection> outgoing(const PlugRef& source) const;
    const std::vector<Connection>& connections() const { return connections_; }
    std::string plugName(const PlugRef& plug, bool longName = true) const;

    // --- animation curves ----------------------------------------------------------------
    // A new curve of the right kind for the plug, connected to it; named node_attribute.
    Node* createCurveFor(const PlugRef& plug, std::string* error);
    static void addKey(Node* curve, const Key& key);
    static double evaluateCurve(const Node* curve, double time);
    // The curves that drive attributes of the node, by attribute, in attribute order.
    std::vector<std::pair<AttrId, Node*>> curvesOf(const Node* node) const;

    // --- transforms ----------------------------------------------------------------------
    Matrix localMatrix(const Node* node, double time) const;
    Matrix worldMatrix(const Node* node, double time) const;
    Matrix worldMatrix(const Node* node) const { return worldMatrix(node, ranges_.currentTime); }
    // Sets translate, rotate (XYZ) and scale of the node from a local matrix.
    void setLocalMatrix(Node* node, const Matrix& m);

    // --- constraints ---------------------------------------------------------------------
    Node* createConstraint(Kind kind, const std::vector<Node*>& targets, Node* constrained,
                           const std::string& name, std::string* error);
    // Deletes the constraints that drive the node; the driven attributes keep their values.
    void deleteConstraintsOn(Node* node);

    // --- selection and ranges ------------------------------------------------------------
    std::vector<NodeId>& selection() { return selection_; }
    const std::vector<NodeId>& selection() const { return selection_; }
    Ranges& ranges() { return ranges_; }
    const Ranges& ranges() const { return ranges_; }

    // Nodes of a type (by plug-in type), used to refuse deregistration of types in use.
    bool hasNodesOfType(const NodeType* type) const;

  private:
    // Nodes by name (the world excepted), so that lookups by a plain name do not walk the
    // scene. Every change of a node's name goes through these two.
    void indexName(Node* node);
    void unindexName(Node* node);
    void setName(Node* node, const std::string& name);
    bool isUsed(const std::string& name) const { return byName_.count(name) != 0; }
    bool nameTaken(const std::string& name, const Node* parent, const Node* self) const;
    std::string uniqueName(const std::string& requested, const Node* parent,
                           const Node* self) const;
    // A new node's name is unused in the whole scene (the host renames a new node whose
    // requested name exists anywhere); renaming and reparenting only avoid siblings.
    std::string unusedName(const std::string& requested) const;
    std::string defaultName(const NodeType& type) const;
    void removeAll(const std::vector<Node*>& doomed, const std::unordered_set<NodeId>& ids);
    double evaluateDepth(const PlugRef& plug, double time, int depth) const;
    double constraintOutput(const Node* constraint, AttrId attr, double time, int depth) const;
    Matrix localMatrixDepth(const Node* node, double time, int depth) const;
    Matrix worldMatrixDepth(const Node* node, double time, int depth) const;
    // Every connection is made through addConnection and removed through removeConnection
    // or removeAll, which keep the index of destinations.
    void addConnection(const PlugRef& source, const PlugRef& destination);
    void removeConnection(std::vector<Connection>::iterator connection);

    std::map<NodeId, std::unique_ptr<Node>> nodes_;  // in creation order
    std::unordered_map<NodeId, Node*> byId_;         // what every handle resolves through
    std::unordered_multimap<std::string, Node*> byName_;
    // Where the last search for an unused name ended, by the name it started from (and by
    // type name for default names). While no name is given up, every name before that end
    // stays taken, so the next search resumes there instead of walking the sequence again.
    mutable std::unordered_map<std::string, std::string> unusedFrom_;
    mutable std::unordered_map<std::string, unsigned> defaultFrom_;
    std::map<NodeId, const NodeType*> reserved_;
    Node* world_ = nullptr;
    std::vector<Connection> connections_;  // in the order they were made
    // The connection into each destination plug: evaluating a transform asks for the
    // incoming connection of every channel of every ancestor.
    std::unordered_map<PlugRef, Connection, PlugRefHash> byDestination_;
    std::vector<NodeId> selection_;
    Ranges ranges_;
    NodeId nextId_ = 1;
    uint64_t clearCount_ = 0;
};

// The one scene of the process: the host program and every loaded module share it.
Scene& theScene();

// --- node types ------------------------------------------------------------------------
const NodeType* findType(const std::string& name);
const NodeType* findTypeById(std::uint32_t id);
const NodeType& builtinType(Kind kind, CurveType curve = CurveType::TU);
// Every registered type, built-in first, then plug-in types in registration order.
std::vector<const NodeType*> allTypes();
std::vector<const NodeType*> builtinTypes();
// The plug-in type whose initializer is running (MPxNode::addAttribute adds to it), or null.
NodeType* typeBeingInitialized();

// Attribute ids of the built-in attributes, for the model's own use.
struct BuiltinAttrs {
    AttrId translate, translateX, translateY, translateZ;
    AttrId rotate, rotateX, rotateY, rotateZ;
    AttrId scale, scaleX, scaleY, scaleZ;
    AttrId visibility;
    AttrId curveOutput;
    AttrId constraintTranslate, constraintTranslateX, constraintTranslateY, constraintTranslateZ;
    AttrId constraintRotate, constraintRotateX, constraintRotateY, constraintRotateZ;
};
const BuiltinAttrs& builtinAttrs();

// --- names -----------------------------------------------------------------------------
// Replaces characters a node name cannot hold by '_' and puts '_' before a leading digit.
std::string validName(const std::string& requested);
// "Bob" -> "Bob1", "Bob1" -> "Bob2": the next candidate after a clash.
std::string nextCandidate(const std::string& name);
bool globMatch(std::string_view pattern, std::string_view text);
// Whether a name holds '*' or '?', which match within a path level.
bool hasWildcard(std::string_view name);

// --- matrix helpers --------------------------------------------------------------------
Matrix identity();
Matrix multiply(const Matrix& a, const Matrix& b);
Matrix inverse(const Matrix& m);
Matrix composeTRS(const std::array<double, 3>& t, const std::array<double, 3>& r,
                  const std::array<double, 3>& s);
// Splits a matrix without shear into translate, XYZ rotation (radians) and scale.
void decomposeTRS(const Matrix& m, std::array<double, 3>* t, std::array<double, 3>* r,
                  std::array<double, 3>* s);

// Text of a number as the dump and MEL print it: shortest of up to 15 significant digits.
std::string formatNumber(double value, int significantDigits = 15);

}  // namespace scene
