// Forms that build against the devkit, each next to a tempting form that the devkit rejects
// (or runs differently). Built as is, this file must compile; built with -DTRAP_<NAME>, the
// one tempting form replaces its correct form and the compiler must refuse the file.

// A header declares only the classes it names: a class that it merely mentions is declared,
// not defined, so a source must include the header of every class it uses. Each of these
// traps uses a class before its header (the file includes them all further down).
#if defined(TRAP_COMMAND_HEADER_ARG_LIST)
#include <maya/MPxCommand.h>
unsigned int argumentCount(const MArgList& args) {
    return args.length();
}
#elif defined(TRAP_DEPENDENCY_NODE_HEADER_PLUG)
#include <maya/MFnDependencyNode.h>
bool isTranslateConnected(MFnDependencyNode& node) {
    return node.findPlug("t").isConnected();
}
#elif defined(TRAP_ANIM_CURVE_HEADER_PLUG)
#include <maya/MFnAnimCurve.h>
MObject curveOf(const MObject& node, const MObject& attribute) {
    MPlug plug(node, attribute);
    return MFnAnimCurve().create(plug);
}
#elif defined(TRAP_ARG_LIST_HEADER_DISTANCE)
#include <maya/MArgList.h>
double firstLength(const MArgList& args) {
    return args.asDistance(0).asCentimeters();
}
#elif defined(TRAP_ARG_LIST_HEADER_TIME)
#include <maya/MArgList.h>
double firstTime(const MArgList& args) {
    return args.asTime(0).value();
}
#elif defined(TRAP_ARG_LIST_HEADER_STRING_ARRAY)
#include <maya/MArgList.h>
MStringArray noStrings;
#elif defined(TRAP_UNIT_ATTRIBUTE_HEADER_DISTANCE)
#include <maya/MFnUnitAttribute.h>
MStatus defaultToOneMetre(MFnUnitAttribute& attribute) {
    return attribute.setDefault(MDistance(1.0, MDistance::kMeters));
}
#elif defined(TRAP_UNIT_ATTRIBUTE_HEADER_TIME)
#include <maya/MFnUnitAttribute.h>
MStatus defaultToOneSecond(MFnUnitAttribute& attribute) {
    return attribute.setDefault(MTime(1.0, MTime::kSeconds));
}
#elif defined(TRAP_SELECTION_HEADER_DAG_PATH)
#include <maya/MSelectionList.h>
MString firstPath(const MSelectionList& list) {
    MDagPath path;
    list.getDagPath(0, path);
    return path.fullPathName();
}
#elif defined(TRAP_DAG_NODE_HEADER_DAG_PATH)
#include <maya/MFnDagNode.h>
unsigned int depth(MFnDagNode& node) {
    return node.dagPath().length();
}
#elif defined(TRAP_LOCATOR_HEADER_DAG_PATH)
#include <maya/MPxLocatorNode.h>
bool drawsTransform(const MDagPath& path) {
    return path.hasFn(MFn::kTransform);
}
#endif

#include <maya/MArgList.h>
#include <maya/MBoundingBox.h>
#include <maya/MDagPath.h>
#include <maya/MDistance.h>
#include <maya/MEulerRotation.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnPlugin.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MPoint.h>
#include <maya/MPxCommand.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MQuaternion.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <maya/MTime.h>
#include <maya/MUIDrawManager.h>

#include <iostream>
#include <memory>
#include <type_traits>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

// The curve function set takes the plug by non-const reference: a temporary does not bind.
void createCurve(MFnDependencyNode& node, MFnAnimCurve& curve) {
#ifdef TRAP_CURVE_ON_TEMPORARY_PLUG
    curve.create(node.findPlug("tx"));
#else
    MPlug plug = node.findPlug("tx");
    curve.create(plug);
#endif
}

// There is no char append: on the host a char appends its decimal number.
void appendQuote(MString& text) {
#ifdef TRAP_STRING_APPEND_CHAR
    text += '"';
#else
    text += "\"";
#endif
}

MString quoted(const MString& text) {
#ifdef TRAP_STRING_PLUS_CHAR
    return text + '"';
#else
    return text + "\"";
#endif
}

// Neither is there an unsigned append.
void appendCount(MString& text, unsigned int count) {
#ifdef TRAP_STRING_APPEND_UNSIGNED
    text += count;
#else
    text += static_cast<int>(count);
#endif
}

// Case conversion changes the string itself, so a const string cannot be converted.
MString upperCopy(const MString& text) {
#ifdef TRAP_STRING_CONVERT_CONST
    return text.toUpperCase();
#else
    MString copy(text);
    return copy.toUpperCase();
#endif
}

unsigned int characters(const MString& text) {
#ifdef TRAP_STRING_NUM_CHARS
    return text.numChars();
#else
    return text.length();
#endif
}

// Function sets are neither copied, assigned, nor pointed at.
void attachBoth(MFnDagNode& first, MFnDagNode& second, MObject& node) {
    first.setObject(node);
#ifdef TRAP_FUNCTION_SET_ASSIGN
    second = first;
#else
    second.setObject(node);
#endif
}

void keepOne(MObject& node) {
#ifdef TRAP_FUNCTION_SET_COPY
    MFnDagNode first(node);
    MFnDagNode second(first);
#else
    MFnDagNode first(node);
    MFnDagNode second(first.object());
#endif
    second.setObject(node);
}

MFnDependencyNode* pointAt(const MObject& node) {
#ifdef TRAP_FUNCTION_SET_ADDRESS
    static MFnDependencyNode held;
    held.setObject(node);
    return &held;
#else
    return new MFnDependencyNode(node);
#endif
}

void keepMany(const MObject& node) {
#ifdef TRAP_FUNCTION_SET_IN_VECTOR
    std::vector<MFnDependencyNode> sets;
    sets.emplace_back(node);
#else
    std::vector<std::unique_ptr<MFnDependencyNode> > sets;
    sets.push_back(std::make_unique<MFnDependencyNode>(node));
#endif
}

// The translator's texts are char*: a string literal does not convert.
MStatus registerTranslator(MFnPlugin& plugin) {
#ifdef TRAP_TRANSLATOR_LITERAL_TEXTS
    return plugin.registerFileTranslator("Take", "", NULL, "takeOptions", "");
#else
    char pixmap[] = "";
    char optionsScript[] = "takeOptions";
    char defaults[] = "";
    return plugin.registerFileTranslator("Take", pixmap, NULL, optionsScript, defaults);
#endif
}

// A rotation comes from a quaternion by assignment; decompose and setValue take no quaternion.
MEulerRotation fromQuaternion(const MQuaternion& q) {
#if defined(TRAP_DECOMPOSE_QUATERNION)
    return MEulerRotation::decompose(q, MEulerRotation::kZXY);
#elif defined(TRAP_SET_VALUE_QUATERNION)
    MEulerRotation rotation;
    rotation.setValue(q, MEulerRotation::kZXY);
    return rotation;
#else
    MEulerRotation rotation(0.0, 0.0, 0.0, MEulerRotation::kZXY);
    rotation = q;
    return rotation;
#endif
}

// MQuaternion::get reports nothing.
void components(const MQuaternion& q, double out[4]) {
#ifdef TRAP_QUATERNION_GET_STATUS
    MStatus status = q.get(out);
    (void)status;
#else
    q.get(out);
#endif
}

// The parent of MFnDagNode::create is a non-const reference.
MObject makeTransform(MFnDagNode& fn, const MObject& parent) {
#ifdef TRAP_DAG_CREATE_CONST_PARENT
    return fn.create("transform", parent);
#else
    MObject writableParent(parent);
    fn.create("transform", MObject::kNullObj);
    return fn.create("transform", writableParent);
#endif
}

// The selection is set from a named list: the reference is non-const, so no temporary binds.
void clearSelection() {
#ifdef TRAP_SELECTION_FROM_TEMPORARY
    MGlobal::setActiveSelectionList(MSelectionList(), MGlobal::kReplaceList);
#else
    MSelectionList none;
    MGlobal::setActiveSelectionList(none, MGlobal::kReplaceList);
    MGlobal::clearSelectionList();
#endif
}

// MGlobal has statics only; it is neither made nor destroyed by callers.
MStatus runMel(const MString& command) {
#ifdef TRAP_GLOBAL_INSTANCE
    MGlobal global;
    return global.executeCommand(command);
#else
    return MGlobal::executeCommand(command);
#endif
}

// The DAG set's path queries are non-const.
MString pathOf(MFnDagNode& node) {
#if defined(TRAP_DAG_FULL_PATH_CONST)
    const MFnDagNode& view = node;
    return view.fullPathName();
#elif defined(TRAP_DAG_PARTIAL_PATH_CONST)
    const MFnDagNode& view = node;
    return view.partialPathName();
#elif defined(TRAP_DAG_GET_PATH_CONST)
    const MFnDagNode& view = node;
    MDagPath path;
    view.getPath(path);
    return path.fullPathName();
#else
    MDagPath path;
    node.getPath(path);
    return node.fullPathName() + node.partialPathName() + path.fullPathName();
#endif
}

// The DAG set attaches to a non-const object or to a path.
void attachDag(MFnDagNode& node, const MObject& object, const MDagPath& path) {
#ifdef TRAP_DAG_SET_OBJECT_CONST
    node.setObject(object);
#else
    MObject writable(object);
    node.setObject(writable);
    node.setObject(path);
#endif
}

// A unit attribute's default is read through a non-const set.
double defaultOf(MFnUnitAttribute& attribute) {
    double value = 0.0;
#ifdef TRAP_UNIT_DEFAULT_CONST
    const MFnUnitAttribute& view = attribute;
    view.getDefault(value);
#else
    attribute.getDefault(value);
#endif
    return value;
}

// asChar reports nothing.
const char* textOf(const MString& text) {
#ifdef TRAP_STRING_AS_CHAR_STATUS
    MStatus status;
    return text.asChar(&status);
#else
    return text.asChar();
#endif
}

// A const array hands out copies: the address of one cannot be kept.
const char* firstOf(const MStringArray& strings, MString& kept) {
#ifdef TRAP_STRING_ARRAY_ELEMENT_ADDRESS
    const MString* first = &strings[0];
    kept = *first;
#else
    kept = strings[0];
#endif
    return kept.asChar();
}

// A selection list adds a name without a namespace flag.
MStatus addByName(MSelectionList& list) {
#ifdef TRAP_SELECTION_ADD_NAMESPACES
    return list.add("Bob", true);
#else
    return list.add("Bob");
#endif
}

// The distance shortcuts take no status.
double metres(const MDistance& distance) {
#ifdef TRAP_DISTANCE_AS_STATUS
    MStatus status;
    return distance.asMeters(&status);
#else
    return distance.asMeters() + distance.asInches() + distance.as(MDistance::kFeet);
#endif
}

// A bounding box has no overlap test; a point is scaled from the right only.
bool overlaps(const MBoundingBox& a, const MBoundingBox& b) {
#ifdef TRAP_BOX_INTERSECTS
    return a.intersects(b);
#else
    return a.contains(b.min()) || a.contains(b.max());
#endif
}

MPoint doubled(const MPoint& p) {
#ifdef TRAP_POINT_SCALED_FROM_LEFT
    return 2.0 * p;
#else
    return p * 2.0;
#endif
}

// Viewport 2.0 hands a draw override its draw manager; a module cannot make one of its own.
void drawAxis(MHWRender::MUIDrawManager& manager) {
#ifdef TRAP_UI_DRAW_MANAGER_BY_MODULE
    MHWRender::MUIDrawManager own;
    own.beginDrawable();
#else
    manager.beginDrawable();
#endif
    manager.line(MPoint(), MPoint(1, 0, 0));
    manager.endDrawable();
}

// Arguments are added one statement each; the scalar get forms read an index without moving
// it; there are no array arguments.
MArgList arguments() {
    MArgList args;
#if defined(TRAP_ARG_LIST_CHAINED)
    args.addArg(MString("-n")).addArg(MString("name"));
#elif defined(TRAP_ARG_LIST_ADD_ARRAY)
    MStringArray items;
    args.addArg(items);
#else
    MStatus added = args.addArg(MString("-n"));
    if (added)
        args.addArg(2.5);
#endif
    return args;
}

double secondArgument(const MArgList& args) {
    double value = 0.0;
#ifdef TRAP_ARG_LIST_AS_STRING_ARRAY
    unsigned int index = 0;
    value = args.asStringArray(index).length();
#else
    args.get(1, value);
#endif
    return value;
}

// A status is written to a stream from a non-const object (a const one would print as a bool
// there, through operator bool).
void report(const MStatus& result) {
#ifdef TRAP_STATUS_STREAM_CONST
    std::cerr << result;
#else
    MStatus copy(result);
    std::cerr << copy;
#endif
}

// A plug is set from named distances and times, and its child found by a non-const attribute.
void setPlug(MPlug& plug, const MObject& childAttribute) {
#if defined(TRAP_PLUG_SET_TEMPORARY_DISTANCE)
    plug.setValue(MDistance(1.0, MDistance::kMeters));
#elif defined(TRAP_PLUG_SET_TEMPORARY_TIME)
    plug.setValue(MTime(1.0, MTime::kSeconds));
#elif defined(TRAP_PLUG_CHILD_CONST_ATTRIBUTE)
    plug.child(childAttribute).setValue(1.0);
#else
    MDistance metre(1.0, MDistance::kMeters);
    MTime second(1.0, MTime::kSeconds);
    plug.setValue(metre);
    plug.setValue(second);
    MObject attribute(childAttribute);
    plug.child(attribute).setValue(1.0);
#endif
}

// Function sets are made as a derived kind, from an object.
MFn::Type kindOf(const MObject& object) {
#ifdef TRAP_FUNCTION_SET_BASE
    MFnBase base;
    base.setObject(object);
    return base.type();
#else
    MFnDependencyNode node(object);
    return node.type();
#endif
}

// The node hooks the host may call are virtual with these signatures: an override must match,
// and a member of the same name and parameters with another return type is refused.
class HookedNode : public MPxLocatorNode {
  public:
    bool getInternalValue(const MPlug&, MDataHandle&) override { return false; }
    bool setInternalValue(const MPlug&, const MDataHandle&) override { return false; }
    void copyInternalData(MPxNode*) override {}
    MStatus legalConnection(const MPlug&, const MPlug&, bool, bool&) const override {
        return MStatus::kUnknownParameter;
    }
    MStatus legalDisconnection(const MPlug&, const MPlug&, bool, bool&) const override {
        return MStatus::kUnknownParameter;
    }
    MStatus setDependentsDirty(const MPlug&, MPlugArray&) override { return MStatus::kSuccess; }
    MStatus connectionMade(const MPlug&, const MPlug&, bool) override {
        return MStatus::kUnknownParameter;
    }
    MStatus connectionBroken(const MPlug&, const MPlug&, bool) override {
        return MStatus::kUnknownParameter;
    }
#ifdef TRAP_NODE_HOOK_RETURN_TYPE
    bool shouldSave(const MPlug&, bool&) {
        return true;
    }
#else
    MStatus shouldSave(const MPlug&, bool&) override {
        return MStatus::kUnknownParameter;
    }
#endif
    bool isAbstractClass() const override {
        return false;
    }
#ifdef TRAP_LOCATOR_EXCLUDE_RETURN_TYPE
    int excludeAsLocator() const {
        return 0;
    }
#else
    bool excludeAsLocator() const override {
        return false;
    }
#endif
};

// Lists and paths are polymorphic bases: a derived one is destroyed through the base.
static_assert(std::has_virtual_destructor_v<MSelectionList>, "MSelectionList");
static_assert(std::has_virtual_destructor_v<MDagPath>, "MDagPath");

// The host's own type numbers, as the devkit's MFn.h has them.
static_assert(MFn::kDagNode == 107 && MFn::kTransform == 110, "MFn numbers");
static_assert(MFn::kOrientConstraint == 237 && MFn::kPointConstraint == 238, "MFn numbers");
static_assert(MFn::kWorld == 244 && MFn::kShape == 245 && MFn::kLocator == 278, "MFn numbers");
static_assert(MFn::kMesh == 293 && MFn::kConstraint == 900, "MFn numbers");
static_assert(MFn::kPluginDependNode == 445 && MFn::kPluginLocatorNode == 446, "MFn numbers");
static_assert(MFn::kAttribute == 550 && MFn::kNumericAttribute == 551, "MFn numbers");
static_assert(MFn::kUnitAttribute == 558 && MFn::kCompoundAttribute == 560, "MFn numbers");

#ifndef _WIN32
// PLUGIN_EXPORT marks nothing on Linux, as in the devkit: a module cannot rely on it there to
// keep its entry points visible.
#define KFR_TEXT(...) #__VA_ARGS__
#define KFR_EXPANDED(macro) KFR_TEXT(macro)
static_assert(sizeof(KFR_EXPANDED(PLUGIN_EXPORT)) == 1, "PLUGIN_EXPORT is empty");
#endif

// A time without a unit is in film frames, whatever the UI unit.
MTime fiveFilmFrames() {
    return MTime(5.0);
}

// The entry points are declared extern "C" by the module; PLUGIN_EXPORT only exports.
extern "C" PLUGIN_EXPORT MStatus initializePlugin(MObject object) {
    MFnPlugin plugin(object);
    return registerTranslator(plugin);
}

#ifdef _WIN32
// On Windows the plug-in header brings the module's DllMain.
#ifdef TRAP_OWN_DLL_MAIN
BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
#endif
#endif
