#pragma once
// The API's string: a byte string (UTF-8 or plain ASCII), copied on construction.

#include <iosfwd>
#include <string>
#include <type_traits>

#include <maya/MStatus.h>

class MStringArray;

class MString {
  public:
    MString() = default;
    MString(const char* text);
    MString(const char* text, int length);
    MString(const MString& other) = default;
    MString& operator=(const MString& other) = default;
    MString& operator=(const char* text);
    ~MString() = default;

    MString& operator+=(const MString& other);
    MString& operator+=(const char* text);
    MString& operator+=(double value);
    MString& operator+=(int value);
    // The devkit has no char form: there a char converts to int and appends its decimal
    // number ("34" for '"'). Refused here so that the mistake cannot build.
    MString& operator+=(char c) = delete;

    bool operator==(const MString& other) const { return text_ == other.text_; }
    bool operator==(const char* text) const;
    bool operator!=(const MString& other) const { return text_ != other.text_; }
    bool operator!=(const char* text) const { return !(*this == text); }

    const char* asChar() const { return text_.c_str(); }
    unsigned int length() const { return static_cast<unsigned int>(text_.size()); }

    // Convert this string in place (ASCII letters only); convert a copy to keep the original.
    MString& toUpperCase();
    MString& toLowerCase();

    int index(char c) const;
    int rindex(char c) const;
    // Characters start..end inclusive; an empty string when the range is outside.
    MString substring(int start, int end) const;
    MStatus split(char delimiter, MStringArray& output) const;

    bool isInt() const;
    bool isDouble() const;
    int asInt() const;
    double asDouble() const;
    MStatus set(const char* text);
    MStatus set(double value);
    MStatus set(double value, int precision);
    MStatus clear();

  private:
    std::string text_;
};

MString operator+(const MString& a, const MString& b);
MString operator+(const MString& a, const char* b);
MString operator+(const char* a, const MString& b);
MString operator+(const MString& a, double b);
// As with +=, a char would add its decimal number on the devkit (other numbers go through
// the double form, as there).
template <typename Char, typename = std::enable_if_t<std::is_same_v<Char, char>>>
MString operator+(const MString& a, Char b) = delete;
std::ostream& operator<<(std::ostream& os, const MString& s);
