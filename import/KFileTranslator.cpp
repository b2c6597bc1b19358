#include "import/KFileTranslator.h"

#include <maya/MGlobal.h>

#include <cstdint>
#include <exception>
#include <string>

#include <kfile/KFileManager.h>

#include "import/TakeImport.h"

namespace {

void reportError(const std::string& message) {
    MGlobal::displayError(MString(message.c_str()));
}

// A take cut inside a record (a copy that stopped short) imports the frames before the cut.
void warnOfCut(uint64_t droppedBytes) {
    if (droppedBytes == 0)
        return;
    const std::string bytes = droppedBytes == 1
                                  ? "its 1 byte was"
                                  : "its " + std::to_string(droppedBytes) + " bytes were";
    const std::string message = "The take ends inside a record: " + bytes + " dropped.";
    MGlobal::displayWarning(MString(message.c_str()));
}

}  // namespace

const char* const KFileTranslator::kName = "Kelmar K-file";

MStatus KFileTranslator::reader(const MFileObject& file, const MString&, FileAccessMode) {
    animators_.clear();
    // The full name, not the name: the name alone lacks the folder the take lies in.
#if MAYA_API_VERSION >= 20190000
    const std::string path = file.resolvedFullName().asChar();
#else
    const std::string path = file.fullName().asChar();
#endif
    try {
        // The file is read whole and closed before the scene changes.
        const kfile::KReadResult take = kfile::ReadTake(path);
        if (!take.contents) {
            reportError("Cannot import \"" + path + "\": " + take.report.Describe());
            return MStatus::kFailure;
        }
        warnOfCut(take.report.incompleteBytes);
        importTake(*take.contents, animators_);
    } catch (const std::exception& error) {
        animators_.clear();
        reportError("Importing \"" + path + "\" stopped: " + error.what());
        return MStatus::kFailure;
    }
    animators_.clear();
    return MStatus::kSuccess;
}

bool KFileTranslator::haveReadMethod() const {
    return true;
}

bool KFileTranslator::haveWriteMethod() const {
    return false;
}

MString KFileTranslator::defaultExtension() const {
    return "K";
}

MString KFileTranslator::filter() const {
    return "*.K";
}

bool KFileTranslator::canBeOpened() const {
    return false;
}

MPxFileTranslator::MFileKind KFileTranslator::identifyFile(const MFileObject& file, const char*,
                                                           short) const {
#if MAYA_API_VERSION >= 20190000
    MString fileName = file.resolvedName();
#else
    MString fileName = file.name();
#endif
    const std::string name = fileName.toUpperCase().asChar();
    const size_t dot = name.rfind('.');
    const std::string extension = dot == std::string::npos ? name : name.substr(dot + 1);
    return extension == "K" ? kIsMyFileType : kNotMyFileType;
}

void* KFileTranslator::creator() {
    return new KFileTranslator;
}
