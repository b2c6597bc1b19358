#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>

MString::MString(const char* text) : text_(text ? text : "") {}

MString::MString(const char* text, int length) {
    if (text && length > 0)
        text_.assign(text, static_cast<size_t>(length));
}

MString& MString::operator=(const char* text) {
    text_ = text ? text : "";
    return *this;
}

MString& MString::operator+=(const MString& other) {
    text_ += other.text_;
    return *this;
}

MString& MString::operator+=(const char* text) {
    if (text)
        text_ += text;
    return *this;
}

MString& MString::operator+=(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    text_ += buffer;
    return *this;
}

MString& MString::operator+=(int value) {
    text_ += std::to_string(value);
    return *this;
}

bool MString::operator==(const char* text) const {
    return text_ == (text ? text : "");
}

MString& MString::toUpperCase() {
    for (char& c : text_) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return *this;
}

MString& MString::toLowerCase() {
    for (char& c : text_) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return *this;
}

int MString::index(char c) const {
    const size_t at = text_.find(c);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int MString::rindex(char c) const {
    const size_t at = text_.rfind(c);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

MString MString::substring(int start, int end) const {
    const int size = static_cast<int>(text_.size());
    if (start < 0)
        start = 0;
    if (end >= size)
        end = size - 1;
    if (start > end)
        return MString();
    return MString(text_.c_str() + start, end - start + 1);
}

MStatus MString::split(char delimiter, MStringArray& output) const {
    output.clear();
    size_t begin = 0;
    while (begin <= text_.size()) {
        size_t at = text_.find(delimiter, begin);
        if (at == std::string::npos)
            at = text_.size();
        // Empty pieces are dropped, as the host does.
        if (at > begin)
            output.append(MString(text_.substr(begin, at - begin).c_str()));
        begin = at + 1;
    }
    return MStatus::kSuccess;
}

namespace {

bool parsesWhole(const std::string& text, bool integer) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
        return false;
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    if (integer) {
        std::strtol(begin, &end, 10);
    } else {
        std::strtod(begin, &end);
    }
    return errno == 0 && end != begin && *end == '\0';
}

}  // namespace

bool MString::isInt() const {
    return parsesWhole(text_, true);
}
bool MString::isDouble() const {
    return parsesWhole(text_, false);
}
int MString::asInt() const {
    return static_cast<int>(std::strtol(text_.c_str(), nullptr, 10));
}
double MString::asDouble() const {
    return std::strtod(text_.c_str(), nullptr);
}

MStatus MString::clear() {
    text_.clear();
    return MStatus::kSuccess;
}

MStatus MString::set(const char* text) {
    *this = text;
    return MStatus::kSuccess;
}

MStatus MString::set(double value) {
    return set(value, 6);
}

MStatus MString::set(double value, int precision) {
    if (precision < 0 || precision > 17)
        return MStatus::kInvalidParameter;
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*f", precision, value);
    text_ = buffer;
    return MStatus::kSuccess;
}

MString operator+(const MString& a, const MString& b) {
    MString r(a);
    r += b;
    return r;
}

MString operator+(const MString& a, const char* b) {
    MString r(a);
    r += b;
    return r;
}

MString operator+(const char* a, const MString& b) {
    MString r(a);
    r += b;
    return r;
}

MString operator+(const MString& a, double b) {
    MString r(a);
    r += b;
    return r;
}

std::ostream& operator<<(std::ostream& os, const MString& s) {
    return os << s.asChar();
}
