#pragma once
// CopyHierarchyKeys: copies the keys of the locator nodes of the hierarchy selected last to
// the locator nodes of the same leaf name in the other selected hierarchies. Takes no
// arguments; needs at least two selected objects; the selection is left as it was.

#include <string>
#include <vector>

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>
#include <maya/MStatus.h>

class CopyHierarchyKeysCommand : public MPxCommand {
  public:
    static void* creator();

    MStatus doIt(const MArgList& args) override;
    MStatus redoIt() override;

  private:
    using NodeList = std::vector<std::string>;

    // Appends the first locator node on each branch at or below the path, as given.
    static void collectLocatorNodes(const std::string& path, NodeList& nodes);
    // Every destination node receives the keys of the first source node with its leaf name:
    // each attribute the source animates ends with exactly the source's keys.
    static void transferKeys(const NodeList& sources, std::vector<NodeList>& destinations);
    static void copyKeys(const std::string& source, const std::string& destination);
};
