#include "TakeReading.h"

#include <algorithm>
#include <charconv>

#include "Output.h"

using namespace kfile;

std::unique_ptr<KFileContents> ReadTakeOrComplain(const std::string& fileName, Console& console,
                                                  KReadReport* report) {
    const std::string unreadable = WhyUnreadable(fileName);
    if (!unreadable.empty()) {
        ReportError(console, {fileName, "cannot open: " + unreadable, std::nullopt});
        return nullptr;
    }
    KReadResult take = ReadTake(fileName);
    if (take.report.error == KReadError::kCannotOpen) {
        ReportError(console, {fileName, "cannot open: " + SystemReason(take.report.systemError),
                              std::nullopt});
    } else if (!take.contents) {
        ReportError(console,
                    {fileName, "not a complete K-file: " + Latin1ToUtf8(take.report.Describe()),
                     take.report.errorOffset});
    }
    if (report) {
        *report = std::move(take.report);
    }
    return std::move(take.contents);
}

namespace {

template <typename Number>
std::string ShortestText(Number value) {
    char buffer[64];
    const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace

std::string NumberText(double value) {
    return ShortestText(value);
}
std::string NumberText(float value) {
    return ShortestText(value);
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

bool HasValue(const KFileDynamicRecord& record, int32_t valueType, int32_t channel) {
    switch (valueType) {
        case kValueShort: {
            int16_t value = 0;
            return record.GetShort(channel, value);
        }
        case kValueLong: {
            int32_t value = 0;
            return record.GetLong(channel, value);
        }
        case kValueFloat: {
            float value = 0.0f;
            return record.GetFloat(channel, value);
        }
        case kValueDouble: {
            double value = 0.0;
            return record.GetDouble(channel, value);
        }
        case kValueBoolean: {
            bool value = false;
            return record.GetBoolean(channel, value);
        }
        default:
            return false;
    }
}

DatagroupFrames CountFrames(const KFileContents& contents, const KFileDatagroupRecord& group) {
    DatagroupFrames frames;
    const int32_t channels = group.GetLabelCount();
    frames.missing.assign(static_cast<size_t>(channels), 0);
    const int64_t expectedBytes = int64_t{channels} * group.GetValueSize();
    const int32_t valueType = group.GetValueType();
    const bool numeric = IsNumericValueType(valueType);
    for (const KFileDynamicRecord& record : contents.GetDynamicRecords(group.GetId())) {
        const int32_t frame = record.GetFrame();
        frames.firstFrame = frames.records == 0 ? frame : std::min(frames.firstFrame, frame);
        frames.lastFrame = frames.records == 0 ? frame : std::max(frames.lastFrame, frame);
        ++frames.records;
        frames.incomplete += record.GetValueBytes() == expectedBytes ? 0 : 1;
        for (int32_t c = 0; numeric && c < channels; ++c) {
            frames.missing[static_cast<size_t>(c)] += HasValue(record, valueType, c) ? 0 : 1;
        }
    }
    return frames;
}

std::string Counted(int64_t count, const std::string& thing) {
    return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
}

std::string DroppedRecordText(uint64_t incompleteBytes) {
    return "the file ends inside a record, whose " +
           Counted(static_cast<int64_t>(incompleteBytes), "byte") +
           (incompleteBytes == 1 ? " was" : " were") + " dropped (see kfile validate)";
}
