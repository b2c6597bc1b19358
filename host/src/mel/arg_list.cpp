#include <maya/MArgList.h>

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

const MArgList::Item* MArgList::at(unsigned int index, MStatus* status) const {
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
    const Item* item = at(index, status);
    if (!item || item->isArray) {
        setStatus(status, MStatus::kInvalidParameter);
        return false;
    }
    const std::string& t = item->text;
    if (t == "true" || t == "on" || t == "yes" || t == "1")
        return true;
    if (t == "false" || t == "off" || t == "no" || t == "0")
        return false;
    setStatus(status, MStatus::kInvalidParameter);
    return false;
}

int MArgList::asInt(unsigned int index, MStatus* status) const {
    const Item* item = at(index, status);
    int value = 0;
    if (!item || item->isArray || !mel::parseInt(item->text, &value)) {
        setStatus(status, MStatus::kInvalidParameter);
        return 0;
    }
    return value;
}

double MArgList::asDouble(unsigned int index, MStatus* status) const {
    const Item* item = at(index, status);
    double value = 0.0;
    if (!item || item->isArray || !mel::parseDouble(item->text, &value)) {
        setStatus(status, MStatus::kInvalidParameter);
        return 0.0;
    }
    return value;
}

MString MArgList::asString(unsigned int index, MStatus* status) const {
    const Item* item = at(index, status);
    if (!item || item->isArray) {
        setStatus(status, MStatus::kInvalidParameter);
        return MString();
    }
    return MString(item->text.c_str());
}

MDistance MArgList::asDistance(unsigned int index, MStatus* status) const {
    const double value = asDouble(index, status);
    return MDistance(value, MDistance::uiUnit());
}

MTime MArgList::asTime(unsigned int index, MStatus* status) const {
    const double value = asDouble(index, status);
    return MTime(value, MTime::uiUnit());
}

MStringArray MArgList::asStringArray(unsigned int& index, MStatus* status) const {
    MStringArray out;
    const Item* item = at(index, status);
    if (!item || !item->isArray) {
        setStatus(status, MStatus::kInvalidParameter);
        return out;
    }
    for (const std::string& s : item->items)
        out.append(MString(s.c_str()));
    ++index;
    return out;
}

unsigned int MArgList::flagIndex(const char* shortFlag, const char* longFlag) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        const Item& item = items_[i];
        if (item.isArray || item.text.size() < 2 || item.text[0] != '-')
            continue;
        const std::string name = item.text.substr(1);
        if ((shortFlag && name == shortFlag) || (longFlag && name == longFlag)) {
            return static_cast<unsigned int>(i);
        }
    }
    return kInvalidArgIndex;
}

MStatus MArgList::get(unsigned int& index, MString& value) const {
    MStatus status;
    const MString v = asString(index, &status);
    if (status) {
        value = v;
        ++index;
    }
    return status;
}

MStatus MArgList::get(unsigned int& index, double& value) const {
    MStatus status;
    const double v = asDouble(index, &status);
    if (status) {
        value = v;
        ++index;
    }
    return status;
}

MStatus MArgList::get(unsigned int& index, int& value) const {
    MStatus status;
    const int v = asInt(index, &status);
    if (status) {
        value = v;
        ++index;
    }
    return status;
}

MStatus MArgList::get(unsigned int& index, bool& value) const {
    MStatus status;
    const bool v = asBool(index, &status);
    if (status) {
        value = v;
        ++index;
    }
    return status;
}

MArgList& MArgList::addArg(const MString& value) {
    Item item;
    item.text = value.asChar();
    items_.push_back(std::move(item));
    return *this;
}

MArgList& MArgList::addArg(double value) {
    return addArg(MString(mel::formatNumber(value).c_str()));
}
MArgList& MArgList::addArg(int value) {
    return addArg(MString(std::to_string(value).c_str()));
}
MArgList& MArgList::addArg(bool value) {
    return addArg(MString(value ? "true" : "false"));
}

MArgList& MArgList::addArg(const MStringArray& value) {
    Item item;
    item.isArray = true;
    for (unsigned int i = 0; i < value.length(); ++i)
        item.items.push_back(value[i].asChar());
    items_.push_back(std::move(item));
    return *this;
}
