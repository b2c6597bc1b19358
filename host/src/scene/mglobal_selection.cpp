// The active selection: MSelectionList and the selection functions of MGlobal.

#include <algorithm>

#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>

#include "scene/access.h"
#include "scene/api_util.h"
#include "scene/selection.h"

using scene::setStatus;

namespace scene {

std::string resolveForSelection(const std::string& name, std::vector<Node*>* nodes) {
    Scene& s = theScene();
    if (hasWildcard(name)) {
        *nodes = s.match(name);
        return nodes->empty() ? "No object matches name: " + name : "";
    }
    std::string error;
    Node* n = s.lookup(name, &error);
    nodes->clear();
    if (n != nullptr) {
        nodes->push_back(n);
    }
    return error;
}

void adjustList(std::vector<NodeId>* list, const std::vector<NodeId>& items,
                MGlobal::ListAdjustment adjustment) {
    auto contains = [list](NodeId id) {
        return std::find(list->begin(), list->end(), id) != list->end();
    };
    auto erase = [list](NodeId id) {
        list->erase(std::remove(list->begin(), list->end(), id), list->end());
    };
    if (adjustment == MGlobal::kReplaceList) {
        list->clear();
    }
    for (NodeId id : items) {
        switch (adjustment) {
            case MGlobal::kReplaceList:
            case MGlobal::kAddToList:
                if (!contains(id)) {
                    list->push_back(id);
                }
                break;
            case MGlobal::kRemoveFromList:
                erase(id);
                break;
            case MGlobal::kXORWithList:
                if (contains(id)) {
                    erase(id);
                } else {
                    list->push_back(id);
                }
                break;
        }
    }
}

}  // namespace scene

namespace {

std::vector<scene::NodeId> liveItems(const MSelectionList& list) {
    std::vector<scene::NodeId> ids;
    for (unsigned long long id : MSelectionListAccess::items(list)) {
        if (scene::theScene().find(id) != nullptr) {
            ids.push_back(id);
        }
    }
    return ids;
}

bool validAdjustment(MGlobal::ListAdjustment a) {
    return a == MGlobal::kReplaceList || a == MGlobal::kXORWithList || a == MGlobal::kAddToList ||
           a == MGlobal::kRemoveFromList;
}

}  // namespace

// --- MGlobal -------------------------------------------------------------------------------

MStatus MGlobal::getActiveSelectionList(MSelectionList& dest) {
    MSelectionListAccess::items(dest) = scene::theScene().selection();
    return MStatus::kSuccess;
}

MStatus MGlobal::setActiveSelectionList(MSelectionList& src, ListAdjustment adjustment) {
    if (!validAdjustment(adjustment)) {
        return MStatus::kInvalidParameter;
    }
    scene::adjustList(&scene::theScene().selection(), liveItems(src), adjustment);
    return MStatus::kSuccess;
}

MStatus MGlobal::selectByName(const MString& name, ListAdjustment adjustment) {
    if (!validAdjustment(adjustment)) {
        return MStatus::kInvalidParameter;
    }
    std::vector<scene::Node*> nodes;
    if (!scene::resolveForSelection(name.asChar(), &nodes).empty()) {
        return MStatus::kFailure;  // the selection stays as it was
    }
    std::vector<scene::NodeId> ids;
    for (scene::Node* n : nodes) {
        ids.push_back(n->id);
    }
    scene::adjustList(&scene::theScene().selection(), ids, adjustment);
    return MStatus::kSuccess;
}

MStatus MGlobal::getSelectionListByName(const MString& name, MSelectionList& list) {
    list.clear();
    return list.add(name);
}

MStatus MGlobal::clearSelectionList() {
    scene::theScene().selection().clear();
    return MStatus::kSuccess;
}

// --- MSelectionList ------------------------------------------------------------------------

MStatus MSelectionList::clear() {
    items_.clear();
    return MStatus::kSuccess;
}

bool MSelectionList::isEmpty(MStatus* ReturnStatus) const {
    return length(ReturnStatus) == 0;
}

unsigned int MSelectionList::length(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MStatus::kSuccess);
    return static_cast<unsigned int>(items_.size());
}

MStatus MSelectionList::add(const MString& matchString) {
    std::vector<scene::Node*> nodes;
    if (!scene::resolveForSelection(matchString.asChar(), &nodes).empty()) {
        return MStatus::kInvalidParameter;
    }
    std::vector<scene::NodeId> ids;
    for (scene::Node* n : nodes) {
        ids.push_back(n->id);
    }
    scene::adjustList(&items_, ids, MGlobal::kAddToList);
    return MStatus::kSuccess;
}

MStatus MSelectionList::add(const MObject& object, bool) {
    scene::Node* n = scene::nodeOf(object);
    if (n == nullptr || n == scene::theScene().world()) {
        return MStatus::kInvalidParameter;
    }
    scene::adjustList(&items_, {n->id}, MGlobal::kAddToList);
    return MStatus::kSuccess;
}

MStatus MSelectionList::add(const MDagPath& object, const MObject& component, bool merge) {
    if (!component.isNull()) {
        return MStatus::kNotImplemented;  // components are not modelled
    }
    return add(object.node(), merge);
}

MStatus MSelectionList::merge(const MSelectionList& other, MergeStrategy strategy) {
    MGlobal::ListAdjustment a = strategy == kXORWithList      ? MGlobal::kXORWithList
                                : strategy == kRemoveFromList ? MGlobal::kRemoveFromList
                                                              : MGlobal::kAddToList;
    scene::adjustList(&items_, other.items_, a);
    return MStatus::kSuccess;
}

MStatus MSelectionList::remove(unsigned int index) {
    if (index >= items_.size()) {
        return MStatus::kInvalidParameter;
    }
    items_.erase(items_.begin() + index);
    return MStatus::kSuccess;
}

bool MSelectionList::hasItem(const MObject& item, MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MStatus::kSuccess);
    scene::NodeId id = MObjectAccess::nodeId(item);
    return id != 0 && std::find(items_.begin(), items_.end(), id) != items_.end();
}

bool MSelectionList::hasItem(const MDagPath& item, const MObject&, MStatus* ReturnStatus) const {
    return hasItem(item.node(), ReturnStatus);
}

MStatus MSelectionList::getDependNode(unsigned int index, MObject& depNode) const {
    if (index >= items_.size() || scene::theScene().find(items_[index]) == nullptr) {
        return MStatus::kInvalidParameter;
    }
    depNode = MObjectAccess::forNode(items_[index]);
    return MStatus::kSuccess;
}

MStatus MSelectionList::getDagPath(unsigned int index, MDagPath& dagPath) const {
    MObject node;
    MStatus s = getDependNode(index, node);
    return s ? MDagPath::getAPathTo(node, dagPath) : s;
}

MStatus MSelectionList::getDagPath(unsigned int index, MDagPath& dagPath,
                                   MObject& component) const {
    component = MObject();
    return getDagPath(index, dagPath);
}

MStatus MSelectionList::getSelectionStrings(MStringArray& array) const {
    array.clear();
    scene::Scene& s = scene::theScene();
    for (unsigned long long id : items_) {
        if (const scene::Node* n = s.find(id)) {
            array.append(MString(s.shortestUniqueName(n).c_str()));
        }
    }
    return MStatus::kSuccess;
}

MStatus MSelectionList::getSelectionStrings(unsigned int index, MStringArray& array) const {
    array.clear();
    const scene::Node* n = index < items_.size() ? scene::theScene().find(items_[index]) : nullptr;
    if (n == nullptr) {
        return MStatus::kInvalidParameter;
    }
    array.append(MString(scene::theScene().shortestUniqueName(n).c_str()));
    return MStatus::kSuccess;
}
