#pragma once
// Base class of node types that a plug-in defines. The host makes objects of such a type
// through the creator that was registered, and calls the initializer once, at
// registration, to add the type's attributes.

#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>

class MDataBlock;
class MDataHandle;
class MPlug;
class MPlugArray;

class MPxNode {
  public:
    enum Type {
        kDependNode = 0,
        kLocatorNode = 1,
    };

    MPxNode();
    virtual ~MPxNode();

    virtual void postConstructor();
    // Base behaviour: nothing is computed here, kUnknownParameter.
    virtual MStatus compute(const MPlug& plug, MDataBlock& dataBlock);
    virtual Type type() const;

    // Base behaviour of the hooks the host may call: nothing handled (false,
    // kUnknownParameter), a concrete class.
    virtual bool getInternalValue(const MPlug& plug, MDataHandle& dataHandle);
    virtual bool setInternalValue(const MPlug& plug, const MDataHandle& dataHandle);
    virtual void copyInternalData(MPxNode* source);
    virtual MStatus legalConnection(const MPlug& plug, const MPlug& otherPlug, bool asSrc,
                                    bool& isLegal) const;
    virtual MStatus legalDisconnection(const MPlug& plug, const MPlug& otherPlug, bool asSrc,
                                       bool& isLegal) const;
    virtual MStatus setDependentsDirty(const MPlug& plug, MPlugArray& plugArray);
    virtual MStatus connectionMade(const MPlug& plug, const MPlug& otherPlug, bool asSrc);
    virtual MStatus connectionBroken(const MPlug& plug, const MPlug& otherPlug, bool asSrc);
    virtual MStatus shouldSave(const MPlug& plug, bool& isSaving);
    virtual bool isAbstractClass() const;

    MObject thisMObject() const;
    MTypeId typeId() const;
    MString typeName() const;
    MString name() const;

    // Only while the host runs the type's initializer; the attribute becomes one of the
    // type's own.
    static MStatus addAttribute(const MObject& attribute);
    static MStatus attributeAffects(const MObject& whenChanges, const MObject& isAffected);

  private:
    MPxNode(const MPxNode&) = delete;
    MPxNode& operator=(const MPxNode&) = delete;
    friend struct MPxNodeAccess;  // the stand-in's scene ties the object to its node
    unsigned long long node_ = 0;
};
