#pragma once
// A batch of graph changes that happen together when doIt() is called; until then nothing
// exists in the scene, though a handle from createNode already answers its node's type.
// This host keeps no undo: undoIt() is not implemented.

#include <memory>

#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>

class MDGModifier {
  public:
    MDGModifier();
    virtual ~MDGModifier();

    // DG node types only (animation curves, plug-in dependency nodes).
    MObject createNode(const MTypeId& typeId, MStatus* ReturnStatus = NULL);
    MObject createNode(const MString& type, MStatus* ReturnStatus = NULL);
    MStatus deleteNode(const MObject& node);
    MStatus renameNode(const MObject& node, const MString& newName);
    MStatus connect(const MPlug& source, const MPlug& dest);
    MStatus connect(const MObject& sourceNode, const MObject& sourceAttr, const MObject& destNode,
                    const MObject& destAttr);
    MStatus disconnect(const MPlug& source, const MPlug& dest);
    MStatus commandToExecute(const MString& command);

    // Carries out the recorded changes in order; stops at the first that fails.
    MStatus doIt();
    MStatus undoIt();

    struct Impl;

  protected:
    std::unique_ptr<Impl> impl_;

  private:
    MDGModifier(const MDGModifier&) = delete;
    MDGModifier& operator=(const MDGModifier&) = delete;
};
