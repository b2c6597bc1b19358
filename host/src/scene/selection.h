#pragma once
// Shared by MSelectionList, the MGlobal selection functions and the select command: turning
// a name into nodes and changing a list by a list adjustment.

#include <string>
#include <vector>

#include <maya/MGlobal.h>

#include "scene/model.h"

namespace scene {

// A name, partial or full path must match exactly one node; a pattern with '*' or '?' may
// match many but not none. Returns the host's error text, empty on success.
std::string resolveForSelection(const std::string& name, std::vector<Node*>* nodes);

void adjustList(std::vector<NodeId>* list, const std::vector<NodeId>& items,
                MGlobal::ListAdjustment adjustment);

}  // namespace scene
