#pragma once
// Global access to the application: running MEL, messages, the active selection.

#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <maya/MTypes.h>

class MSelectionList;

class MGlobal {
  public:
    enum ListAdjustment {
        kReplaceList = 0,
        kXORWithList = 1,
        kAddToList = 2,
        kRemoveFromList = 3,
    };

    // A MEL error returns kFailure, leaves the result empty and prints the error.
    static MStatus executeCommand(const MString& command, bool displayEnabled = false,
                                  bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, MStringArray& result,
                                  bool displayEnabled = false, bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, MString& result,
                                  bool displayEnabled = false, bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, int& result, bool displayEnabled = false,
                                  bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, double& result,
                                  bool displayEnabled = false, bool undoEnabled = false);

    static void displayInfo(const MString& text);
    static void displayWarning(const MString& text);
    static void displayError(const MString& text);

    static MStatus getActiveSelectionList(MSelectionList& dest);
    // A non-const reference, as on the host: a temporary list does not bind.
    static MStatus setActiveSelectionList(MSelectionList& src,
                                          ListAdjustment adjustment = kReplaceList);
    static MStatus selectByName(const MString& name, ListAdjustment adjustment = kAddToList);
    static MStatus getSelectionListByName(const MString& name, MSelectionList& list);
    static MStatus clearSelectionList();

  private:
    // Only statics: the class is not made or destroyed by callers.
    MGlobal();
    ~MGlobal();
};
