#include <maya/MArgList.h>
#include <maya/MDistance.h>
#include <maya/MTime.h>

#include <cstring>

#include "mel/command.h"
#include "mel/results.h"

const unsigned int MArgList::kInvalidArgIndex = 0xffffffffu;

namespace {

void setStatus(MStatus* status, MStatus::MStatusCode code) {
    if (status)
        *status = code;
}

}  // namespace

const std::string* MArgList::at(unsigned int index, MStatus* status) const {
    if (index >= items_.size()) {
        setStatus(status, MStatus::kInvalidParameter);
        return nullptr;
    }
    setStatus(status, MStatus::kSuccess);
    return &items_[index];
}

unsigned int MArgList::length(MStatus* status) const {
    setStatus(status, MStatus::kSuccess);
    return static_cast<unsigned int>(items_.size());
}

bool MArgList::asBool(unsigned int index, MStatus* status) const {
    const std::string* item = at(index, status);
    if (!item)
        return false;
    const std::string& t = *item;
    if (t == "true" || t == "on" || t == "yes" || t == "1")
        return true;
    if (t == "false" || t == "off" || t == "no" || t == "0")
        return false;
    setStatus(status, MStatus::kInvalidParameter);
    return false;
}

int MArgList::asInt(unsigned int index, MStatus* status) const {
    const std::string* item = at(index, status);
    int value = 0;
    if (!item || !mel::parseInt(*item, &value)) {
        setStatus(status, MStatus::kInvalidParameter);
        return 0;
    }
    return value;
}

double MArgList::asDouble(unsigned int index, MStatus* status) const {
    const std::string* item = at(index, status);
    double value = 0.0;
    if (!item || !mel::parseDouble(*item, &value)) {
        setStatus(status, MStatus::kInvalidParameter);
        return 0.0;
    }
    return value;
}

MString MArgList::asString(unsigned int index, MStatus* status) const {
    const std::string* item = at(index, status);
    return item ? MString(item->c_str()) : MString();
}

MDistance MArgList::asDistance(unsigned int index, MStatus* status) const {
    const double value = asDouble(index, status);
    return MDistance(value, MDistance::uiUnit());
}

MTime MArgList::asTime(unsigned int index, MStatus* status) const {
    const double value = asDouble(index, status);
    return MTime(value, MTime::uiUnit());
}

unsigned int MArgList::flagIndex(const char* shortFlag, const char* longFlag) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        const std::string& item = items_[i];
        if (item.size() < 2 || item[0] != '-')
            continue;
        const std::string name = item.substr(1);
        if ((shortFlag && name == shortFlag) || (longFlag && name == longFlag)) {
            return static_cast<unsigned int>(i);
        }
    }
    return kInvalidArgIndex;
}

namespace {

// The get forms: the argument at index when it converts, value left alone otherwise.
template <typename Value, typename Convert>
MStatus getArg(const MArgList& args, unsigned int index, Value& value, Convert convert) {
    MStatus status;
    const Value converted = (args.*convert)(index, &status);
    if (status)
        value = converted;
    return status;
}

}  // namespace

MStatus MArgList::get(unsigned int index, MString& value) const {
    return getArg(*this, index, value, &MArgList::asString);
}
MStatus MArgList::get(unsigned int index, double& value) const {
    return getArg(*this, index, value, &MArgList::asDouble);
}
MStatus MArgList::get(unsigned int index, int& value) const {
    return getArg(*this, index, value, &MArgList::asInt);
}
MStatus MArgList::get(unsigned int index, bool& value) const {
    return getArg(*this, index, value, &MArgList::asBool);
}

MStatus MArgList::addArg(const MString& value) {
    items_.push_back(value.asChar());
    return MStatus::kSuccess;
}
MStatus MArgList::addArg(double value) {
    return addArg(MString(mel::formatNumber(value).c_str()));
}
MStatus MArgList::addArg(int value) {
    return addArg(MString(std::to_string(value).c_str()));
}
MStatus MArgList::addArg(bool value) {
    return addArg(MString(value ? "true" : "false"));
}
