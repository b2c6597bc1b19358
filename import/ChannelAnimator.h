// Keys the translate and rotate attributes of one imported node from the per-frame records of
// its datagroup.
#pragma once

#include <maya/MDistance.h>
#include <maya/MEulerRotation.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MTime.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "import/ChannelSlot.h"
#include "kfile/KFileContents.h"
#include "kfile/KFileDynamicRecord.h"
#include "kfile/KFileRecord.h"

// Frames per second of the host's UI time unit (24 for film, 30 for NTSC, ...); for the
// clock units the UI units per second (1 for seconds, 1000 for milliseconds, ...).
float uiFramesPerSecond();
// The same in double precision, as key times are computed: a frame f of a datagroup at rate r
// is keyed at uiUnitsPerSecond() / r * f in the UI time unit.
double uiUnitsPerSecond();
// Whether a datagroup rate can time keys: a positive finite number. Other rates would put keys
// at no finite time, and their datagroups get none.
bool isUsableRate(float rate);

// The animation curve that drives the plug. An unconnected plug, or one that only feeds
// others, gets a new curve of the kind the plug needs, connected to it. A plug driven only by
// nodes that are not animation curves gives the null object.
MObject findOrCreateAnimCurve(MPlug plug);

class ChannelAnimator {
  public:
    explicit ChannelAnimator(int32_t datagroupIndex);
    ChannelAnimator(const ChannelAnimator&) = delete;
    ChannelAnimator& operator=(const ChannelAnimator&) = delete;
    virtual ~ChannelAnimator();

    int32_t datagroupIndex() const { return datagroupIndex_; }

    // Feeds the slot from the channel at this position among the datagroup's labels (which is
    // also the value's position in each record). kNoChannelSlot, or any number outside the six
    // slots, changes nothing. Answers the slot.
    ChannelSlot setChannelIndex(ChannelSlot slot, int32_t channelIndex);
    // Gives the slot the curve its keys go to; a curve the slot held before is released.
    // Without a slot the curve is dropped. Answers the slot.
    ChannelSlot setCurve(ChannelSlot slot, std::unique_ptr<MFnAnimCurve> curve);

    // Appends the channel of each slot that has a channel and a curve.
    void appendKeyedChannels(std::vector<int32_t>& channels) const;

    // Millimetres, as stored in K-files, to the host's internal distance unit.
    void toInternalDistance(double& value) const;

    // Keys one frame: translations converted from millimetres, the rotation vector as Euler
    // angles continuous with the last rotation keyed. Values are read as the datagroup's value
    // type; a missing value gets no key (a missing rotation component none of the three). A
    // record of another datagroup, or a rate that is not a positive finite number, writes
    // nothing.
    void addFrameKeys(const kfile::KFileDynamicRecord& record, float fileRate,
                      kfile::KValueType valueType = kfile::kValueDouble);

  private:
    // The slot's value in the record when the slot has a channel and a curve.
    bool readSlot(const kfile::KFileDynamicRecord& record, kfile::KValueType valueType,
                  ChannelSlot slot, double& value) const;
    void addRotationKeys(const kfile::KFileDynamicRecord& record, kfile::KValueType valueType,
                         const MTime& time);

    int32_t datagroupIndex_;
    std::array<int32_t, kChannelSlotCount> channelIndices_;
    std::array<std::unique_ptr<MFnAnimCurve>, kChannelSlotCount> curves_;
    MEulerRotation previousRotation_;
    bool firstFrame_ = true;
    double uiUnitsPerSecond_;  // of the UI time unit when the animator was made
    MDistance::Unit internalUnit_;
};

using ChannelAnimatorList = std::vector<std::unique_ptr<ChannelAnimator>>;

// Keys every frame of one datagroup through the animators of that datagroup, in ascending
// frame order, whatever the order of the records in the file; a frame with several records
// is keyed once, from the first. A datagroup whose values cannot be read (a value size that
// fits neither its type nor doubles) gets no keys and one warning; one whose keyed channels
// hold values that are not finite keys the rest and warns once, with how many it left out.
void keyDatagroupFrames(const kfile::KFileContents& contents, int32_t datagroupIndex,
                        const ChannelAnimatorList& animators);
