#include "LabelReading.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "import/ChannelLabels.h"

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
};

// As the import binds: every label that feeds a locator keys the attribute its remainder
// names; a later label keying the same attribute of the same node takes it over.
Bindings Bind(const std::vector<std::string>& labels) {
    Bindings bindings;
    const std::vector<LocatorPlan> plan = planLocators(labels);
    for (size_t n = 0; n < plan.size(); ++n) {
        const LocatorPlan& locator = plan[n];
        const bool marker = locator.kind == LocatorKind::kMarker;
        auto& slots = bindings.nodes[{locator.group, locator.node, marker ? n + 1 : 0}];
        for (size_t channel = 0; channel < labels.size(); ++channel) {
            const std::string& label = labels[channel];
            std::string attribute;
            if (!labelFeedsLocator(label, locator)) {
                continue;
            }
            const ChannelSlot slot =
                channelSlotForLabel(label.substr(locator.name.size()), attribute);
            if (slot == kNoChannelSlot) {
                continue;
            }
            auto [bound, added] = slots.insert({slot, Binding{channel, attribute}});
            if (!added) {
                bindings.takenOver[bound->second.channel] = channel;
                bound->second.channel = channel;
            }
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
    if (channelSlotForLabel(reading.label.substr(reading.name.size()), attribute) ==
        kNoChannelSlot) {
        return "its suffix names no attribute";
    }
    auto takenOver = bindings.takenOver.find(static_cast<size_t>(reading.channel));
    if (takenOver != bindings.takenOver.end()) {
        return "channel " + std::to_string(takenOver->second) + " keys the same attribute";
    }
    return "its name matches an earlier name only when case is ignored; keys are bound by the "
           "exact name";
}

}  // namespace

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
