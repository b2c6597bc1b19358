// The scene nodes an import keys: locator transforms under character groups. A character
// group is an empty transform named after a subject; DOF locators of an earlier import are
// found again under it (and emptied of their keys), marker locators are always made anew.
// Names are made valid node names first: a character other than a letter, a digit or "_"
// becomes "_", and a leading digit gets a "_" in front, as the host does.
#pragma once

#include <maya/MObject.h>

#include <string>

// The DOF locator transform `localName` below the group `prefix`: found again, with every
// key removed, or made (with the group when it does not exist yet).
MObject findOrCreateDofNode(std::string prefix, std::string localName);

// A new marker locator transform `localName` under the group `prefix`, made when missing.
MObject createMarkerNode(std::string prefix, std::string localName);

// Depth first below `parentPath`, through locator transforms only: the locator transform
// whose leaf name is `name`, with its keys removed; null when there is none.
MObject findDofNode(std::string name, std::string parentPath);

// True when the node at `path` has a DOF or marker locator shape among its children.
bool isLocatorTransform(std::string path);
