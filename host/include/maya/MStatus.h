#pragma once
// The result of almost every API call: a code, success by default.

#include <iosfwd>

#include <maya/MTypes.h>

class MString;

class MStatus {
  public:
    enum MStatusCode {
        kSuccess = 0,
        kFailure = 1,
        kInsufficientMemory = 2,
        kInvalidParameter = 3,
        kLicenseFailure = 4,
        kUnknownParameter = 5,
        kNotImplemented = 6,
        kNotFound = 7,
        kEndOfFile = 8,
    };

    MStatus() = default;
    MStatus(MStatusCode code) : code_(code) {}

    bool operator==(const MStatus& other) const { return code_ == other.code_; }
    bool operator==(MStatusCode code) const { return code_ == code; }
    bool operator!=(const MStatus& other) const { return code_ != other.code_; }
    bool operator!=(MStatusCode code) const { return code_ != code; }
    operator bool() const { return code_ == kSuccess; }

    bool error() const { return code_ != kSuccess; }
    void clear() { code_ = kSuccess; }
    MStatusCode statusCode() const { return code_; }
    MString errorString() const;
    // Writes "<text>: <errorString()>\n" to stderr.
    void perror(const char* text) const;
    void perror(const MString& text) const;

  private:
    MStatusCode code_ = kSuccess;
};

typedef MStatus MS;

// A non-const status, as on the host. There a const status goes through operator bool and
// prints as 1 or 0: refused here so that the mistake cannot build.
std::ostream& operator<<(std::ostream& os, MStatus& status);
std::ostream& operator<<(std::ostream& os, const MStatus& status) = delete;
