#include <maya/MStringArray.h>

#include <cstdio>
#include <cstdlib>
#include <ostream>

MStringArray::MStringArray(unsigned int initialSize, const MString& initialValue)
    : items_(initialSize, initialValue) {}

MStringArray::MStringArray(const MString strings[], unsigned int count) {
    if (strings)
        items_.assign(strings, strings + count);
}

namespace {

// The host does not check indices; a stand-in that silently read out of bounds would hide
// the caller's fault, so it stops loudly instead.
[[noreturn]] void outOfRange(unsigned int index, size_t length) {
    std::fprintf(stderr, "MStringArray: index %u out of range (length %zu)\n", index, length);
    std::abort();
}

}  // namespace

MString& MStringArray::operator[](unsigned int index) {
    if (index >= items_.size())
        outOfRange(index, items_.size());
    return items_[index];
}

MString MStringArray::operator[](unsigned int index) const {
    if (index >= items_.size())
        outOfRange(index, items_.size());
    return items_[index];
}

MStatus MStringArray::set(const MString& element, unsigned int index) {
    if (index >= items_.size())
        return MStatus::kInvalidParameter;
    items_[index] = element;
    return MStatus::kSuccess;
}

MStatus MStringArray::setLength(unsigned int length) {
    items_.resize(length);
    return MStatus::kSuccess;
}

MStatus MStringArray::remove(unsigned int index) {
    if (index >= items_.size())
        return MStatus::kInvalidParameter;
    items_.erase(items_.begin() + index);
    return MStatus::kSuccess;
}

MStatus MStringArray::insert(const MString& element, unsigned int index) {
    if (index > items_.size())
        return MStatus::kInvalidParameter;
    items_.insert(items_.begin() + index, element);
    return MStatus::kSuccess;
}

MStatus MStringArray::append(const MString& element) {
    items_.push_back(element);
    return MStatus::kSuccess;
}

MStatus MStringArray::clear() {
    items_.clear();
    return MStatus::kSuccess;
}

std::ostream& operator<<(std::ostream& os, const MStringArray& array) {
    os << '[';
    for (unsigned int i = 0; i < array.length(); ++i) {
        if (i)
            os << ", ";
        os << array[i];
    }
    return os << ']';
}
