// file -import [-type NAME] [-options TEXT] PATH: imports through a registered translator,
// the named one or the first whose identifyFile recognises the file.

#include <maya/MFileObject.h>
#include <maya/MPxFileTranslator.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "mel/command.h"
#include "plugin/file_access.h"
#include "plugin/library.h"
#include "plugin/registry.h"
#include "types/messages.h"

namespace plugin {
namespace {
MPxFileTranslator::FileAccessMode g_mode = MPxFileTranslator::kUnknownAccessMode;
}

MPxFileTranslator::FileAccessMode currentAccessMode() {
    return g_mode;
}

AccessModeScope::AccessModeScope(MPxFileTranslator::FileAccessMode mode) : previous_(g_mode) {
    g_mode = mode;
}

AccessModeScope::~AccessModeScope() {
    g_mode = previous_;
}

}  // namespace plugin

namespace {

constexpr size_t kIdentifyBytes = 1024;

std::vector<char> firstBytes(const std::string& path) {
    std::vector<char> bytes(kIdentifyBytes);
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return {};
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);
    return bytes;
}

// The translator that recognises the file: a sure answer wins over a "could be".
plugin::TranslatorRecord* identify(const MFileObject& file, const std::vector<char>& head,
                                   std::string* error) {
    plugin::TranslatorRecord* maybe = nullptr;
    for (plugin::TranslatorRecord* record : plugin::translators()) {
        MPxFileTranslator* translator = record->object();
        if (!translator || !translator->haveReadMethod())
            continue;
        MPxFileTranslator::MFileKind kind = MPxFileTranslator::kNotMyFileType;
        try {
            kind = translator->identifyFile(file, head.data(), static_cast<short>(head.size()));
        } catch (...) {
            *error = "identifyFile of \"" + record->name + "\" threw an exception";
            return nullptr;
        }
        if (kind == MPxFileTranslator::kIsMyFileType)
            return record;
        if (kind == MPxFileTranslator::kCouldBeMyFileType && !maybe)
            maybe = record;
    }
    return maybe;
}

// Why the file at `path` cannot be imported, or empty when it can be opened: the host's words
// for a missing file, the system's for a folder or a file that is not there to read.
std::string unreadableReason(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        return errno == ENOENT ? "File not found: \"" + path + "\"."
                               : "Cannot import \"" + path + "\": " + std::strerror(errno) + ".";
    }
    if ((info.st_mode & S_IFMT) == S_IFDIR)
        return "Cannot import \"" + path + "\": Is a directory.";
    if ((info.st_mode & S_IFMT) != S_IFREG)
        return "Cannot import \"" + path + "\": it is not a regular file.";
    return "";
}

mel::Outcome runImport(const std::string& path, const mel::ArgReader& args) {
    const std::string unreadable = unreadableReason(path);
    if (!unreadable.empty())
        return mel::Outcome::fail(unreadable);
    MFileObject file;
    file.setRawFullName(MString(path.c_str()));

    plugin::TranslatorRecord* record = nullptr;
    if (args.has("type")) {
        const std::string type = args.value("type");
        record = plugin::findTranslator(type);
        if (!record)
            return mel::Outcome::fail("Invalid file type specified: \"" + type + "\".");
    } else {
        std::string error;
        record = identify(file, firstBytes(path), &error);
        if (!error.empty())
            return mel::Outcome::fail("file: " + error);
        if (!record) {
            return mel::Outcome::fail("Unrecognized file type for \"" + path +
                                      "\": no loaded file translator reads it.");
        }
    }
    MPxFileTranslator* translator = record->object();
    if (!translator)
        return mel::Outcome::fail("file: translator \"" + record->name + "\" is unusable");
    if (!translator->haveReadMethod()) {
        return mel::Outcome::fail("file: translator \"" + record->name + "\" cannot read files");
    }
    const std::string options =
        args.has("options") ? args.value("options") : record->defaultOptions;
    const std::string name = record->name;
    plugin::BusyScope busy(record->owner);
    plugin::AccessModeScope mode(MPxFileTranslator::kImportAccessMode);
    MStatus status;
    const size_t errorsBefore = types::errorsPrinted();
    try {
        status = translator->reader(file, MString(options.c_str()),
                                    MPxFileTranslator::kImportAccessMode);
    } catch (const std::exception& e) {
        return mel::Outcome::fail("Error reading file \"" + path + "\": translator \"" + name +
                                  "\" threw an exception: " + e.what());
    } catch (...) {
        return mel::Outcome::fail("Error reading file \"" + path + "\": translator \"" + name +
                                  "\" threw an exception");
    }
    if (!status && types::errorsPrinted() > errorsBefore) {
        // The translator said why; the host adds nothing to it.
        return mel::Outcome::failReported("Error reading file \"" + path + "\" with translator \"" +
                                          name + "\": " + status.errorString().asChar());
    }
    if (!status) {
        return mel::Outcome::fail("Error reading file \"" + path + "\" with translator \"" + name +
                                  "\": " + status.errorString().asChar());
    }
    return mel::Outcome::ok({path});
}

mel::Outcome runFile(const mel::Call& call) {
    mel::ArgReader args(call, {{"i", "import", 0}, {"typ", "type", 1}, {"op", "options", 1}});
    if (!args.ok())
        return args.failure();
    if (!args.has("import")) {
        return mel::Outcome::fail(
            "file: only \"file -import\" is supported by the stand-in host (no open, save, "
            "reference or export)");
    }
    if (args.positional().size() != 1) {
        return mel::Outcome::fail("file -import: exactly one file name is needed");
    }
    return runImport(args.positional().front(), args);
}

mel::RegisterBuiltin registerFile("file", &runFile);

}  // namespace
