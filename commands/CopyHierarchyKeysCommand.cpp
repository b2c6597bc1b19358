#include "commands/CopyHierarchyKeysCommand.h"

#include <utility>

#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>

#include "commands/DagWalk.h"

void* CopyHierarchyKeysCommand::creator() {
    return new CopyHierarchyKeysCommand;
}

MStatus CopyHierarchyKeysCommand::doIt(const MArgList&) {
    return redoIt();
}

MStatus CopyHierarchyKeysCommand::redoIt() {
    MSelectionList saved;
    MGlobal::getActiveSelectionList(saved);
    const std::vector<std::string> roots = dagwalk::selectionStrings(saved);
    if (roots.size() < 2) {
        return MStatus::kSuccess;
    }
    std::vector<NodeList> lists(roots.size());
    for (size_t i = 0; i < roots.size(); ++i) {
        collectLocatorNodes(roots[i], lists[i]);
    }
    const NodeList sources = std::move(lists.back());
    lists.pop_back();
    transferKeys(sources, lists);
    MGlobal::setActiveSelectionList(saved, MGlobal::kReplaceList);
    return MStatus::kSuccess;
}

void CopyHierarchyKeysCommand::collectLocatorNodes(const std::string& path, NodeList& nodes) {
    const std::vector<std::string> children = dagwalk::childPaths(path);
    if (dagwalk::hasLocatorShape(children, {"DOFLocator", "MarkerLocator"})) {
        nodes.push_back(path);
        return;
    }
    // The children are listed again before the walk goes down: the host records and echoes
    // this query twice per node, a sequence that scripts and logs of the command rely on.
    for (const std::string& child : dagwalk::childPaths(path)) {
        collectLocatorNodes(child, nodes);
    }
}

void CopyHierarchyKeysCommand::transferKeys(const NodeList& sources,
                                            std::vector<NodeList>& destinations) {
    for (const std::string& source : sources) {
        const std::string leaf = dagwalk::leafName(source);
        for (NodeList& destination : destinations) {
            for (auto it = destination.begin(); it != destination.end();) {
                if (dagwalk::leafName(*it) == leaf) {
                    copyKeys(source, *it);
                    it = destination.erase(it);
                } else {
                    ++it;
                }
            }
        }
    }
}

void CopyHierarchyKeysCommand::copyKeys(const std::string& source, const std::string& destination) {
    // copyKey answers the number of curves it copied. When it copied none, or failed, the
    // clipboard may still hold an earlier node's keys, which must not be pasted here.
    int copiedCurves = 0;
    const std::string copy = "copyKey " + source;
    if (!MGlobal::executeCommand(MString(copy.c_str()), copiedCurves, false, false) ||
        copiedCurves == 0) {
        return;
    }
    // Each pasted curve replaces the whole destination curve: "replace" alone would keep the
    // destination's keys outside the time span of the copied ones, mixing two motions.
    // Attributes that the source does not animate keep their keys.
    dagwalk::run("pasteKey -o replaceCompletely " + destination);
}
