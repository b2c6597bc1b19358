#pragma once
// An ordered list of nodes, without repeats; the active selection is one of these.

#include <vector>

#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <maya/MTypes.h>

class MDagPath;

class MSelectionList {
  public:
    enum MergeStrategy { kMergeNormal = 0, kXORWithList = 1, kRemoveFromList = 2 };

    MSelectionList() = default;
    MSelectionList(const MSelectionList& other) = default;
    MSelectionList& operator=(const MSelectionList& other) = default;
    virtual ~MSelectionList() = default;

    MStatus clear();
    bool isEmpty(MStatus* ReturnStatus = NULL) const;
    unsigned int length(MStatus* ReturnStatus = NULL) const;

    // Every node that the name, partial path or pattern matches; kInvalidParameter (and
    // nothing added) when none does.
    MStatus add(const MString& matchString);
    MStatus add(const MObject& object, bool mergeWithExisting = false);
    MStatus add(const MDagPath& object, const MObject& component = MObject::kNullObj,
                bool mergeWithExisting = false);
    MStatus merge(const MSelectionList& other, MergeStrategy strategy = kMergeNormal);
    MStatus remove(unsigned int index);
    bool hasItem(const MObject& item, MStatus* ReturnStatus = NULL) const;
    bool hasItem(const MDagPath& item, const MObject& component = MObject::kNullObj,
                 MStatus* ReturnStatus = NULL) const;

    MStatus getDependNode(unsigned int index, MObject& depNode) const;
    MStatus getDagPath(unsigned int index, MDagPath& dagPath) const;
    // Components are not kept: component becomes the null object.
    MStatus getDagPath(unsigned int index, MDagPath& dagPath, MObject& component) const;
    // Each node's shortest unique name ("Bob|Hips" when "Hips" alone is ambiguous).
    MStatus getSelectionStrings(MStringArray& array) const;
    MStatus getSelectionStrings(unsigned int index, MStringArray& array) const;

  private:
    friend struct MSelectionListAccess;
    std::vector<unsigned long long> items_;
};
