#include "ExportFrames.h"

#include <cmath>
#include <limits>

using namespace kfile;

namespace {

constexpr double kDegreesPerRadian = 180.0 / 3.14159265358979323846;

// The record of one frame of a datagroup, looked up once for all the channels that read it.
class RecordLookup {
  public:
    explicit RecordLookup(const KFileContents& contents) : contents_(contents) {}

    const KFileDynamicRecord* Find(int16_t datagroup, int64_t frame) {
        if (!found_ || datagroup != datagroup_ || frame != frame_) {
            found_ = true;
            datagroup_ = datagroup;
            frame_ = frame;
            record_ = frame < INT32_MIN || frame > INT32_MAX
                          ? nullptr
                          : contents_.FindDynamicRecord(datagroup, static_cast<int32_t>(frame));
        }
        return record_;
    }

  private:
    const KFileContents& contents_;
    bool found_ = false;
    int16_t datagroup_ = 0;
    int64_t frame_ = 0;
    const KFileDynamicRecord* record_ = nullptr;
};

}  // namespace

bool ReadNumber(const KFileDynamicRecord& record, int32_t valueType, int32_t channel,
                double& value) {
    switch (valueType) {
        case kValueShort: {
            int16_t number = 0;
            const bool present = record.GetShort(channel, number);
            value = number;
            return present;
        }
        case kValueLong: {
            int32_t number = 0;
            const bool present = record.GetLong(channel, number);
            value = number;
            return present;
        }
        case kValueFloat: {
            float number = 0.0f;
            const bool present = record.GetFloat(channel, number);
            value = number;
            return present;
        }
        case kValueDouble:
            return record.GetDouble(channel, value);
        case kValueBoolean: {
            bool flag = false;
            const bool present = record.GetBoolean(channel, flag);
            value = flag ? 1.0 : 0.0;
            return present;
        }
        default:
            return false;
    }
}

ExportFrames::ExportFrames(const KFileContents& contents, const ExportLayout& layout)
    : contents_(contents), layout_(layout), angles_(layout.points.size()) {}

void ExportFrames::ReadPoints(int64_t index, std::vector<PointValue>& points) {
    points.assign(layout_.points.size(), PointValue());
    const int64_t frame = layout_.firstFrame + index;
    RecordLookup lookup(contents_);
    for (size_t p = 0; p < layout_.points.size(); ++p) {
        const PointSource& source = layout_.points[p];
        const KFileDynamicRecord* record = lookup.Find(source.datagroup, frame);
        double values[3];
        bool valid = record != nullptr;
        for (size_t axis = 0; axis < 3 && valid; ++axis) {
            valid = ReadNumber(*record, source.valueType, source.channels[axis], values[axis]) &&
                    std::isfinite(values[axis]);
        }
        if (!valid) {
            continue;
        }
        if (source.kind == PointKind::kAngles) {
            double radians[3];
            angles_[p].Next(values, radians);
            for (size_t axis = 0; axis < 3; ++axis) {
                values[axis] = radians[axis] * kDegreesPerRadian;
            }
        }
        for (size_t axis = 0; axis < 3; ++axis) {
            points[p].xyz[axis] = static_cast<float>(values[axis]);
        }
        points[p].valid = true;
    }
}

void ExportFrames::ReadAnalog(int64_t index, std::vector<float>& samples) const {
    const size_t channels = layout_.analogs.size();
    samples.assign(channels * static_cast<size_t>(layout_.samplesPerFrame),
                   std::numeric_limits<float>::quiet_NaN());
    const int64_t firstSample = (layout_.firstFrame + index) * layout_.samplesPerFrame;
    RecordLookup lookup(contents_);
    for (int32_t s = 0; s < layout_.samplesPerFrame; ++s) {
        for (size_t c = 0; c < channels; ++c) {
            const AnalogSource& source = layout_.analogs[c];
            const KFileDynamicRecord* record = lookup.Find(source.datagroup, firstSample + s);
            double value = 0.0;
            if (record && ReadNumber(*record, source.valueType, source.channel, value)) {
                samples[static_cast<size_t>(s) * channels + c] = static_cast<float>(value);
            }
        }
    }
}
