#include <maya/MFileObject.h>
#include <maya/MPxFileTranslator.h>

#include <sys/stat.h>

#include "plugin/file_access.h"

MPxFileTranslator::~MPxFileTranslator() = default;

MStatus MPxFileTranslator::reader(const MFileObject&, const MString&, FileAccessMode) {
    return MStatus::kFailure;
}

MStatus MPxFileTranslator::writer(const MFileObject&, const MString&, FileAccessMode) {
    return MStatus::kFailure;
}

bool MPxFileTranslator::haveReadMethod() const {
    return false;
}
bool MPxFileTranslator::haveWriteMethod() const {
    return false;
}
bool MPxFileTranslator::haveNamespaceSupport() const {
    return false;
}
bool MPxFileTranslator::haveReferenceMethod() const {
    return false;
}
MString MPxFileTranslator::defaultExtension() const {
    return MString();
}
MString MPxFileTranslator::filter() const {
    return MString("*.*");
}
bool MPxFileTranslator::canBeOpened() const {
    return true;
}

MPxFileTranslator::MFileKind MPxFileTranslator::identifyFile(const MFileObject&, const char*,
                                                             short) const {
    return kNotMyFileType;
}

MPxFileTranslator::FileAccessMode MPxFileTranslator::fileAccessMode() {
    return plugin::currentAccessMode();
}

namespace {

size_t splitAt(const std::string& text) {
    const size_t slash = text.find_last_of("/\\");
    return slash == std::string::npos ? 0 : slash + 1;
}

}  // namespace

MStatus MFileObject::setRawFullName(const MString& fullName) {
    const std::string text = fullName.asChar();
    const size_t at = splitAt(text);
    path_ = text.substr(0, at).c_str();
    name_ = text.substr(at).c_str();
    return MStatus::kSuccess;
}

MStatus MFileObject::setFullName(const MString& fullName) {
    return setRawFullName(fullName);
}

MStatus MFileObject::setRawName(const MString& name) {
    name_ = name;
    return MStatus::kSuccess;
}

MStatus MFileObject::setName(const MString& name) {
    return setRawName(name);
}

// A path without its trailing separator gets one, so that fullName() joins correctly.
MStatus MFileObject::setRawPath(const MString& path) {
    std::string text = path.asChar();
    if (!text.empty() && text.back() != '/' && text.back() != '\\')
        text += '/';
    path_ = text.c_str();
    return MStatus::kSuccess;
}

MStatus MFileObject::setPath(const MString& path) {
    return setRawPath(path);
}

MString MFileObject::rawName() const {
    return name_;
}
MString MFileObject::name() const {
    return name_;
}
MString MFileObject::rawPath() const {
    return path_;
}
MString MFileObject::path() const {
    return path_;
}
MString MFileObject::rawFullName() const {
    return path_ + name_;
}
MString MFileObject::fullName() const {
    return path_ + name_;
}

bool MFileObject::exists() const {
    struct stat info;
    return stat(fullName().asChar(), &info) == 0;
}
