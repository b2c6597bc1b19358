#include <pybind11/numpy.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
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

// Frames convert only from whole numbers; values from anything numeric.
using Frames = py::array_t<int64_t, py::array::c_style>;
using Values = py::array_t<double, py::array::c_style | py::array::forcecast>;

// A datagroup on its way to the file: its record in the section, and its arrays.
struct DatagroupArrays {
    const KFileDatagroupRecord* group;
    Frames frames;
    Values values;
};

// A Python integer that must fit T.
template <typename T>
T Checked(py::handle value, const char* what) {
    int overflow = 0;
    const long long number = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
    if (number == -1 && PyErr_Occurred()) {
        throw py::error_already_set();  // not an integer: TypeError
    }
    if (overflow != 0 || number < std::numeric_limits<T>::min() ||
        number > std::numeric_limits<T>::max()) {
        throw py::value_error(std::string(what) + " " + std::string(py::str(value)) +
                              " is out of range");
    }
    return static_cast<T>(number);
}

// Value writers, one per value type: store `value` in the channel, NaN as the type's missing
// value marker. Each answers why a value cannot be stored, or null when it was.
constexpr const char* kIsMarker =
    "is the type's missing-value marker; store NaN for a missing value";

template <typename T>
const char* IntegerProblem(double value) {
    if (value != std::trunc(value)) {
        return "is not a whole number";
    }
    if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max()) {
        return "is out of the type's range";
    }
    return value == -1 ? kIsMarker : nullptr;
}
template <typename T, bool (KFileDynamicRecord::*Set)(int32_t, T)>
const char* StoreInteger(KFileDynamicRecord& record, int32_t channel, double value) {
    if (std::isnan(value)) {
        (record.*Set)(channel, T{-1});  // all bits set: the marker of Short and Long
        return nullptr;
    }
    if (const char* problem = IntegerProblem<T>(value)) {
        return problem;
    }
    (record.*Set)(channel, static_cast<T>(value));
    return nullptr;
}
const char* StoreFloat(KFileDynamicRecord& record, int32_t channel, double value) {
    const auto marker = BitCast<float>(KFileDynamicRecord::kMissingFloat);
    const auto stored = static_cast<float>(value);
    if (std::isfinite(value) && !std::isfinite(stored)) {
        return "is out of the type's range";
    }
    if (stored == marker) {
        return kIsMarker;
    }
    record.SetFloat(channel, std::isnan(value) ? marker : stored);
    return nullptr;
}
const char* StoreDouble(KFileDynamicRecord& record, int32_t channel, double value) {
    const auto marker = BitCast<double>(KFileDynamicRecord::kMissingDouble);
    if (value == marker) {
        return kIsMarker;
    }
    record.SetDouble(channel, std::isnan(value) ? marker : value);
    return nullptr;
}
// A missing Boolean is stored by MarkMissingBooleans: SetBoolean stores only 0 or 1.
const char* StoreBoolean(KFileDynamicRecord& record, int32_t channel, double value) {
    if (!std::isnan(value) && value != 0 && value != 1) {
        return "is neither 0 nor 1";
    }
    record.SetBoolean(channel, value == 1);
    return nullptr;
}

using Store = const char* (*)(KFileDynamicRecord&, int32_t, double);

Store StoreFor(int32_t valueType) {
    switch (valueType) {
        case kValueShort:
            return StoreInteger<int16_t, &KFileDynamicRecord::SetShort>;
        case kValueLong:
            return StoreInteger<int32_t, &KFileDynamicRecord::SetLong>;
        case kValueFloat:
            return StoreFloat;
        case kValueDouble:
            return StoreDouble;
        case kValueBoolean:
            return StoreBoolean;
        default:
            return nullptr;
    }
}

// The record re-made from its packed bytes with 0xFF, the Boolean marker, in every channel whose
// value is NaN.
std::unique_ptr<KFileDynamicRecord> MarkMissingBooleans(std::unique_ptr<KFileDynamicRecord> record,
                                                        const double* row, int32_t channels) {
    if (std::none_of(row, row + channels, [](double v) { return std::isnan(v); })) {
        return record;
    }
    const int16_t length = record->Pack();
    KBytes bytes(new uint8_t[static_cast<size_t>(length)]);
    std::memcpy(bytes.get(), record->GetData(), static_cast<size_t>(length));
    for (int32_t channel = 0; channel < channels; ++channel) {
        if (std::isnan(row[channel])) {
            bytes[static_cast<size_t>(KFileDynamicRecord::kHeaderSize + channel)] =
                KFileDynamicRecord::kMissingBoolean;
        }
    }
    auto marked = std::make_unique<KFileDynamicRecord>(std::move(bytes), length);
    marked->Unpack();
    return marked;
}

std::unique_ptr<KFileDynamicRecord> MakeRecord(const DatagroupArrays& arrays, py::ssize_t row) {
    const KFileDatagroupRecord& group = *arrays.group;
    const int32_t channels = group.GetLabelCount();
    const int32_t frame = static_cast<int32_t>(arrays.frames.at(row));
    const double* values = arrays.values.data() + row * channels;
    auto record = std::make_unique<KFileDynamicRecord>(group);
    record->SetFrame(frame);
    const Store store = StoreFor(group.GetValueType());
    for (int32_t channel = 0; channel < channels; ++channel) {
        if (const char* problem = store(*record, channel, values[channel])) {
            throw py::value_error("datagroup " + std::to_string(group.GetId()) + ", frame " +
                                  std::to_string(frame) + ", channel '" + group.GetLabel(channel) +
                                  "': " + std::to_string(values[channel]) + " " + problem);
        }
    }
    if (group.GetValueType() == kValueBoolean) {
        return MarkMissingBooleans(std::move(record), values, channels);
    }
    return record;
}

// Frames: distinct, within int32.
void CheckFrames(const Frames& frames, int16_t id) {
    std::vector<int64_t> sorted(frames.data(), frames.data() + frames.size());
    std::sort(sorted.begin(), sorted.end());
    const std::string where = "datagroup " + std::to_string(id) + ": ";
    if (!sorted.empty() && (sorted.front() < INT32_MIN || sorted.back() > INT32_MAX)) {
        throw py::value_error(where + "frame numbers must fit 32 bits");
    }
    if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) {
        throw py::value_error(where + "a frame number appears twice");
    }
}

std::unique_ptr<KFileDatagroupRecord> MakeDatagroupRecord(const py::tuple& datagroup) {
    const auto id = Checked<int16_t>(datagroup[0], "datagroup id");
    const auto valueType = datagroup[2].cast<int32_t>();
    if (!StoreFor(valueType)) {
        throw py::value_error("datagroup " + std::to_string(id) + ": value type " +
                              std::to_string(valueType) +
                              " has no numbers to write (Short, Long, Float, Double or Boolean)");
    }
    // The file holds a float32: a rate beyond its range becomes infinite, one below it zero.
    const auto rate = static_cast<float>(datagroup[3].cast<double>());
    if (!std::isfinite(rate) || rate <= 0) {
        throw py::value_error("datagroup " + std::to_string(id) + ": rate " +
                              std::string(py::str(datagroup[3])) +
                              " is not a positive finite number of frames per second");
    }
    const auto width = static_cast<uint8_t>(KValueTypeWidth(valueType));
    auto group = std::make_unique<KFileDatagroupRecord>(id, valueType, width, rate);
    group->SetName(PythonToLatin1(datagroup[1]));
    for (py::handle label : datagroup[4]) {
        group->AppendLabel(PythonToLatin1(label));
    }
    if (int64_t{group->GetLabelCount()} * width > kMaxRecordLength - 6) {
        throw py::value_error("datagroup " + std::to_string(id) + ": " +
                              std::to_string(group->GetLabelCount()) +
                              " channels do not fit one record of at most 32767 bytes");
    }
    if (group->Pack() == 0) {
        throw py::value_error("datagroup " + std::to_string(id) +
                              ": names and labels hold at most 254 characters");
    }
    return group;
}

DatagroupArrays MakeArrays(const KFileDatagroupRecord& group, const py::tuple& datagroup) {
    DatagroupArrays arrays{&group, Frames::ensure(datagroup[5]), Values::ensure(datagroup[6])};
    const std::string where = "datagroup " + std::to_string(group.GetId()) + ": ";
    if (!arrays.frames || !arrays.values) {
        PyErr_Clear();
        throw py::value_error(where + "frames must be whole numbers and values numbers");
    }
    if (arrays.frames.ndim() != 1 || arrays.values.ndim() != 2 ||
        arrays.values.shape(0) != arrays.frames.shape(0) ||
        arrays.values.shape(1) != group.GetLabelCount()) {
        throw py::value_error(where + "values must be a frames x channels array (" +
                              std::to_string(arrays.frames.size()) + " x " +
                              std::to_string(group.GetLabelCount()) + ")");
    }
    CheckFrames(arrays.frames, group.GetId());
    return arrays;
}

std::unique_ptr<KFileParameterRecord> MakeParameterRecord(const py::tuple& parameter) {
    const std::string name = PythonToLatin1(parameter[0]);
    auto record = std::make_unique<KFileParameterRecord>(name, parameter[1].cast<int32_t>());
    for (py::handle dimension : parameter[2]) {
        record->AppendDimension(Checked<int16_t>(dimension, "dimension"));
    }
    const auto values = parameter[3].cast<std::string>();
    const int64_t expected = int64_t{record->GetElementCount()} * record->GetElementSize();
    if (static_cast<int64_t>(values.size()) != std::max<int64_t>(expected, 0)) {
        throw py::value_error("parameter '" + name + "': its dimensions call for " +
                              std::to_string(expected) + " value bytes, not " +
                              std::to_string(values.size()));
    }
    for (size_t i = 0; i < values.size(); ++i) {
        if (!record->SetByte(static_cast<int32_t>(i), static_cast<uint8_t>(values[i]))) {
            throw py::value_error("parameter '" + name + "' does not fit a record");
        }
    }
    if (record->Pack() == 0) {
        throw py::value_error("parameter '" + name +
                              "' cannot be stored: at most 254 characters of name, 255 "
                              "dimensions, none negative, and 32767 bytes in all");
    }
    return record;
}

// One row of a datagroup on its way to becoming a record.
struct RowEntry {
    int64_t frame;
    long double rate;
    size_t group;
    py::ssize_t row;
    bool added = false;
};

int64_t RecordKey(int64_t id, int64_t frame) {
    return id * (int64_t{1} << 32) + frame;
}

// Every row of every datagroup in the order of their times, rows of one time in datagroup
// order, as a recording system writes them. Times compare exactly: frame a at rate ra comes
// before frame b at rate rb when a * rb < b * ra.
std::vector<RowEntry> RowsByTime(const std::vector<DatagroupArrays>& datagroups) {
    std::vector<RowEntry> rows;
    for (size_t g = 0; g < datagroups.size(); ++g) {
        const long double rate = datagroups[g].group->GetRate();
        for (py::ssize_t row = 0; row < datagroups[g].frames.size(); ++row) {
            rows.push_back({datagroups[g].frames.at(row), rate, g, row});
        }
    }
    std::stable_sort(rows.begin(), rows.end(), [](const RowEntry& a, const RowEntry& b) {
        const long double left = a.frame * b.rate;
        const long double right = b.frame * a.rate;
        return left < right || (left == right && a.group < b.group);
    });
    return rows;
}

// One record per row: first those that `recordOrder` names ((datagroup id, frame) pairs in
// file order, as a read gives them), in its order, then the others in the order of their times.
void AddDynamicRecords(KFileContents& contents, const std::vector<DatagroupArrays>& datagroups,
                       const py::object& recordOrder) {
    std::vector<RowEntry> rows = RowsByTime(datagroups);
    auto add = [&](RowEntry& entry) {
        if (!entry.added) {
            entry.added = true;
            contents.AddDynamicRecord(MakeRecord(datagroups[entry.group], entry.row));
        }
    };
    if (!recordOrder.is_none()) {
        using Pairs = py::array_t<int64_t, py::array::c_style | py::array::forcecast>;
        const auto pairs = Pairs::ensure(recordOrder);
        if (!pairs || pairs.ndim() != 2 || pairs.shape(1) != 2) {
            PyErr_Clear();
            throw py::value_error("record_order must be a records x 2 array of (id, frame)");
        }
        std::unordered_map<int64_t, size_t> byKey;
        for (size_t i = 0; i < rows.size(); ++i) {
            byKey.emplace(RecordKey(datagroups[rows[i].group].group->GetId(), rows[i].frame), i);
        }
        for (py::ssize_t i = 0; i < pairs.shape(0); ++i) {
            const auto found = byKey.find(RecordKey(pairs.at(i, 0), pairs.at(i, 1)));
            if (found != byKey.end()) {
                add(rows[found->second]);
            }
        }
    }
    for (RowEntry& entry : rows) {
        add(entry);
    }
}

std::string DatagroupIds(const KFileDatagroupSection& section) {
    std::string ids;
    for (const KFileDatagroupRecord& group : section.GetRecords()) {
        ids += (ids.empty() ? "" : ", ") + std::to_string(group.GetId());
    }
    return ids;
}

// The parameter section, or null for a take without parameters.
std::unique_ptr<KFileSection> MakeParameterSection(const py::list& parameters) {
    if (parameters.empty()) {
        return nullptr;
    }
    auto section = std::make_unique<KFileParameterSection>(0);
    for (py::handle parameter : parameters) {
        section->AddRecord(MakeParameterRecord(parameter.cast<py::tuple>()));
    }
    return section;
}

// The datagroup section, or null for a take without datagroups; `arrays` gets each
// datagroup's arrays.
std::unique_ptr<KFileSection> MakeDatagroupSection(const py::list& datagroups,
                                                   std::vector<DatagroupArrays>& arrays) {
    if (datagroups.empty()) {
        return nullptr;
    }
    auto section = std::make_unique<KFileDatagroupSection>(0);
    for (py::handle datagroup : datagroups) {
        auto record = MakeDatagroupRecord(datagroup.cast<py::tuple>());
        if (section->FindRecord(record->GetId())) {
            throw py::value_error("two datagroups have the id " + std::to_string(record->GetId()));
        }
        arrays.push_back(MakeArrays(*record, datagroup.cast<py::tuple>()));
        section->AddRecord(std::move(record));
    }
    if (!section->FindRecord(0)) {
        throw py::value_error("the take has datagroups but none with id 0; their ids are " +
                              DatagroupIds(*section));
    }
    return section;
}

// Whether readers take a section of this name for the parameters or the datagroups: names
// compare ignoring ASCII case.
bool NamesKnownSection(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    return name == KFileParameterSection::kName || name == KFileDatagroupSection::kName;
}

// A section of a name no handler knows: (name, body, index). Its header holds the name in 28
// bytes and the body's length; a length of 0 would end the section list.
std::unique_ptr<KFileUnknownSection> MakeUnknownSection(const py::tuple& unknown) {
    const std::string name = PythonToLatin1(unknown[0]);
    const auto body = unknown[1].cast<std::string>();
    const std::string where = "unknown section '" + name + "': ";
    if (name.size() > 28) {
        throw py::value_error(where + "a section name holds at most 28 characters");
    }
    if (NamesKnownSection(name)) {
        throw py::value_error(where + "that name belongs to a section the take writes itself");
    }
    if (body.empty() || body.size() > size_t{INT32_MAX}) {
        throw py::value_error(where + "its body must hold 1 to 2147483647 bytes");
    }
    KBytes bytes(new uint8_t[body.size()]);
    std::memcpy(bytes.get(), body.data(), body.size());
    return std::make_unique<KFileUnknownSection>(static_cast<int32_t>(body.size()), name,
                                                 std::move(bytes));
}

// The sections in file order: the known ones in the order given, each unknown section (sorted
// by index) put at its index among all of them, or after the others when its index lies beyond.
void AddSections(KFileContents& contents, std::vector<std::unique_ptr<KFileSection>> known,
                 const py::list& unknownSections) {
    auto next = known.begin();
    auto addKnown = [&] {
        (void)contents.AddSection(std::move(*next++));  // the first of its name: taken
    };
    for (py::handle item : unknownSections) {
        const auto unknown = item.cast<py::tuple>();
        const auto index = unknown[2].cast<int64_t>();
        while (next != known.end() && contents.GetSectionCount() < index) {
            addKnown();
        }
        contents.AddUnknownSection(MakeUnknownSection(unknown));
    }
    while (next != known.end()) {
        addKnown();
    }
}

}  // namespace

int ErrorNumber(const KWriteReport& report) {
    if (report.written) {
        return 0;
    }
    return report.systemError != 0 ? report.systemError : EIO;
}

std::unique_ptr<KFileContents> BuildTake(int version, const py::list& parameters,
                                         const py::list& datagroups,
                                         const py::list& unknownSections,
                                         const py::object& recordOrder) {
    auto contents = std::make_unique<KFileContents>();
    contents->SetVersion(Checked<int16_t>(py::int_(version), "version"));
    std::vector<DatagroupArrays> arrays;
    std::vector<std::unique_ptr<KFileSection>> known;
    known.push_back(MakeParameterSection(parameters));
    known.push_back(MakeDatagroupSection(datagroups, arrays));
    known.erase(std::remove(known.begin(), known.end(), nullptr), known.end());
    AddSections(*contents, std::move(known), unknownSections);
    AddDynamicRecords(*contents, arrays, recordOrder);
    return contents;
}

int WriteTake(const std::string& path, int version, const py::list& parameters,
              const py::list& datagroups, const py::list& unknownSections,
              const py::object& recordOrder) {
    const std::unique_ptr<KFileContents> contents =
        BuildTake(version, parameters, datagroups, unknownSections, recordOrder);
    py::gil_scoped_release release;  // the library touches no Python object
    return ErrorNumber(kfile::WriteTake(path, *contents));
}

int WriteFile(const std::string& path, const py::bytes& data) {
    const std::string_view bytes = data;
    py::gil_scoped_release release;
    return ErrorNumber(WriteFileSafely(path, [&](const std::string& temporary) {
        std::FILE* file = std::fopen(temporary.c_str(), "wb");
        if (!file) {
            return false;
        }
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        return std::fclose(file) == 0 && written;
    }));
}

}  // namespace kfile_python
