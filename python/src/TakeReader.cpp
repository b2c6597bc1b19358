#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <unordered_map>
#include <vector>

#include "BitCast.h"
#include "Latin1.h"
#include "Take.h"
#include "kfile/kfile.h"

namespace py = pybind11;
using namespace kfile;

namespace kfile_python {
namespace {

// What the arrays need of one dynamic record, taken in one pass over the records: each record is
// a heap object of its own, and visiting them once instead of once per step saves a cache miss
// per record and step.
struct Row {
    int32_t frame;
    int32_t valueBytes;
    const uint8_t* values;  // the record's value block
};
using Rows = std::vector<Row>;

// The rows of every datagroup id, and the bytes that the records hold in all.
struct RecordIndex {
    std::unordered_map<int16_t, Rows> rows;
    uint64_t bytes = 0;
    std::vector<int32_t> order;  // (datagroup id, frame) of each record in file order
};

constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "values are decoded in place, which needs a little-endian machine");

// Decodes the channels of every record into one row each: the value as a double, or NaN for
// the type's missing-value marker and for channels beyond the record's value block. The values
// are taken straight from each record's bytes (channel c at kHeaderSize + c * width) instead of
// through a getter call per value, which would cost more than the library's whole read; the
// answers are the getters' (the tests compare the two).
template <typename Bits, typename Decode>
void FillValues(const Rows& rows, int32_t channels, Bits marker, Decode decode, double* out) {
    constexpr int32_t width = sizeof(Bits);
    for (const Row& row : rows) {
        const int32_t present = std::clamp(row.valueBytes / width, 0, channels);
        for (int32_t channel = 0; channel < present; ++channel) {
            Bits bits;
            std::memcpy(&bits, row.values + channel * width, width);
            *out++ = bits == marker ? kMissing : decode(bits);
        }
        out = std::fill_n(out, channels - present, kMissing);
    }
}

// Value types without a marker (Binary, Text, unnamed codes) have no reading as numbers: NaN.
void FillValues(int32_t valueType, const Rows& rows, int32_t channels, double* out) {
    switch (valueType) {
        case kValueShort:
            return FillValues<uint16_t>(
                rows, channels, KFileDynamicRecord::kMissingShort,
                [](uint16_t bits) { return BitCast<int16_t>(bits); }, out);
        case kValueLong:
            return FillValues<uint32_t>(
                rows, channels, KFileDynamicRecord::kMissingLong,
                [](uint32_t bits) { return BitCast<int32_t>(bits); }, out);
        case kValueFloat:
            return FillValues<uint32_t>(
                rows, channels, KFileDynamicRecord::kMissingFloat,
                [](uint32_t bits) { return BitCast<float>(bits); }, out);
        case kValueDouble:
            return FillValues<uint64_t>(
                rows, channels, KFileDynamicRecord::kMissingDouble,
                [](uint64_t bits) { return BitCast<double>(bits); }, out);
        case kValueBoolean:
            return FillValues<uint8_t>(
                rows, channels, KFileDynamicRecord::kMissingBoolean,
                [](uint8_t bits) { return bits != 0 ? 1.0 : 0.0; }, out);
        default:
            std::fill_n(out, rows.size() * static_cast<size_t>(channels), kMissing);
    }
}

// The rows of every datagroup id, in file order. A record too short to hold its frame number
// belongs to no frame and is left out.
RecordIndex IndexRecords(const KFileContents& contents) {
    RecordIndex index;
    for (const KFileDynamicRecord& record : contents.GetDynamicRecords()) {
        index.bytes += static_cast<uint64_t>(std::max<int16_t>(0, record.GetLength()));
        if (record.GetData() && record.GetLength() >= KFileDynamicRecord::kHeaderSize) {
            index.rows[record.GetId()].push_back(
                {record.GetFrame(), record.GetValueBytes(),
                 record.GetData() + KFileDynamicRecord::kHeaderSize});
            index.order.insert(index.order.end(), {record.GetId(), record.GetFrame()});
        }
    }
    return index;
}

// One row per frame, in ascending order; of several records of one frame the first in file
// order stands, as it does for the library's frame lookup.
Rows RowsByFrame(Rows rows) {
    auto byFrame = [](const Row& a, const Row& b) { return a.frame < b.frame; };
    if (!std::is_sorted(rows.begin(), rows.end(), byFrame)) {
        std::stable_sort(rows.begin(), rows.end(), byFrame);
    }
    auto sameFrame = [](const Row& a, const Row& b) { return a.frame == b.frame; };
    rows.erase(std::unique(rows.begin(), rows.end(), sameFrame), rows.end());
    return rows;
}

py::list Labels(const KFileDatagroupRecord& group) {
    py::list labels;
    for (const std::string& label : group.GetLabels()) {
        labels.append(Latin1ToPython(label));
    }
    return labels;
}

py::tuple DatagroupToPython(const KFileDatagroupRecord& group, const Rows& rows) {
    const int32_t channels = group.GetLabelCount();
    py::array_t<int32_t> frames(static_cast<py::ssize_t>(rows.size()));
    std::transform(rows.begin(), rows.end(), frames.mutable_data(),
                   [](const Row& row) { return row.frame; });
    py::array_t<double> values({static_cast<py::ssize_t>(rows.size()), py::ssize_t{channels}});
    FillValues(group.GetValueType(), rows, channels, values.mutable_data());
    return py::make_tuple(group.GetId(), Latin1ToPython(group.GetName()), group.GetValueType(),
                          group.GetRate(), Labels(group), frames, values);
}

// A frames x channels array costs at least a byte per cell in the records of a consistent take,
// where every record belongs to one datagroup. A take whose datagroups claim more cells than its
// records hold bytes is hostile: refusing it keeps a small file from asking for gigabytes.
bool TakeFromBudget(const KFileDatagroupRecord& group, const Rows& rows, uint64_t& budget) {
    const uint64_t cells =
        static_cast<uint64_t>(rows.size()) * static_cast<uint64_t>(group.GetLabelCount());
    if (cells > budget) {
        return false;
    }
    budget -= cells;
    return true;
}

template <typename T, T (KFileParameterRecord::*Get)(int32_t) const>
py::array ParameterArray(const KFileParameterRecord& record, size_t width) {
    py::array_t<T> values(static_cast<py::ssize_t>(record.GetValues().size() / width));
    T* out = values.mutable_data();
    for (py::ssize_t i = 0; i < values.size(); ++i) {
        out[i] = (record.*Get)(static_cast<int32_t>(i));
    }
    return std::move(values);
}

py::list ParameterTexts(const KFileParameterRecord& record) {
    py::list texts;
    const int32_t width = record.GetDimensions().empty() ? 1 : record.GetDimensions().front();
    const size_t slots = width > 0 ? record.GetValues().size() / static_cast<size_t>(width) : 0;
    for (size_t slot = 0; slot < slots; ++slot) {
        texts.append(Latin1ToPython(record.GetText(static_cast<int32_t>(slot))));
    }
    return texts;
}

// The values that are present, as many whole elements as the value block holds.
py::object ParameterValues(const KFileParameterRecord& record) {
    switch (record.GetType()) {
        case kValueText:
            return ParameterTexts(record);
        case kValueShort:
            return ParameterArray<int16_t, &KFileParameterRecord::GetShort>(record, 2);
        case kValueLong:
            return ParameterArray<int32_t, &KFileParameterRecord::GetLong>(record, 4);
        case kValueFloat:
            return ParameterArray<float, &KFileParameterRecord::GetFloat>(record, 4);
        case kValueDouble:
            return ParameterArray<double, &KFileParameterRecord::GetDouble>(record, 8);
        case kValueBoolean:
            return ParameterArray<bool, &KFileParameterRecord::GetBoolean>(record, 1);
        default:  // Binary, and codes without a type of their own: the bytes as they lie
            return ParameterArray<uint8_t, &KFileParameterRecord::GetByte>(record, 1);
    }
}

py::list ParametersToPython(const KFileContents& contents) {
    py::list parameters;
    if (const KFileParameterSection* section = contents.GetParameterSection()) {
        for (const KFileParameterRecord& record : section->GetRecords()) {
            parameters.append(py::make_tuple(Latin1ToPython(record.GetName()), record.GetType(),
                                             py::tuple(py::cast(record.GetDimensions())),
                                             ParameterValues(record)));
        }
    }
    return parameters;
}

const char* ReasonName(KReadError error) {
    switch (error) {
        case KReadError::kNone:
            return "none";
        case KReadError::kCannotOpen:
            return "cannot_open";
        case KReadError::kNotOpen:
            return "not_open";
        case KReadError::kTooShort:
            return "too_short";
        case KReadError::kBadMagic:
            return "bad_magic";
        case KReadError::kNoSectionTerminator:
            return "no_section_terminator";
        case KReadError::kSectionCutShort:
            return "section_cut_short";
        case KReadError::kCannotSeek:
            return "cannot_seek";
        case KReadError::kNoMemory:
            return "no_memory";
    }
    return "unknown";
}

py::tuple Failure(const char* reason, const std::string& message, uint64_t offset,
                  const std::string& section) {
    // The message quotes the section's name, which may hold any bytes, as the name does.
    return py::make_tuple(reason, Latin1ToPython(message), offset, Latin1ToPython(section));
}

py::list Sections(const KReadReport& report) {
    py::list sections;
    for (const KSectionReport& section : report.sections) {
        sections.append(py::make_tuple(Latin1ToPython(section.name), section.offset, section.size,
                                       section.kept));
    }
    return sections;
}

// (name, offset, size, body, index) of each unknown section the contents kept, with its index
// among the kept sections, which are in file order as the report's kept entries are.
py::list UnknownSections(const KFileContents& contents, const KReadReport& report) {
    py::list unknown;
    int32_t index = 0;
    for (const KSectionReport& section : report.sections) {
        if (!section.kept) {
            continue;
        }
        const auto* kept = dynamic_cast<const KFileUnknownSection*>(contents.GetSection(index));
        if (kept) {
            const auto* body = reinterpret_cast<const char*>(kept->GetBody());
            unknown.append(
                py::make_tuple(Latin1ToPython(section.name), section.offset, section.size,
                               py::bytes(body, static_cast<size_t>(section.size)), index));
        }
        ++index;
    }
    return unknown;
}

// Where the section of this name that the contents kept starts.
uint64_t SectionOffset(const KReadReport& report, const std::string& name) {
    for (const KSectionReport& section : report.sections) {
        if (section.kept && section.name == name) {
            return section.offset;
        }
    }
    return 0;
}

// Sets take["datagroups"], or take["error"] when the datagroups claim more values than the
// records hold.
void AddDatagroups(const KFileContents& contents, const KReadReport& report, py::dict& take) {
    py::list datagroups;
    RecordIndex records = IndexRecords(contents);
    uint64_t budget = records.bytes;
    if (const KFileDatagroupSection* groups = contents.GetDatagroupSection()) {
        for (const KFileDatagroupRecord& group : groups->GetRecords()) {
            Rows rows = RowsByFrame(records.rows[group.GetId()]);
            if (!TakeFromBudget(group, rows, budget)) {
                take["error"] = Failure(
                    "datagroup_exceeds_records",
                    "datagroup " + std::to_string(group.GetId()) + " has " +
                        std::to_string(group.GetLabelCount()) + " channels in " +
                        std::to_string(rows.size()) + " frames, more values than its records hold",
                    SectionOffset(report, groups->GetName()), groups->GetName());
                return;
            }
            datagroups.append(DatagroupToPython(group, rows));
        }
    }
    take["datagroups"] = datagroups;
    py::array_t<int32_t> order(
        {static_cast<py::ssize_t>(records.order.size() / 2), py::ssize_t{2}});
    std::copy(records.order.begin(), records.order.end(), order.mutable_data());
    take["record_order"] = order;
}

// The library touches no Python object: other Python threads run while it reads.
KReadResult ReadReleasingInterpreter(const std::string& path) {
    py::gil_scoped_release release;
    return kfile::ReadTake(path, KReadOptions{/*keepUnknownSections=*/true});
}

}  // namespace

py::dict ReadTake(const std::string& path) {
    KReadResult read = ReadReleasingInterpreter(path);
    py::dict take;
    take["sections"] = Sections(read.report);
    take["incomplete_bytes"] = read.report.incompleteBytes;
    take["incomplete_offset"] = read.report.incompleteOffset;
    take["error"] = py::none();
    if (!read.contents) {
        take["error"] = Failure(ReasonName(read.report.error), read.report.Describe(),
                                read.report.errorOffset, read.report.errorSection);
        return take;
    }
    take["version"] = read.contents->GetVersion();
    take["parameters"] = ParametersToPython(*read.contents);
    take["unknown_sections"] = UnknownSections(*read.contents, read.report);
    AddDatagroups(*read.contents, read.report, take);
    return take;
}

int64_t ReadContentsOnly(const std::string& path) {
    KReadResult read = ReadReleasingInterpreter(path);
    return read.contents ? read.contents->GetDynamicRecordCount() : -1;
}

}  // namespace kfile_python
