// Forms that build against the devkit, each next to a tempting form that the devkit rejects
// (or runs differently). Built as is, this file must compile; built with -DTRAP_<NAME>, the
// one tempting form replaces its correct form and the compiler must refuse the file.

#include <maya/MEulerRotation.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnPlugin.h>
#include <maya/MPlug.h>
#include <maya/MQuaternion.h>
#include <maya/MString.h>

#include <memory>
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
