#pragma once
// What the three commands share: the names of the selected objects, the children of a node
// and the leaf name of a DAG path. Queries go through MEL with display and undo off, as every
// scene edit of the commands does.

#include <string>
#include <vector>

#include <maya/MSelectionList.h>
#include <maya/MStatus.h>

namespace dagwalk {

// Each selected object's selection string (its shortest unique name), in selection order.
std::vector<std::string> selectionStrings(const MSelectionList& selection);

// Full DAG paths of the node's children, shapes included, in the order the host lists them;
// empty when there are none or the node cannot be found.
std::vector<std::string> childPaths(const std::string& path);

// The text after the last "|" of a path, or the whole path when it holds no "|".
std::string leafName(const std::string& path);

// True when the leaf name of one of the child paths contains one of the type names. Locator
// shapes keep the host's default name ("DOFLocator1"), which carries the node type's name;
// only the leaf is looked at, so that a group whose own name contains a type name does not
// make every node below it look like a locator.
bool hasLocatorShape(const std::vector<std::string>& children,
                     const std::vector<const char*>& typeNames);

// Runs a MEL command for its effect; the status is the caller's to use or ignore.
MStatus run(const std::string& command);

}  // namespace dagwalk
