#pragma once
// The node types the scene knows: the built-in ones (transform, mesh, the two constraints,
// the animation curves) and those a plug-in registers through MFnPlugin::registerNode.
//
// Registering a plug-in type runs its initializer at once, as the host does; the attributes
// the initializer adds with MPxNode::addAttribute become the type's own attributes. A type
// whose initializer fails is not registered.

#include <maya/MPxNode.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>

namespace scene {

// Refused (kFailure) when the name or the id is already taken (built-in names included), the
// kind is not one this stand-in can hold (kNotImplemented), creator or initializer is null
// (kInvalidParameter), or the initializer returns a failure (its status is returned).
MStatus registerNodeType(const MString& name, const MTypeId& id, MCreatorFunction creator,
                         MInitializeFunction initializer, MPxNode::Type kind);

// kNotFound for an id no plug-in registered. kFailure while nodes of the type remain in the
// scene: their objects live in the module, which may be unloaded right after this call, so
// the host refuses (as it refuses to unload a plug-in whose nodes are in use). Delete them
// (or reset the scene) first.
MStatus deregisterNodeType(const MTypeId& id);

// True when a plug-in registered a type of that name.
bool isPluginNodeType(const MString& name);

}  // namespace scene
