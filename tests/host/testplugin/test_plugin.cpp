// A small module for the stand-in host's loading tests. It registers what a real module
// does: a file translator (and a second one that is only ever unsure), commands, and node
// types. Environment variables read in initializePlugin make it misbehave on purpose:
//   HOSTTEST_INIT_FAIL    initializePlugin registers everything, then reports failure
//   HOSTTEST_LEAK         uninitializePlugin forgets to deregister the command testEcho
//   HOSTTEST_UNINIT_FAIL  uninitializePlugin reports failure at once
//   HOSTTEST_WRONG_OBJECT initializePlugin builds its MFnPlugin on another object

#include <maya/MArgList.h>
#include <maya/MFileObject.h>
#include <maya/MFnPlugin.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MGlobal.h>
#include <maya/MPxCommand.h>
#include <maya/MPxFileTranslator.h>
#include <maya/MPxNode.h>
#include <maya/MTypeId.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "test_locator.h"

namespace {

bool envSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value && std::string(value) != "0";
}

int g_destroyedCommands = 0;

// Every command of the module counts its deletions, so tests can see that the host
// deletes each command object after its invocation.
class CountedCommand : public MPxCommand {
  public:
    ~CountedCommand() override { ++g_destroyedCommands; }
};

// testEcho: gives back every argument as text (a string array arrives item by item).
class EchoCommand : public CountedCommand {
  public:
    MStatus doIt(const MArgList& args) override {
        clearResult();
        for (unsigned int i = 0; i < args.length(); ++i)
            appendToResult(args.asString(i));
        return MStatus::kSuccess;
    }
    static void* creator() { return new EchoCommand; }
};

class FailCommand : public CountedCommand {
  public:
    MStatus doIt(const MArgList&) override {
        displayError("testFail refuses");
        return MStatus::kInvalidParameter;
    }
    static void* creator() { return new FailCommand; }
};

// testNested: runs MEL from inside a command and gives back its result.
class NestedCommand : public CountedCommand {
  public:
    MStatus doIt(const MArgList&) override {
        MStringArray result;
        const MStatus status = MGlobal::executeCommand("currentUnit -q -linear", result);
        setResult(result);
        return status;
    }
    static void* creator() { return new NestedCommand; }
};

class ThrowCommand : public CountedCommand {
  public:
    MStatus doIt(const MArgList&) override { throw std::runtime_error("boom"); }
    static void* creator() { return new ThrowCommand; }
};

// testDestroyed: how many command objects the host has deleted so far.
class DestroyedCommand : public CountedCommand {
  public:
    MStatus doIt(const MArgList&) override {
        setResult(g_destroyedCommands);
        return MStatus::kSuccess;
    }
    static void* creator() { return new DestroyedCommand; }
};

// testUnloadSelf: tries to unload its own module while it runs; gives back the status.
class UnloadSelfCommand : public CountedCommand {
  public:
    MStatus doIt(const MArgList&) override {
        const MStatus status = MGlobal::executeCommand("unloadPlugin hosttestplugin");
        setResult(static_cast<int>(status.statusCode()));
        return MStatus::kSuccess;
    }
    static void* creator() { return new UnloadSelfCommand; }
};

std::string extensionOf(const MFileObject& file) {
    const std::string name = file.name().asChar();
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? "" : name.substr(dot + 1);
}

// Files *.hts (or starting with the line "HTS?") hold MEL; reading one runs it and reports what the
// reader was given.
class TestTranslator : public MPxFileTranslator {
  public:
    MStatus reader(const MFileObject& file, const MString& options, FileAccessMode mode) override {
        std::ifstream in(file.fullName().asChar());
        if (!in)
            return MStatus::kFailure;
        std::ostringstream text;
        text << in.rdbuf();
        MGlobal::displayInfo(MString("reader name=") + file.name() + " options=" + options +
                             " mode=" + static_cast<int>(mode) +
                             " current=" + static_cast<int>(fileAccessMode()));
        std::string mel = text.str();
        if (mel.compare(0, 5, "HTS?\n") == 0)
            mel.erase(0, 5);  // the magic of unnamed files
        return MGlobal::executeCommand(MString(mel.c_str()));
    }
    bool haveReadMethod() const override { return true; }
    MString defaultExtension() const override { return "hts"; }
    MString filter() const override { return "*.hts"; }
    MFileKind identifyFile(const MFileObject& file, const char* buffer, short size) const override {
        if (extensionOf(file) == "hts")
            return kIsMyFileType;
        if (size >= 4 && std::string(buffer, 4) == "HTS?")
            return kCouldBeMyFileType;
        return kNotMyFileType;
    }
    static void* creator() { return new TestTranslator; }
};

// Registered first, it is never sure; the host must still prefer a sure translator.
class UnsureTranslator : public MPxFileTranslator {
  public:
    MStatus reader(const MFileObject&, const MString&, FileAccessMode) override {
        MGlobal::displayInfo("unsure reader ran");
        return MStatus::kSuccess;
    }
    bool haveReadMethod() const override { return true; }
    MFileKind identifyFile(const MFileObject& file, const char*, short) const override {
        const std::string ext = extensionOf(file);
        return ext == "hts" || ext == "maybe" ? kCouldBeMyFileType : kNotMyFileType;
    }
    static void* creator() { return new UnsureTranslator; }
};

class TestNode : public MPxNode {
  public:
    MStatus compute(const MPlug&, MDataBlock&) override { return MStatus::kUnknownParameter; }
    static void* creator() { return new TestNode; }
};

MStatus initializeSize() {
    MFnUnitAttribute unit;
    MObject size = unit.create("size", "sz", MFnUnitAttribute::kDistance, 0.0);
    unit.setDefault(1.0);
    const MStatus status = MPxNode::addAttribute(size);
    if (!status)
        status.perror("addAttribute");
    return status;
}

const MTypeId kTestNodeId(0x7f101);

const char* const kCommands[] = {"testEcho",  "testFail",      "testNested",
                                 "testThrow", "testDestroyed", "testUnloadSelf"};
const MCreatorFunction kCreators[] = {EchoCommand::creator,      FailCommand::creator,
                                      NestedCommand::creator,    ThrowCommand::creator,
                                      DestroyedCommand::creator, UnloadSelfCommand::creator};

}  // namespace

extern "C" PLUGIN_EXPORT MStatus initializePlugin(MObject obj) {
    if (envSet("HOSTTEST_WRONG_OBJECT"))
        obj = MObject();
    MStatus status;
    MFnPlugin plugin(obj, "Test vendor", "1.2", "Any", &status);
    if (!status)
        return status;
    char noPixmap[] = "";
    char noOptions[] = "";
    char defaults[] = "defaults=1";
    const MStatus translator = plugin.registerFileTranslator(
        "Host unsure", noPixmap, UnsureTranslator::creator, nullptr, noOptions, false);
    if (!translator)
        translator.perror("registerFileTranslator");
    status = plugin.registerFileTranslator("Host test", noPixmap, TestTranslator::creator, nullptr,
                                           defaults, true);
    if (!status)
        status.perror("registerFileTranslator");
    for (size_t i = 0; i < sizeof kCommands / sizeof kCommands[0]; ++i) {
        const MStatus command = plugin.registerCommand(kCommands[i], kCreators[i]);
        if (!command)
            command.perror("registerCommand");
    }
    const MStatus node = plugin.registerNode("hostTestNode", kTestNodeId, TestNode::creator,
                                             initializeSize, MPxNode::kDependNode);
    if (!node)
        node.perror("registerNode");
    const MStatus locator = registerTestLocator(plugin);
    if (!locator)
        locator.perror("registerNode");
    if (!translator || !node || !locator)
        status = MStatus::kFailure;
    if (envSet("HOSTTEST_INIT_FAIL"))
        return MStatus::kFailure;
    return status;
}

extern "C" PLUGIN_EXPORT MStatus uninitializePlugin(MObject obj) {
    if (envSet("HOSTTEST_UNINIT_FAIL"))
        return MStatus::kFailure;
    MFnPlugin plugin(obj);
    MStatus status = plugin.deregisterFileTranslator("Host test");
    plugin.deregisterFileTranslator("Host unsure");
    for (const char* name : kCommands) {
        if (envSet("HOSTTEST_LEAK") && std::string(name) == "testEcho")
            continue;
        plugin.deregisterCommand(name);
    }
    plugin.deregisterNode(kTestNodeId);
    deregisterTestLocator(plugin);
    return status;
}
