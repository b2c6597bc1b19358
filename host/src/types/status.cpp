#include <maya/MStatus.h>
#include <maya/MString.h>

#include <cstdio>
#include <ostream>

namespace {

const char* describe(MStatus::MStatusCode code) {
    switch (code) {
        case MStatus::kSuccess:
            return "(kSuccess): No error";
        case MStatus::kFailure:
            return "(kFailure): Unexpected Internal Failure";
        case MStatus::kInsufficientMemory:
            return "(kInsufficientMemory): Insufficient memory";
        case MStatus::kInvalidParameter:
            return "(kInvalidParameter): Invalid parameter";
        case MStatus::kLicenseFailure:
            return "(kLicenseFailure): License failure";
        case MStatus::kUnknownParameter:
            return "(kUnknownParameter): Unknown parameter";
        case MStatus::kNotImplemented:
            return "(kNotImplemented): Not implemented";
        case MStatus::kNotFound:
            return "(kNotFound): Object not found";
        case MStatus::kEndOfFile:
            return "(kEndOfFile): End of file";
    }
    return "(unknown status code)";
}

}  // namespace

MString MStatus::errorString() const {
    return MString(describe(code_));
}

void MStatus::perror(const char* text) const {
    std::fprintf(stderr, "%s: %s\n", text ? text : "", describe(code_));
    std::fflush(stderr);
}

void MStatus::perror(const MString& text) const {
    perror(text.asChar());
}

std::ostream& operator<<(std::ostream& os, MStatus& status) {
    return os << describe(status.statusCode());
}
