#pragma once
// Base class of a command that a plug-in adds to MEL. The host creates a new object through
// the registered creator for every invocation, calls doIt with the arguments, and deletes
// the object afterwards (this host keeps no undo queue).

#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <maya/MTypes.h>

class MArgList;

class MPxCommand {
  public:
    MPxCommand() = default;
    virtual ~MPxCommand();

    virtual MStatus doIt(const MArgList& args) = 0;
    // Base: kFailure; a command that is undoable overrides both.
    virtual MStatus undoIt();
    virtual MStatus redoIt();
    // Base: false.
    virtual bool isUndoable() const;
    // Base: true.
    virtual bool hasSyntax() const;

    // The result the running command gives back to MEL.
    static void clearResult();
    static void setResult(const MString& result);
    static void setResult(const char* result);
    static void setResult(int result);
    static void setResult(double result);
    static void setResult(bool result);
    static void setResult(const MStringArray& result);
    static void appendToResult(const MString& result);
    static void appendToResult(const char* result);
    static void appendToResult(int result);
    static void appendToResult(double result);
    static void appendToResult(bool result);

    static void displayInfo(const MString& text);
    static void displayWarning(const MString& text);
    static void displayError(const MString& text);

  private:
    MPxCommand(const MPxCommand&) = delete;
    MPxCommand& operator=(const MPxCommand&) = delete;
};
