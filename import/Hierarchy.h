// The scene nodes an import keys: locator transforms under character groups. A character
// group is an empty transform named after a subject; DOF locators of an earlier import are
// found again under it (and emptied of their keys), marker locators are always made anew. A
// DOF locator without a subject lies at the top of the scene and is found again there.
// Names are made valid node names first (nodeName), as the host does.
#pragma once

#include <maya/MObject.h>

#include <string>
#include <vector>

// The DOF locators that one import has made or found again. A locator found again loses the
// keys of earlier imports the first time only, so that a segment keyed by several datagroups
// of one import keeps the keys of each.
class ImportedDofNodes {
  public:
    // True the first time the node is claimed.
    bool claim(const MObject& node);

  private:
    std::vector<MObject> nodes_;
};

// The DOF locator transform `localName` below the group `prefix`, or at the top of the scene
// when the prefix is empty: found again, or made (with the group when it does not exist yet).
// A locator found again loses its keys unless this import has claimed it before.
MObject findOrCreateDofNode(std::string prefix, std::string localName, ImportedDofNodes& imported);

// A new marker locator transform `localName` under the group `prefix`, made when missing.
MObject createMarkerNode(std::string prefix, std::string localName);

// Depth first below `parentPath`, through locator transforms only: the locator transform
// whose leaf name is `name`, with its full path in `path`; null when there is none.
MObject findDofNode(std::string name, std::string parentPath, std::string& path);

// True when the node at `path` has a DOF or marker locator shape among its children.
bool isLocatorTransform(std::string path);
