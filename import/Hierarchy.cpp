#include "import/Hierarchy.h"

#include <maya/MDagModifier.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <vector>

namespace {

const char* const kDofLocatorType = "DOFLocator";
const char* const kMarkerLocatorType = "MarkerLocator";

bool isNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// A name taken from a take as the host names nodes: letters, digits and "_", other characters
// replaced by "_", and a "_" before a leading digit. Names go into MEL commands, where any
// other character could end the command and start another one.
std::string nodeName(const std::string& name) {
    std::string result;
    for (char c : name)
        result += isNameCharacter(c) ? c : '_';
    if (!result.empty() && result[0] >= '0' && result[0] <= '9')
        result.insert(0, "_");
    return result;
}

MString toHost(const std::string& text) {
    return MString(text.c_str());
}

// The full paths of the node's children, shapes included.
std::vector<std::string> childPaths(const std::string& path) {
    MStringArray result;
    MGlobal::executeCommand(toHost("listRelatives -c -f " + path), result, false, false);
    std::vector<std::string> paths;
    paths.reserve(result.length());
    for (unsigned int i = 0; i < result.length(); ++i)
        paths.emplace_back(result[i].asChar());
    return paths;
}

// The text after the last "|", or nothing when the path holds none.
bool leafName(const std::string& path, std::string& leaf) {
    const size_t bar = path.rfind('|');
    if (bar == std::string::npos)
        return false;
    leaf = path.substr(bar + 1);
    return true;
}

void clearSelection() {
    MGlobal::clearSelectionList();
}

// The active selection is the lookup from a name to a node: clear it, then select the name.
bool selectOnly(const std::string& name) {
    clearSelection();
    return MGlobal::selectByName(toHost(name), MGlobal::kAddToList);
}

MObject firstSelected() {
    MSelectionList selection;
    MGlobal::getActiveSelectionList(selection);
    MObject node;
    selection.getDependNode(0, node);
    return node;
}

// Makes the empty group `prefix` at the top of the scene and selects it by the name the host
// gave it, which differs from `prefix` when other nodes hold that name.
void createGroup(const std::string& prefix) {
    MString made;
    MGlobal::executeCommand(toHost("group -em -n " + prefix), made, false, false);
    selectOnly(made.asChar());
}

MObject createLocator(const char* typeName, const MObject& group, const std::string& localName) {
    MDagModifier modifier;
    const MObject transform = modifier.createNode(MString(typeName), MObject::kNullObj);
    modifier.renameNode(transform, toHost(localName));
    modifier.reparentNode(transform, group);
    modifier.doIt();
    return transform;
}

}  // namespace

MObject findOrCreateDofNode(std::string prefix, std::string localName) {
    prefix = nodeName(prefix);
    localName = nodeName(localName);
    if (!selectOnly(prefix)) {
        createGroup(prefix);
        return createLocator(kDofLocatorType, firstSelected(), localName);
    }
    MSelectionList groupSelection;
    MGlobal::getActiveSelectionList(groupSelection);
    const MObject found = findDofNode(localName, prefix);
    if (!found.isNull())
        return found;
    MObject group;
    groupSelection.getDependNode(0, group);
    return createLocator(kDofLocatorType, group, localName);
}

MObject createMarkerNode(std::string prefix, std::string localName) {
    prefix = nodeName(prefix);
    localName = nodeName(localName);
    if (!selectOnly(prefix))
        createGroup(prefix);
    return createLocator(kMarkerLocatorType, firstSelected(), localName);
}

MObject findDofNode(std::string name, std::string parentPath) {
    clearSelection();
    if (parentPath.compare(0, 1, "|") != 0)
        parentPath.insert(0, "|");
    for (const std::string& child : childPaths(parentPath)) {
        if (!isLocatorTransform(child))
            continue;
        std::string leaf;
        if (leafName(child, leaf) && leaf == name && selectOnly(child)) {
            const MObject node = firstSelected();
            const std::string cutKeys = "cutKey -cl -t \":\" -hierarchy none {\"" + child + "\"}";
            MGlobal::executeCommand(toHost(cutKeys), false, false);
            return node;
        }
        const MObject below = findDofNode(name, child);
        if (!below.isNull())
            return below;
    }
    return MObject();
}

bool isLocatorTransform(std::string path) {
    for (const std::string& child : childPaths(path)) {
        std::string leaf;
        if (leafName(child, leaf) && (leaf.find(kDofLocatorType) != std::string::npos ||
                                      leaf.find(kMarkerLocatorType) != std::string::npos))
            return true;
    }
    return false;
}
