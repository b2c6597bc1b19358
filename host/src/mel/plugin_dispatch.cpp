#include "mel/plugin_dispatch.h"

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

#include <cstdio>
#include <exception>
#include <memory>
#include <vector>

#include "mel/interpreter.h"
#include "mel/results.h"

namespace mel {
namespace {

MArgList argumentsOf(const Call& call) {
    MArgList args;
    for (const Arg& arg : call.args) {
        // The argument list has no array arguments: an array's items follow one another.
        if (arg.kind == Arg::Kind::StringArray) {
            for (const std::string& item : arg.items)
                args.addArg(MString(item.c_str()));
        } else if (arg.kind == Arg::Kind::Flag) {
            args.addArg(MString(("-" + arg.text).c_str()));
        } else {
            args.addArg(MString(arg.text.c_str()));
        }
    }
    return args;
}

}  // namespace

Outcome runPluginCommand(const plugin::CommandRecord& record, const Call& call) {
    const std::string name = record.name;  // the record goes if doIt deregisters it
    plugin::BusyScope busy(record.owner);
    void* made = nullptr;
    try {
        made = record.creator();
    } catch (...) {
        return Outcome::fail(name + ": the command's creator threw an exception");
    }
    if (!made)
        return Outcome::fail(name + ": the command's creator returned nothing");
    std::unique_ptr<MPxCommand> command(static_cast<MPxCommand*>(made));

    ResultScope scope;
    MStatus status;
    std::string thrown;
    try {
        status = command->doIt(argumentsOf(call));
    } catch (const std::exception& e) {
        thrown = e.what();
        status = MStatus::kFailure;
    } catch (...) {
        thrown = "unknown exception";
        status = MStatus::kFailure;
    }
    if (!thrown.empty())
        return Outcome::fail(name + ": the command threw an exception: " + thrown);
    if (!status) {
        return Outcome::fail(name + ": command failed " + status.errorString().asChar());
    }
    return Outcome::ok(scope.take());
}

}  // namespace mel
