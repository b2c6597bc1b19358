#include "import/ChannelAnimator.h"

#include <maya/MGlobal.h>
#include <maya/MPlugArray.h>
#include <maya/MQuaternion.h>
#include <maya/MString.h>
#include <maya/MTime.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "import/Rotation.h"
#include "kfile/KDatagroupSection.h"

using namespace kfile;

namespace {

template <typename Stored>
bool readAs(bool (KFileDynamicRecord::*getter)(int32_t, Stored&) const,
            const KFileDynamicRecord& record, int32_t index, double& value) {
    Stored stored{};
    bool present = (record.*getter)(index, stored);
    value = static_cast<double>(stored);
    return present;
}

// A channel's value as a number, read as the datagroup's value type. False for a missing
// value, a channel outside the record and for the types that hold no numbers.
bool readNumber(const KFileDynamicRecord& record, KValueType valueType, int32_t index,
                double& value) {
    switch (valueType) {
        case kValueShort:
            return readAs(&KFileDynamicRecord::GetShort, record, index, value);
        case kValueLong:
            return readAs(&KFileDynamicRecord::GetLong, record, index, value);
        case kValueFloat:
            return readAs(&KFileDynamicRecord::GetFloat, record, index, value);
        case kValueDouble:
            return readAs(&KFileDynamicRecord::GetDouble, record, index, value);
        case kValueBoolean:
            return readAs(&KFileDynamicRecord::GetBoolean, record, index, value);
        default:
            return false;
    }
}

// A value to key: present and finite. One that is not finite would spoil every later rotation
// through the continuity step.
bool readChannelValue(const KFileDynamicRecord& record, KValueType valueType, int32_t index,
                      double& value) {
    return readNumber(record, valueType, index, value) && std::isfinite(value);
}

void addLinearKey(MFnAnimCurve& curve, const MTime& time, double value) {
    curve.addKeyframe(time, value, MFnAnimCurve::kTangentLinear, MFnAnimCurve::kTangentLinear,
                      NULL);
}

bool isKeyedSlot(ChannelSlot slot) {
    return slot >= 0 && slot < kChannelSlotCount;
}

bool isAnimCurve(const MObject& node) {
    const MFn::Type type = node.apiType();
    return type >= MFn::kAnimCurve && type <= MFn::kAnimCurveUnitlessToUnitless;
}

bool isNumberType(int32_t code) {
    return code >= kValueShort && code <= kValueBoolean;
}

// How a datagroup's values are read: as its value type where the value size is that type's
// width; as doubles, the layout most takes use, where the size is 8 and the type is anything
// but Binary or Text (a Float datagroup of 8-byte values, an unknown code); not at all
// otherwise (false).
bool valueReading(const KFileDatagroupRecord& group, KValueType& readAs) {
    const int32_t type = group.GetValueType();
    if (isNumberType(type) && group.GetValueSize() == KValueTypeWidth(type)) {
        readAs = static_cast<KValueType>(type);
        return true;
    }
    readAs = kValueDouble;
    return group.GetValueSize() == 8 && type != kValueBinary && type != kValueText;
}

void warnUnreadable(const KFileDatagroupRecord& group) {
    const std::string typeName = group.GetValueTypeName();
    const std::string message =
        "Datagroup " + std::to_string(group.GetId()) + " \"" + group.GetName() +
        "\" is not keyed: the import cannot read values of type " +
        (typeName.empty() ? "code " + std::to_string(group.GetValueType()) : typeName) +
        " stored in " + std::to_string(group.GetValueSize()) + " bytes.";
    MGlobal::displayWarning(MString(message.c_str()));
}

// Values of the keyed channels that are present but not finite, which get no keys.
int64_t countNonFinite(const KFileDynamicRecord& record, KValueType valueType,
                       const std::vector<int32_t>& channels) {
    int64_t count = 0;
    for (int32_t channel : channels) {
        double value = 0.0;
        if (readNumber(record, valueType, channel, value) && !std::isfinite(value)) {
            ++count;
        }
    }
    return count;
}

void warnNonFinite(const KFileDatagroupRecord& group, int64_t count) {
    const std::string values =
        count == 1 ? "1 value that is not a finite number; it is"
                   : std::to_string(count) + " values that are not finite numbers; they are";
    const std::string message = "Datagroup " + std::to_string(group.GetId()) + " \"" +
                                group.GetName() + "\" holds " + values + " not keyed.";
    MGlobal::displayWarning(MString(message.c_str()));
}

// The channels that feed keys, each once, in ascending order.
std::vector<int32_t> keyedChannels(const std::vector<ChannelAnimator*>& animators) {
    std::vector<int32_t> channels;
    for (const ChannelAnimator* animator : animators) {
        animator->appendKeyedChannels(channels);
    }
    std::sort(channels.begin(), channels.end());
    channels.erase(std::unique(channels.begin(), channels.end()), channels.end());
    return channels;
}

// Every record of the datagroup in ascending frame order, wherever it lies in the file; of
// records that share a frame, the first in the file.
std::vector<const KFileDynamicRecord*> recordsInFrameOrder(const KFileContents& contents,
                                                           int16_t id) {
    std::vector<const KFileDynamicRecord*> records;
    for (const KFileDynamicRecord& record : contents.GetDynamicRecords(id)) {
        records.push_back(&record);
    }
    auto byFrame = [](const KFileDynamicRecord* a, const KFileDynamicRecord* b) {
        return a->GetFrame() < b->GetFrame();
    };
    auto sameFrame = [](const KFileDynamicRecord* a, const KFileDynamicRecord* b) {
        return a->GetFrame() == b->GetFrame();
    };
    // A take is written in frame order: sorting is then a check, linear in its length.
    if (!std::is_sorted(records.begin(), records.end(), byFrame)) {
        std::stable_sort(records.begin(), records.end(), byFrame);
    }
    records.erase(std::unique(records.begin(), records.end(), sameFrame), records.end());
    return records;
}

}  // namespace

// Kept in double precision for the key times: a float 1/60 would put a key at two minutes
// 1e-7 minutes late.
double uiUnitsPerSecond() {
    return MTime(1.0, MTime::kSeconds).as(MTime::uiUnit());
}

bool isUsableRate(float rate) {
    return std::isfinite(rate) && rate > 0.0f;
}

float uiFramesPerSecond() {
    return static_cast<float>(uiUnitsPerSecond());
}

MObject findOrCreateAnimCurve(MPlug plug) {
    if (plug.isConnected()) {
        MPlugArray sources;
        plug.connectedTo(sources, true, false);
        if (sources.length() > 0) {
            for (unsigned int i = 0; i < sources.length(); ++i) {
                MObject source = sources[i].node();
                if (isAnimCurve(source)) {
                    return source;
                }
            }
            return MObject::kNullObj;
        }
    }
    MFnAnimCurve curve;
    return curve.create(plug);
}

ChannelAnimator::ChannelAnimator(int32_t datagroupIndex)
    : datagroupIndex_(datagroupIndex),
      uiUnitsPerSecond_(uiUnitsPerSecond()),
      internalUnit_(MDistance::internalUnit()) {
    channelIndices_.fill(-1);
}

ChannelAnimator::~ChannelAnimator() = default;

ChannelSlot ChannelAnimator::setChannelIndex(ChannelSlot slot, int32_t channelIndex) {
    if (isKeyedSlot(slot)) {
        channelIndices_[slot] = channelIndex;
    }
    return slot;
}

ChannelSlot ChannelAnimator::setCurve(ChannelSlot slot, std::unique_ptr<MFnAnimCurve> curve) {
    if (isKeyedSlot(slot)) {
        curves_[slot] = std::move(curve);
    }
    return slot;
}

void ChannelAnimator::toInternalDistance(double& value) const {
    value = MDistance(value, MDistance::kMillimeters).as(internalUnit_);
}

void ChannelAnimator::appendKeyedChannels(std::vector<int32_t>& channels) const {
    for (int slot = 0; slot < kChannelSlotCount; ++slot) {
        if (channelIndices_[slot] != -1 && curves_[slot]) {
            channels.push_back(channelIndices_[slot]);
        }
    }
}

bool ChannelAnimator::readSlot(const KFileDynamicRecord& record, KValueType valueType,
                               ChannelSlot slot, double& value) const {
    return channelIndices_[slot] != -1 && curves_[slot] &&
           readChannelValue(record, valueType, channelIndices_[slot], value);
}

void ChannelAnimator::addFrameKeys(const KFileDynamicRecord& record, float fileRate,
                                   KValueType valueType) {
    if (record.GetId() != datagroupIndex_ || !isUsableRate(fileRate)) {
        return;
    }
    // The frame stays a double: as a float, frames beyond 2^24 would share key times.
    const double frame = record.GetFrame();
    const double timeValue = uiUnitsPerSecond_ / fileRate * frame;
    if (!std::isfinite(timeValue)) {
        return;
    }
    const MTime time(timeValue, MTime::uiUnit());
    for (ChannelSlot slot : {kSlotTX, kSlotTY, kSlotTZ}) {
        double value = 0.0;
        if (readSlot(record, valueType, slot, value)) {
            toInternalDistance(value);
            addLinearKey(*curves_[slot], time, value);
        }
    }
    addRotationKeys(record, valueType, time);
}

void ChannelAnimator::addRotationKeys(const KFileDynamicRecord& record, KValueType valueType,
                                      const MTime& time) {
    double rotationVector[3];
    for (ChannelSlot slot : {kSlotRX, kSlotRY, kSlotRZ}) {
        if (!readSlot(record, valueType, slot, rotationVector[slot - kSlotRX])) {
            return;
        }
    }
    double quaternion[4];
    axisAngleToQuaternion(rotationVector, quaternion);
    MEulerRotation rotation;
    rotation = MQuaternion(quaternion);
    // The first rotation is taken as decomposed; each later one is brought next to the one
    // before, so the angles run on through +-pi and past whole turns instead of jumping.
    if (firstFrame_) {
        firstFrame_ = false;
    } else {
        rotation.setToClosestSolution(previousRotation_);
    }
    previousRotation_ = rotation;
    addLinearKey(*curves_[kSlotRX], time, rotation.x);
    addLinearKey(*curves_[kSlotRY], time, rotation.y);
    addLinearKey(*curves_[kSlotRZ], time, rotation.z);
}

void keyDatagroupFrames(const KFileContents& contents, int32_t datagroupIndex,
                        const ChannelAnimatorList& animators) {
    if (datagroupIndex < std::numeric_limits<int16_t>::min() ||
        datagroupIndex > std::numeric_limits<int16_t>::max()) {
        return;  // records carry their datagroup as an int16: none can belong to it
    }
    const auto id = static_cast<int16_t>(datagroupIndex);
    const float rate = contents.GetDatagroupRate(id);
    // Animators of other datagroups would ignore every record of this one.
    std::vector<ChannelAnimator*> keyed;
    for (const auto& animator : animators) {
        if (animator->datagroupIndex() == datagroupIndex) {
            keyed.push_back(animator.get());
        }
    }
    const KFileDatagroupSection* section = contents.GetDatagroupSection();
    const KFileDatagroupRecord* group = section ? section->FindRecord(id) : nullptr;
    if (keyed.empty() || !group || !isUsableRate(rate)) {
        return;
    }
    KValueType valueType = kValueDouble;
    if (!valueReading(*group, valueType)) {
        warnUnreadable(*group);
        return;
    }
    const std::vector<int32_t> channels = keyedChannels(keyed);
    int64_t nonFinite = 0;
    for (const KFileDynamicRecord* record : recordsInFrameOrder(contents, id)) {
        for (ChannelAnimator* animator : keyed) {
            animator->addFrameKeys(*record, rate, valueType);
        }
        nonFinite += countNonFinite(*record, valueType, channels);
    }
    if (nonFinite > 0) {
        warnNonFinite(*group, nonFinite);
    }
}
