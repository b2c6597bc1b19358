#include "TakeReading.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "Output.h"

using namespace kfile;

FileError ReadFailure(const std::string& fileName, const KReadReport& report) {
    switch (report.error) {
        case KReadError::kCannotOpen:
            return {fileName, "cannot open: " + SystemReason(report.systemError), std::nullopt};
        case KReadError::kNoMemory:
            return {fileName, "cannot read: " + report.Describe(), report.errorOffset};
        default:
            return {fileName, "not a complete K-file: " + Latin1ToUtf8(report.Describe()),
                    report.errorOffset};
    }
}

std::unique_ptr<KFileContents> ReadTakeOrComplain(const std::string& fileName, Console& console,
                                                  KReadReport* report) {
    const std::string unreadable = WhyUnreadable(fileName);
    if (!unreadable.empty()) {
        ReportError(console, {fileName, "cannot open: " + unreadable, std::nullopt});
        return nullptr;
    }
    KReadResult take = ReadTake(fileName);
    if (!take.contents) {
        ReportError(console, ReadFailure(fileName, take.report));
    }
    if (report) {
        *report = std::move(take.report);
    }
    return std::move(take.contents);
}

bool IsNumericValueType(int32_t valueType) {
    return valueType >= kValueShort && valueType <= kValueBoolean;
}

bool ValueText(const KFileDynamicRecord& record, int32_t valueType, int32_t channel,
               std::string& text) {
    bool present = false;
    switch (valueType) {
        case kValueShort: {
            int16_t value = 0;
            present = record.GetShort(channel, value);
            text = std::to_string(value);
            break;
        }
        case kValueLong: {
            int32_t value = 0;
            present = record.GetLong(channel, value);
            text = std::to_string(value);
            break;
        }
        case kValueFloat: {
            float value = 0.0f;
            present = record.GetFloat(channel, value);
            text = NumberText(value);
            break;
        }
        case kValueDouble: {
            double value = 0.0;
            present = record.GetDouble(channel, value);
            text = NumberText(value);
            break;
        }
        case kValueBoolean: {
            bool value = false;
            present = record.GetBoolean(channel, value);
            text = value ? "1" : "0";
            break;
        }
        default:
            break;
    }
    if (!present) {
        text.clear();
    }
    return present;
}

namespace {

// Whether the bits of a value of type Number are infinity or not a number.
template <typename Number, typename Bits>
bool NotFiniteBits(Bits bits) {
    if constexpr (std::is_floating_point_v<Number>) {
        Number value;
        std::memcpy(&value, &bits, sizeof value);
        return !std::isfinite(value);
    }
    return false;
}

// Adds 1 to missing[c] for each channel c whose value is the marker or lies outside the record,
// and to notFinite[c] for each value of a real type that is not finite, comparing raw bytes: a
// take of 100,000 frames has tens of millions of values to look at.
template <typename Number, typename Bits>
void CountMissingOf(const KFileDynamicRecord& record, Bits marker, DatagroupFrames& frames) {
    std::vector<int64_t>& missing = frames.missing;
    const auto channels = static_cast<int32_t>(missing.size());
    const int32_t width = sizeof(Bits);
    int32_t held = std::min(channels, record.GetValueBytes() / width);
    held = held > 0 && record.HasChannel(held - 1, width) ? held : 0;
    const uint8_t* values = record.GetData() + KFileDynamicRecord::kHeaderSize;
    for (int32_t c = 0; c < held; ++c) {
        Bits bits;
        std::memcpy(&bits, values + size_t(c) * width, width);
        missing[size_t(c)] += bits == marker ? 1 : 0;
        frames.notFinite[size_t(c)] += bits != marker && NotFiniteBits<Number>(bits) ? 1 : 0;
    }
    for (int32_t c = held; c < channels; ++c) {
        ++missing[size_t(c)];
    }
}

void CountMissing(const KFileDynamicRecord& record, int32_t valueType, DatagroupFrames& frames) {
    switch (valueType) {
        case kValueShort:
            return CountMissingOf<int16_t>(record, KFileDynamicRecord::kMissingShort, frames);
        case kValueLong:
            return CountMissingOf<int32_t>(record, KFileDynamicRecord::kMissingLong, frames);
        case kValueFloat:
            return CountMissingOf<float>(record, KFileDynamicRecord::kMissingFloat, frames);
        case kValueDouble:
            return CountMissingOf<double>(record, KFileDynamicRecord::kMissingDouble, frames);
        case kValueBoolean:
            return CountMissingOf<bool>(record, KFileDynamicRecord::kMissingBoolean, frames);
        default:
            return;
    }
}

}  // namespace

DatagroupFrames CountFrames(const KFileContents& contents, const KFileDatagroupRecord& group) {
    DatagroupFrames frames;
    const int32_t channels = group.GetLabelCount();
    frames.missing.assign(static_cast<size_t>(channels), 0);
    frames.notFinite.assign(static_cast<size_t>(channels), 0);
    const int64_t expectedBytes = int64_t{channels} * group.GetValueSize();
    for (const KFileDynamicRecord& record : contents.GetDynamicRecords(group.GetId())) {
        const int32_t frame = record.GetFrame();
        frames.firstFrame = frames.records == 0 ? frame : std::min(frames.firstFrame, frame);
        frames.lastFrame = frames.records == 0 ? frame : std::max(frames.lastFrame, frame);
        ++frames.records;
        frames.incomplete += record.GetValueBytes() == expectedBytes ? 0 : 1;
        CountMissing(record, group.GetValueType(), frames);
    }
    return frames;
}

std::string DroppedRecordText(uint64_t incompleteBytes) {
    return "the file ends inside a record, whose " +
           Counted(static_cast<int64_t>(incompleteBytes), "byte") +
           (incompleteBytes == 1 ? " was" : " were") + " dropped (see kfile validate)";
}

int TellDroppedRecord(Console& console, const std::string& fileName, const KReadReport& report) {
    if (report.incompleteBytes == 0) {
        return 0;
    }
    console.err << "kfile: '" << fileName << "': " << DroppedRecordText(report.incompleteBytes)
                << "\n";
    return 1;
}
