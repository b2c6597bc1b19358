#include "import/TakeImport.h"

#include <maya/MAnimControl.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MFnDagNode.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MString.h>
#include <maya/MTime.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "import/ChannelAnimator.h"
#include "import/ChannelLabels.h"
#include "import/Hierarchy.h"

namespace {

// The earliest and latest key time of an import, in the UI time unit; infinite while unknown.
struct KeySpan {
    double first = std::numeric_limits<double>::infinity();
    double last = -std::numeric_limits<double>::infinity();
};

// Every record is keyed at its frame at its own datagroup's rate, when that rate is usable.
// A take without datagroups keys nothing; its length counts at one frame per second, up to
// its last frame.
KeySpan keySpan(const kfile::KFileContents& take) {
    KeySpan span;
    const double unitsPerSecond = uiUnitsPerSecond();
    const int32_t count = std::min<int32_t>(take.GetDatagroupCount(), INT16_MAX + 1);
    if (count == 0) {
        span.last = take.GetLastFrame() * unitsPerSecond;
        return span;
    }
    std::vector<float> rates(static_cast<size_t>(count));
    for (int32_t id = 0; id < count; ++id)
        rates[static_cast<size_t>(id)] = take.GetDatagroupRate(static_cast<int16_t>(id));
    for (const kfile::KFileDynamicRecord& record : take.GetDynamicRecords()) {
        const int16_t id = record.GetId();
        if (id < 0 || id >= count || !isUsableRate(rates[static_cast<size_t>(id)]))
            continue;
        // As the animators time their keys.
        const double time = unitsPerSecond / rates[static_cast<size_t>(id)] * record.GetFrame();
        span.first = std::min(span.first, time);
        span.last = std::max(span.last, time);
    }
    return span;
}

// Ties the label's channel to the slot its suffix names and to the curve of that attribute.
void bindChannel(ChannelAnimator& animator, const MObject& node, const std::string& suffix,
                 int32_t channel) {
    std::string attribute;
    const ChannelSlot slot = channelSlotForLabel(suffix, attribute);
    if (slot == kNoChannelSlot)
        return;
    animator.setChannelIndex(slot, channel);
#if MAYA_API_VERSION >= 20190000
    // Any plug of the attribute will do: its curve is found or made through the connection.
    MPlug plug = MFnDagNode(node).findPlug(MString(attribute.c_str()), false);
#else
    MPlug plug = MFnDagNode(node).findPlug(MString(attribute.c_str()));
#endif
    const MObject curve = findOrCreateAnimCurve(plug);
    animator.setCurve(slot, std::make_unique<MFnAnimCurve>(curve));
}

// One animator for the locator's node, fed by the labels that feed the locator.
std::unique_ptr<ChannelAnimator> animateLocator(int16_t group, const LocatorPlan& locator,
                                                const std::vector<std::string>& labels,
                                                ImportedDofNodes& imported) {
    const MObject node = locator.kind == LocatorKind::kMarker
                             ? createMarkerNode(locator.group, locator.node)
                             : findOrCreateDofNode(locator.group, locator.node, imported);
    auto animator = std::make_unique<ChannelAnimator>(group);
    for (size_t channel = 0; channel < labels.size(); ++channel) {
        const std::string& label = labels[channel];
        if (labelFeedsLocator(label, locator))
            bindChannel(*animator, node, label.substr(locator.name.size()),
                        static_cast<int32_t>(channel));
    }
    return animator;
}

}  // namespace

void widenPlaybackRange(const kfile::KFileContents& take) {
    const KeySpan keys = keySpan(take);
    MTime start = MAnimControl::minTime();
    MTime end = MAnimControl::maxTime();
    bool changed = false;
    if (std::isfinite(keys.last) && end < MTime(keys.last, MTime::uiUnit())) {
        start = MTime();
        end = MTime(keys.last, MTime::uiUnit());
        changed = true;
    }
    if (std::isfinite(keys.first) && MTime(keys.first, MTime::uiUnit()) < start) {
        start = MTime(keys.first, MTime::uiUnit());
        changed = true;
    }
    if (changed)
        MAnimControl::setMinMaxTime(start, end);
}

void setUpDatagroup(const kfile::KFileContents& take, int16_t group, ChannelAnimatorList& animators,
                    ImportedDofNodes& imported) {
    std::vector<std::string> labels;
    if (take.GetDatagroupLabels(group, labels)) {
        for (const LocatorPlan& locator : planLocators(labels))
            animators.push_back(animateLocator(group, locator, labels, imported));
    }
}

void importTake(const kfile::KFileContents& take, ChannelAnimatorList& animators) {
    widenPlaybackRange(take);
    // Datagroup ids are 16-bit: a larger count names no further datagroup.
    const int32_t count = std::min<int32_t>(take.GetDatagroupCount(), INT16_MAX + 1);
    ImportedDofNodes imported;
    for (int32_t group = 0; group < count; ++group) {
        setUpDatagroup(take, static_cast<int16_t>(group), animators, imported);
        keyDatagroupFrames(take, group, animators);
    }
}
