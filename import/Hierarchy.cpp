#include "import/Hierarchy.h"

#include <maya/MDagModifier.h>
#include <maya/MDagPath.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <algorithm>
#include <vector>

#include "import/ChannelLabels.h"

namespace {

const char* const kDofLocatorType = "DOFLocator";
const char* const kMarkerLocatorType = "MarkerLocator";

MString toHost(const std::string& text) {
    return MString(text.c_str());
}

// The full paths that a MEL query answers.
std::vector<std::string> queryPaths(const std::string& query) {
    MStringArray result;
    MGlobal::executeCommand(toHost(query), result, false, false);
    std::vector<std::string> paths;
    paths.reserve(result.length());
    for (unsigned int i = 0; i < result.length(); ++i)
        paths.emplace_back(result[i].asChar());
    return paths;
}

// The full paths of the node's children, shapes included.
std::vector<std::string> childPaths(const std::string& path) {
    return queryPaths("listRelatives -c -f " + path);
}

// The full paths of the nodes at the top of the scene.
std::vector<std::string> topLevelPaths() {
    return queryPaths("ls -assemblies -l");
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

// The full path of the first selected node, found by `name`: the group may lie anywhere in
// the scene, moved into a group of the user's. A node that is not in the DAG has no path; its
// name is used.
std::string groupPath(const MSelectionList& selection, const std::string& name) {
    MDagPath path;
    if (!selection.getDagPath(0, path))
        return name;
    return path.fullPathName().asChar();
}

MObject createLocator(const char* typeName, const MObject& group, const std::string& localName) {
    MDagModifier modifier;
    const MObject transform = modifier.createNode(MString(typeName), MObject::kNullObj);
    modifier.renameNode(transform, toHost(localName));
    modifier.reparentNode(transform, group);
    modifier.doIt();
    return transform;
}

// Depth first through the candidates that are locator transforms, and below them.
MObject findDofNodeAmong(const std::string& name, const std::vector<std::string>& candidates,
                         std::string& path) {
    for (const std::string& candidate : candidates) {
        if (!isLocatorTransform(candidate))
            continue;
        std::string leaf;
        if (leafName(candidate, leaf) && leaf == name && selectOnly(candidate)) {
            path = candidate;
            return firstSelected();
        }
        const MObject below = findDofNode(name, candidate, path);
        if (!below.isNull())
            return below;
    }
    return MObject();
}

// A locator found again keeps the keys this import gave it; those of earlier imports go.
MObject reuseDofLocator(const MObject& node, const std::string& path, ImportedDofNodes& imported) {
    if (imported.claim(node)) {
        const std::string cutKeys = "cutKey -cl -t \":\" -hierarchy none {\"" + path + "\"}";
        MGlobal::executeCommand(toHost(cutKeys), false, false);
    }
    return node;
}

MObject createDofLocator(const MObject& group, const std::string& localName,
                         ImportedDofNodes& imported) {
    const MObject node = createLocator(kDofLocatorType, group, localName);
    imported.claim(node);
    return node;
}

}  // namespace

bool ImportedDofNodes::claim(const MObject& node) {
    if (std::find(nodes_.begin(), nodes_.end(), node) != nodes_.end())
        return false;
    nodes_.push_back(node);
    return true;
}

MObject findOrCreateDofNode(std::string prefix, std::string localName, ImportedDofNodes& imported) {
    prefix = groupName(prefix);
    localName = nodeName(localName);
    std::string path;
    if (prefix.empty()) {
        clearSelection();
        const MObject found = findDofNodeAmong(localName, topLevelPaths(), path);
        return found.isNull() ? createDofLocator(MObject::kNullObj, localName, imported)
                              : reuseDofLocator(found, path, imported);
    }
    if (!selectOnly(prefix)) {
        createGroup(prefix);
        return createDofLocator(firstSelected(), localName, imported);
    }
    MSelectionList groupSelection;
    MGlobal::getActiveSelectionList(groupSelection);
    const MObject found = findDofNode(localName, groupPath(groupSelection, prefix), path);
    if (!found.isNull())
        return reuseDofLocator(found, path, imported);
    MObject group;
    groupSelection.getDependNode(0, group);
    return createDofLocator(group, localName, imported);
}

MObject createMarkerNode(std::string prefix, std::string localName) {
    prefix = groupName(prefix);
    localName = nodeName(localName);
    if (!selectOnly(prefix))
        createGroup(prefix);
    return createLocator(kMarkerLocatorType, firstSelected(), localName);
}

MObject findDofNode(std::string name, std::string parentPath, std::string& path) {
    clearSelection();
    if (parentPath.compare(0, 1, "|") != 0)
        parentPath.insert(0, "|");
    return findDofNodeAmong(name, childPaths(parentPath), path);
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
