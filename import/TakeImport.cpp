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
#include <string>

#include "import/ChannelAnimator.h"
#include "import/ChannelLabels.h"
#include "import/Hierarchy.h"

void widenPlaybackRange(const kfile::KFileContents& take) {
    const float rate = take.GetDatagroupCount() == 0 ? 1.0f : take.GetDatagroupRate(0);
    if (!std::isfinite(rate) || rate <= 0.0f)
        return;
    const double factor = static_cast<double>(uiFramesPerSecond()) / rate;
    const MTime end(take.GetLastFrame() * factor, MTime::uiUnit());
    if (MAnimControl::maxTime() < end)
        MAnimControl::setMinMaxTime(MTime(), end);
}

namespace {

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
