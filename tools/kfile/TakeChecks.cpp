#include "TakeChecks.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "LabelReading.h"
#include "Numbers.h"
#include "kfile/kfile.h"

using namespace kfile;

namespace {

constexpr uint64_t kHeaderSize = 4;
constexpr uint64_t kSectionHeader = 32;

template <typename T>
T Load(const std::vector<uint8_t>& bytes, uint64_t at) {
    uint64_t bits = 0;
    for (size_t i = 0; i < sizeof(T); ++i) {
        bits |= uint64_t{bytes[at + i]} << (8 * i);
    }
    T value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string At(uint64_t offset) {
    return "at byte " + std::to_string(offset);
}

bool SameName(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) != b[i]) {
            return false;
        }
    }
    return true;
}

struct Datagroup {
    std::unique_ptr<KFileDatagroupRecord> record;
    int64_t index;
    uint64_t offset;
};

// Values of one keyed channel that the import leaves unkeyed for not being finite.
struct NotFinite {
    int64_t count = 0;
    int64_t record = 0;  // the first of them
    uint64_t offset = 0;
    int32_t frame = 0;
};

// How the import reads the records of one datagroup id, when it keys them.
struct KeyedDatagroup {
    KValueType valuesAs;
    std::vector<std::string> labels;
};

class Checker {
  public:
    explicit Checker(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

    std::vector<Finding> Run() {
        uint64_t position = kHeaderSize;
        if (CheckHeader() && WalkSections(position)) {
            CheckDatagroups();
            WalkDynamicRecords(position);
            CheckDeclaredFrames();
            NoteNotFinite();
        }
        return std::move(findings_);
    }

  private:
    uint64_t Left(uint64_t position) const { return bytes_.size() - position; }

    void Add(const char* check, std::string section, int64_t record, uint64_t offset,
             std::string message, bool problem = true) {
        findings_.push_back(
            {check, problem, std::move(section), record, offset, std::move(message)});
    }

    bool CheckHeader();
    bool WalkSections(uint64_t& position);
    void WalkRecordSection(const std::string& name, uint64_t body, uint64_t end, bool datagroups);
    KBytes Copy(uint64_t at, int16_t length) const {
        auto data = std::make_unique<uint8_t[]>(size_t(length));
        std::memcpy(data.get(), &bytes_[at], size_t(length));
        return data;
    }
    void ReadDeclaredFrames(uint64_t offset, int16_t length);
    void CheckDeclaredFrames();
    void CheckDatagroups();
    void CheckDatagroup(const Datagroup& group, const DatagroupReading& reading);
    void WalkDynamicRecords(uint64_t position);
    void CheckDynamicRecord(int64_t index, uint64_t offset, int16_t length);
    void CountNotFinite(int64_t index, uint64_t offset, int16_t length);
    void NoteNotFinite();

    const std::vector<uint8_t>& bytes_;
    std::vector<Finding> findings_;
    std::vector<Datagroup> datagroups_;
    bool datagroupSectionSeen_ = false;
    std::map<std::pair<int16_t, int32_t>, std::pair<int64_t, uint64_t>> firstRecordOf_;
    std::map<int16_t, int32_t> lastFrame_;
    std::map<int16_t, int64_t> recordsOf_;
    std::map<int16_t, KeyedDatagroup> keyed_;
    std::map<std::pair<int16_t, int32_t>, NotFinite> notFinite_;
    // The FRAMES parameter: first and last frame, and where its record is.
    std::optional<std::pair<int64_t, int64_t>> declaredFrames_;
    uint64_t declaredAt_ = 0;
};

bool Checker::CheckHeader() {
    if (bytes_.size() < kHeaderSize) {
        Add("not-a-k-file", "header", -1, 0,
            "the file holds " + Counted(int64_t(bytes_.size()), "byte") +
                "; a K-file starts with a 4-byte header (\"K#\" and a version)");
        return false;
    }
    if (bytes_[0] != 'K' || bytes_[1] != '#') {
        Add("not-a-k-file", "header", -1, 0, "the file does not start with \"K#\"");
        return false;
    }
    return true;
}

// Section headers and bodies up to the terminator; false when the file ends before it.
bool Checker::WalkSections(uint64_t& position) {
    for (;;) {
        if (Left(position) < kSectionHeader) {
            Add("truncated-section", "header", -1, position,
                "the file ends " + At(bytes_.size()) +
                    " inside the section list: expected a 32-byte section header or the "
                    "terminator");
            return false;
        }
        const int32_t length = Load<int32_t>(bytes_, position);
        const char* nameField = reinterpret_cast<const char*>(&bytes_[position + 4]);
        const std::string name(nameField, strnlen(nameField, 28));
        if (length <= 0) {
            position += kSectionHeader;
            return true;
        }
        const uint64_t body = position + kSectionHeader;
        if (uint64_t(length) > Left(body)) {
            Add("truncated-section", name, -1, position,
                "section " + name + " declares " + Counted(length, "body byte") + ", but only " +
                    std::to_string(Left(body)) + (Left(body) == 1 ? " follows" : " follow") +
                    " its header");
            return false;
        }
        const bool datagroups = SameName(name, KFileDatagroupSection::kName);
        if (datagroups || SameName(name, KFileParameterSection::kName)) {
            WalkRecordSection(name, body, body + uint64_t(length), datagroups);
        }
        position = body + uint64_t(length);
    }
}

// The framed records of a section body: int16 length and payload, up to an int16 zero.
void Checker::WalkRecordSection(const std::string& name, uint64_t body, uint64_t end,
                                bool datagroups) {
    const bool first = datagroups && !datagroupSectionSeen_;
    datagroupSectionSeen_ = datagroupSectionSeen_ || datagroups;
    uint64_t position = body;
    for (int64_t index = 0;; ++index) {
        if (end - position < 2) {
            Add("truncated-record", name, index, position,
                "the section body ends without the int16 zero that closes its records");
            return;
        }
        const int16_t length = Load<int16_t>(bytes_, position);
        if (length == 0) {
            return;
        }
        if (length < 0 || uint64_t(length) > end - position - 2) {
            Add("truncated-record", name, index, position,
                "record " + std::to_string(index) + " announces " + Counted(length, "byte") +
                    ", but its section body has " + std::to_string(end - position - 2) + " left");
            return;
        }
        if (first) {
            auto record =
                std::make_unique<KFileDatagroupRecord>(Copy(position + 2, length), length);
            record->Unpack();
            datagroups_.push_back({std::move(record), index, position});
        } else if (!datagroups) {
            ReadDeclaredFrames(position, length);
        }
        position += 2 + uint64_t(length);
    }
}

void Checker::ReadDeclaredFrames(uint64_t offset, int16_t length) {
    KFileParameterRecord record(Copy(offset + 2, length), length);
    record.Unpack();
    const int32_t type = record.GetType();
    if (!SameName(record.GetName(), "FRAMES") || record.GetElementCount() < 2 ||
        (type != kValueShort && type != kValueLong)) {
        return;
    }
    const auto element = [&](int32_t i) -> int64_t {
        return type == kValueShort ? record.GetShort(i) : record.GetLong(i);
    };
    declaredFrames_ = {element(0), element(1)};
    declaredAt_ = offset;
}

// A note when the parameters declare more frames than any datagroup holds records: a take cut
// short, or one whose frames were lost.
void Checker::CheckDeclaredFrames() {
    if (!declaredFrames_) {
        return;
    }
    const int64_t declared = declaredFrames_->second - declaredFrames_->first + 1;
    int64_t held = 0;
    for (const auto& [id, records] : recordsOf_) {
        held = std::max(held, records);
    }
    if (declared > held) {
        Add("declared-frames", "PARAMETER", -1, declaredAt_,
            "the parameter FRAMES declares frames " + std::to_string(declaredFrames_->first) +
                " to " + std::to_string(declaredFrames_->second) + " (" + std::to_string(declared) +
                "), but no datagroup holds more than " + Counted(held, "record"),
            false);
    }
}

void Checker::CheckDatagroups() {
    std::map<int16_t, int64_t> indexOfId;
    const auto count = static_cast<int64_t>(datagroups_.size());
    std::vector<const KFileDatagroupRecord*> records;
    for (const Datagroup& group : datagroups_) {
        records.push_back(group.record.get());
    }
    for (const Datagroup& group : datagroups_) {
        const int16_t id = group.record->GetId();
        auto [earlier, added] = indexOfId.insert({id, group.index});
        if (!added) {
            Add("datagroup-ids", "DATAGROUP", group.index, group.offset,
                "datagroup id " + std::to_string(id) + " is taken already by record " +
                    std::to_string(earlier->second) + "; ids should run from 0 to " +
                    std::to_string(count - 1) +
                    ": the import makes locators from the labels of the last record of an id "
                    "and keys them at the rate and with the values of the first");
        } else if (id < 0 || id >= count) {
            Add("datagroup-ids", "DATAGROUP", group.index, group.offset,
                "datagroup id " + std::to_string(id) + " is outside 0 to " +
                    std::to_string(count - 1) +
                    ": the import reads datagroups by those ids only and keys nothing of this "
                    "one");
        }
        CheckDatagroup(group, ReadDatagroup(records, size_t(group.index)));
    }
}

void Checker::CheckDatagroup(const Datagroup& group, const DatagroupReading& reading) {
    const KFileDatagroupRecord& record = *group.record;
    const std::string what = "datagroup " + std::to_string(record.GetId());
    const int32_t width = KValueTypeWidth(record.GetValueType());
    if (width != record.GetValueSize()) {
        const std::string type = record.GetValueTypeName();
        KValueType valuesAs = kValueDouble;
        Add("value-size", "DATAGROUP", group.index, group.offset,
            what + " stores values in " + std::to_string(record.GetValueSize()) +
                "-byte slots, but its value type " + std::to_string(record.GetValueType()) +
                (type.empty() ? "" : " (" + type + ")") + " is " + Counted(width, "byte") +
                " wide: " +
                (ReadsValues(record, valuesAs) ? "the import reads them as 8-byte doubles"
                                               : "the import keys none of them"));
    }
    const float rate = record.GetRate();
    const std::string rateText = RateText(rate);
    if (!(rate > 0.0f) || !std::isfinite(rate)) {
        Add("rate", "DATAGROUP", group.index, group.offset,
            what + " has rate " + rateText +
                ": expected a positive number of frames per second; the import keys none of "
                "its frames");
    } else if (rate != std::floor(rate)) {
        Add("rate", "DATAGROUP", group.index, group.offset,
            what + " has rate " + rateText +
                ", not a whole number of frames per second: the import keys frame f at f / " +
                rateText + " seconds, wherever that falls among the frames of the scene",
            false);
    }
    if (!reading.keyed) {
        return;  // the problems above say why
    }
    keyed_[record.GetId()] = {reading.valuesAs, record.GetLabels()};
    for (const LabelReading& label : ReadLabels(record.GetLabels(), reading)) {
        if (label.keys.empty()) {
            Add("skipped-label", "DATAGROUP", group.index, group.offset,
                what + " channel " + std::to_string(label.channel) + " \"" + label.label +
                    "\" keys nothing on import: " + label.skipReason,
                false);
        }
    }
}

// The records after the terminator: int16 length and payload, to the end of the file.
void Checker::WalkDynamicRecords(uint64_t position) {
    for (int64_t index = 0; position < bytes_.size(); ++index) {
        if (Left(position) < 2) {
            Add("truncated-record", "records", index, position,
                "the file ends in the length of record " + std::to_string(index));
            return;
        }
        const int16_t length = Load<int16_t>(bytes_, position);
        if (length > 0 && uint64_t(length) > Left(position + 2)) {
            Add("truncated-record", "records", index, position,
                "record " + std::to_string(index) + " announces " + Counted(length, "byte") +
                    ", but the file ends after " + std::to_string(Left(position + 2)));
            return;
        }
        if (length > 0) {
            CheckDynamicRecord(index, position, length);
        } else if (length < 0) {
            Add("negative-length", "records", index, position,
                "record " + std::to_string(index) + " announces " + std::to_string(length) +
                    " bytes: readers skip its length alone and read the " +
                    Counted(int64_t(Left(position + 2)), "byte") +
                    " after it as records, whatever they hold");
        }
        position += 2 + uint64_t(std::max<int16_t>(length, 0));
    }
}

void Checker::CheckDynamicRecord(int64_t index, uint64_t offset, int16_t length) {
    const std::string where = "record " + std::to_string(index);
    if (length < KFileDynamicRecord::kHeaderSize) {
        Add("record-length", "records", index, offset,
            where + " holds " + Counted(length, "byte") +
                ": too few for its datagroup id and frame (6)");
        return;
    }
    const int16_t id = Load<int16_t>(bytes_, offset + 2);
    const int32_t frame = Load<int32_t>(bytes_, offset + 4);
    const std::string what =
        where + " (datagroup " + std::to_string(id) + ", frame " + std::to_string(frame) + ")";
    const Datagroup* group = nullptr;
    for (const Datagroup& candidate : datagroups_) {
        group = group ? group : (candidate.record->GetId() == id ? &candidate : nullptr);
    }
    if (!group) {
        Add("unknown-datagroup", "records", index, offset,
            what + " belongs to no datagroup of the DATAGROUP section");
    } else {
        const int64_t expected =
            KFileDynamicRecord::kHeaderSize +
            int64_t{group->record->GetLabelCount()} * group->record->GetValueSize();
        if (length != expected) {
            Add("record-length", "records", index, offset,
                what + " holds " + Counted(length, "byte") + "; its datagroup expects 6 + " +
                    Counted(group->record->GetLabelCount(), "label") + " x " +
                    Counted(group->record->GetValueSize(), "byte") + " = " +
                    std::to_string(expected));
        }
    }
    ++recordsOf_[id];
    CountNotFinite(index, offset, length);
    auto [first, added] = firstRecordOf_.insert({{id, frame}, {index, offset}});
    if (!added) {
        Add("duplicate-frame", "records", index, offset,
            what + " repeats record " + std::to_string(first->second.first) + " " +
                At(first->second.second) + "; readers see only the first");
        return;
    }
    auto [last, isFirst] = lastFrame_.insert({id, frame});
    if (!isFirst && frame < last->second) {
        Add("frame-order", "records", index, offset,
            what + " comes after frame " + std::to_string(last->second) +
                "; frames of a datagroup are expected in increasing order");
    }
    last->second = std::max(last->second, frame);
}

void Checker::CountNotFinite(int64_t index, uint64_t offset, int16_t length) {
    const auto keyed = keyed_.find(Load<int16_t>(bytes_, offset + 2));
    if (keyed == keyed_.end()) {
        return;
    }
    KFileDynamicRecord record(Copy(offset + 2, length), length);
    record.Unpack();
    const auto channels = static_cast<int32_t>(keyed->second.labels.size());
    for (int32_t c = 0; c < channels; ++c) {
        if (KindOfValue(record, keyed->second.valuesAs, c) == ValueKind::kNotFinite) {
            NotFinite& found = notFinite_[{record.GetId(), c}];
            if (found.count++ == 0) {
                found = {1, index, offset, record.GetFrame()};
            }
        }
    }
}

// One note per channel whose values are not all finite.
void Checker::NoteNotFinite() {
    for (const auto& [where, found] : notFinite_) {
        const auto& [id, channel] = where;
        const std::string& label = keyed_[id].labels[size_t(channel)];
        const bool one = found.count == 1;
        Add("not-finite", "records", found.record, found.offset,
            "datagroup " + std::to_string(id) + " channel " + std::to_string(channel) + " \"" +
                label + "\" holds " + Counted(found.count, "value") +
                (one ? " that is not finite, in record "
                     : " that are not finite, the first in record ") +
                std::to_string(found.record) + " (frame " + std::to_string(found.frame) +
                "): the import leaves " + (one ? "it" : "them") +
                " unkeyed (for a rotation angle, the whole rotation of " +
                (one ? "that frame)" : "those frames)"),
            false);
    }
}

}  // namespace

std::vector<Finding> CheckTake(const std::vector<uint8_t>& bytes) {
    return Checker(bytes).Run();
}
