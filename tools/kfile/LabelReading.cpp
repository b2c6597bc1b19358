#include "LabelReading.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <set>
#include <tuple>

#include "Numbers.h"
#include "import/ChannelLabels.h"

using namespace kfile;

namespace {

struct Binding {
    size_t channel;
    std::string attribute;
};

// A locator: its group, its name, and for markers, which are always made anew, their position
// in the plan (two subjects Bob1 and Bob2 share DOF locators but not markers).
using NodeKey = std::tuple<std::string, std::string, size_t>;

// What the import binds: per node and slot, the channel that keys it.
struct Bindings {
    std::map<NodeKey, std::map<ChannelSlot, Binding>> nodes;
    std::map<size_t, size_t> takenOver;  // channel -> the later channel that keys its attribute
    std::set<size_t> partialRotation;    // angles of a locator that lacks one of the three
};

// Binds the binding's slot, taking it over from an earlier channel.
void BindSlot(std::map<ChannelSlot, Binding>& slots, ChannelSlot slot, const Binding& binding,
              Bindings& bindings) {
    auto [bound, added] = slots.insert({slot, binding});
    if (!added) {
        bindings.takenOver[bound->second.channel] = binding.channel;
        bound->second = binding;
    }
}

// As the import binds: every label that feeds a locator keys the attribute its remainder
// names; a later label keying the same attribute of the same node takes it over. A locator
// keys a rotation only from all three angles.
Bindings Bind(const std::vector<std::string>& labels) {
    Bindings bindings;
    const std::vector<LocatorPlan> plan = planLocators(labels);
    for (size_t n = 0; n < plan.size(); ++n) {
        const LocatorPlan& locator = plan[n];
        std::map<ChannelSlot, Binding> own;
        for (size_t channel = 0; channel < labels.size(); ++channel) {
            const std::string& label = labels[channel];
            std::string attribute;
            if (!labelFeedsLocator(label, locator)) {
                continue;
            }
            const ChannelSlot slot =
                channelSlotForLabel(label.substr(locator.name.size()), attribute);
            if (slot != kNoChannelSlot) {
                BindSlot(own, slot, Binding{channel, attribute}, bindings);
            }
        }
        const ChannelSlot angles[] = {kSlotRX, kSlotRY, kSlotRZ};
        if (!std::all_of(std::begin(angles), std::end(angles),
                         [&own](ChannelSlot slot) { return own.count(slot) > 0; })) {
            for (ChannelSlot slot : angles) {
                if (own.count(slot)) {
                    bindings.partialRotation.insert(own[slot].channel);
                    own.erase(slot);
                }
            }
        }
        const bool marker = locator.kind == LocatorKind::kMarker;
        auto& slots = bindings.nodes[{locator.group, locator.node, marker ? n + 1 : 0}];
        for (const auto& [slot, binding] : own) {
            BindSlot(slots, slot, binding, bindings);
        }
    }
    return bindings;
}

LabelReading Classify(int32_t channel, const std::string& label) {
    LabelReading reading;
    reading.channel = channel;
    reading.label = label;
    reading.kind = isPositionLabel(label) ? "marker" : isSegmentLabel(label) ? "segment" : "local";
    reading.name = channelBaseName(label);
    std::string local;
    splitSubjectName(reading.name, reading.subject, local);
    const size_t colon = reading.name.find(':');
    if (colon != std::string::npos) {
        reading.writtenSubject = reading.name.substr(0, colon);
    }
    return reading;
}

std::string SkipReason(const LabelReading& reading, const Bindings& bindings) {
    std::string attribute;
    const std::string suffix =
        trimTrailingSpace(trimLeadingSpace(reading.label.substr(reading.name.size())));
    if (suffix.empty()) {
        return "it has no suffix such as <P-X> or <A-Y> to name an attribute";
    }
    if (channelSlotForLabel(suffix, attribute) == kNoChannelSlot) {
        return "its suffix " + suffix + " names no attribute";
    }
    auto takenOver = bindings.takenOver.find(static_cast<size_t>(reading.channel));
    if (takenOver != bindings.takenOver.end()) {
        return "channel " + std::to_string(takenOver->second) + " keys the same attribute";
    }
    if (bindings.partialRotation.count(static_cast<size_t>(reading.channel))) {
        return "the import keys a rotation only from all three angles, and its locator lacks "
               "one";
    }
    return "its name matches an earlier name only when case is ignored; keys are bound by the "
           "exact name";
}

bool IsUsableRate(float rate) {
    return std::isfinite(rate) && rate > 0.0f;
}

template <typename Stored>
ValueKind KindOf(bool (KFileDynamicRecord::*getter)(int32_t, Stored&) const,
                 const KFileDynamicRecord& record, int32_t channel) {
    Stored value{};
    if (!(record.*getter)(channel, value)) {
        return ValueKind::kAbsent;
    }
    return std::isfinite(static_cast<double>(value)) ? ValueKind::kKeyed : ValueKind::kNotFinite;
}

}  // namespace

bool ReadsValues(const KFileDatagroupRecord& group, KValueType& valuesAs) {
    const int32_t type = group.GetValueType();
    const bool number = type >= kValueShort && type <= kValueBoolean;
    if (number && group.GetValueSize() == KValueTypeWidth(type)) {
        valuesAs = static_cast<KValueType>(type);
        return true;
    }
    valuesAs = kValueDouble;
    return group.GetValueSize() == 8 && type != kValueBinary && type != kValueText;
}

std::vector<const KFileDatagroupRecord*> DatagroupRecords(const KFileContents& contents) {
    std::vector<const KFileDatagroupRecord*> records;
    if (const KFileDatagroupSection* section = contents.GetDatagroupSection()) {
        for (const KFileDatagroupRecord& record : section->GetRecords()) {
            records.push_back(&record);
        }
    }
    return records;
}

DatagroupReading ReadDatagroup(const std::vector<const KFileDatagroupRecord*>& records,
                               size_t index) {
    DatagroupReading reading;
    const int16_t id = records[index]->GetId();
    // Datagroup ids are 16-bit: a larger count names no further datagroup.
    const int64_t count = std::min<int64_t>(static_cast<int64_t>(records.size()), INT16_MAX + 1);
    if (id < 0 || id >= count) {
        reading.reason =
            "the import reads the datagroups of ids 0 to " + std::to_string(count - 1) + " only";
        return reading;
    }
    size_t first = index;
    size_t last = index;
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i]->GetId() == id) {
            first = std::min(first, i);
            last = i;
        }
    }
    if (last != index) {
        reading.reason = "the import takes the labels of datagroup id " + std::to_string(id) +
                         " from a later record of that id (record " + std::to_string(last) + ")";
        return reading;
    }
    reading.locators = true;
    const KFileDatagroupRecord& values = *records[first];
    const std::string of =
        first == index ? "its" : "the first record of id " + std::to_string(id) + " gives a";
    if (!IsUsableRate(values.GetRate())) {
        reading.reason = of + " rate " + RateText(values.GetRate()) +
                         ", which is no positive number of frames per second: the import makes "
                         "the locators and keys none of its frames";
    } else if (!ReadsValues(values, reading.valuesAs)) {
        const std::string type = values.GetValueTypeName();
        reading.reason = "the import cannot read values of type " +
                         (type.empty() ? "code " + std::to_string(values.GetValueType()) : type) +
                         " in " + std::to_string(values.GetValueSize()) +
                         "-byte slots: it makes the locators, keys none of them and warns";
    } else {
        reading.keyed = true;
    }
    return reading;
}

ValueKind KindOfValue(const KFileDynamicRecord& record, KValueType valuesAs, int32_t channel) {
    switch (valuesAs) {
        case kValueShort:
            return KindOf(&KFileDynamicRecord::GetShort, record, channel);
        case kValueLong:
            return KindOf(&KFileDynamicRecord::GetLong, record, channel);
        case kValueFloat:
            return KindOf(&KFileDynamicRecord::GetFloat, record, channel);
        case kValueDouble:
            return KindOf(&KFileDynamicRecord::GetDouble, record, channel);
        case kValueBoolean:
            return KindOf(&KFileDynamicRecord::GetBoolean, record, channel);
        default:
            return ValueKind::kAbsent;
    }
}

std::vector<LabelReading> ReadLabels(const std::vector<std::string>& labels,
                                     const DatagroupReading& datagroup) {
    std::vector<LabelReading> readings = ReadLabels(labels);
    for (LabelReading& reading : readings) {
        if (!datagroup.keyed) {
            reading.keys.clear();
            reading.skipReason = datagroup.reason;
        }
    }
    return readings;
}

std::vector<LabelReading> ReadLabels(const std::vector<std::string>& labels) {
    const Bindings bindings = Bind(labels);

    std::vector<LabelReading> readings;
    for (size_t channel = 0; channel < labels.size(); ++channel) {
        readings.push_back(Classify(static_cast<int32_t>(channel), labels[channel]));
    }
    for (const auto& [node, slots] : bindings.nodes) {
        for (const auto& [slot, binding] : slots) {
            readings[binding.channel].keys.push_back(
                {std::get<0>(node), std::get<1>(node), binding.attribute});
        }
    }
    for (LabelReading& reading : readings) {
        if (reading.keys.empty()) {
            reading.skipReason = SkipReason(reading, bindings);
        }
    }
    return readings;
}

std::vector<SubjectGroup> GroupSubjects(const std::vector<LabelReading>& readings) {
    std::vector<SubjectGroup> groups;
    for (const LabelReading& reading : readings) {
        if (reading.subject.empty()) {
            continue;
        }
        const std::string group = nodeName(reading.subject);
        auto found =
            std::find_if(groups.begin(), groups.end(),
                         [&group](const SubjectGroup& known) { return known.group == group; });
        if (found == groups.end()) {
            found = groups.insert(groups.end(), {group, {}});
        }
        std::vector<std::string>& subjects = found->subjects;
        if (std::find(subjects.begin(), subjects.end(), reading.writtenSubject) == subjects.end()) {
            subjects.push_back(reading.writtenSubject);
        }
    }
    return groups;
}
