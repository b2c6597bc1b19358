#pragma once
// The function set a module uses in initializePlugin / uninitializePlugin to tell the host
// what it provides: file translators, commands and node types.
//
// Including this header defines the module's MApiVersion text and, on Windows, its DllMain.
// A module includes it in one source file only; any other source that needs it defines
// MNoVersionString first. A module that defines a DllMain of its own does not link.

#include <maya/MObject.h>
#include <maya/MPxNode.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>

class MFnPlugin {
  public:
    MFnPlugin();
    // Valid only on the object the host passes to initializePlugin / uninitializePlugin,
    // while that call runs.
    MFnPlugin(MObject& object, const char* vendor = "Unknown", const char* version = "Unknown",
              const char* requiredApiVersion = "Any", MStatus* status = NULL);
    virtual ~MFnPlugin();

    MString vendor(MStatus* status = NULL) const;
    MString version(MStatus* status = NULL) const;
    MString apiVersion(MStatus* status = NULL) const;
    MString name(MStatus* status = NULL) const;
    MString loadPath(MStatus* status = NULL) const;

    // The texts are char*, not const char*: a string literal needs a cast or an array.
    MStatus registerFileTranslator(const MString& translatorName, char* pixmapName,
                                   MCreatorFunction creatorFunction, char* optionsScriptName = NULL,
                                   char* defaultOptionsString = NULL, bool requiresFullMel = false);
    MStatus deregisterFileTranslator(const MString& translatorName);

    MStatus registerCommand(const MString& commandName, MCreatorFunction creatorFunction,
                            MCreateSyntaxFunction createSyntaxFunction = NULL);
    MStatus deregisterCommand(const MString& commandName);

    MStatus registerNode(const MString& typeName, const MTypeId& typeId,
                         MCreatorFunction creatorFunction, MInitializeFunction initFunction,
                         MPxNode::Type type = MPxNode::kDependNode,
                         const MString* classification = NULL);
    MStatus deregisterNode(const MTypeId& typeId);

  private:
    MFnPlugin(const MFnPlugin&) = delete;
    MFnPlugin& operator=(const MFnPlugin&) = delete;
    MFnPlugin* operator&() const;
    void* plugin_ = nullptr;  // the host's record of the plug-in being loaded or unloaded
};

#ifndef MNoVersionString
extern "C" {
PLUGIN_EXPORT char MApiVersion[] = "700";  // MAYA_API_VERSION as text

#ifdef _WIN32
// The parameter types are those of <windows.h> (HINSTANCE, DWORD, LPVOID; BOOL WINAPI),
// spelled out so that this header need not include it.
int __stdcall DllMain(struct HINSTANCE__* instance, unsigned long reason, void* reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return 1;
}
#endif
}
#endif
