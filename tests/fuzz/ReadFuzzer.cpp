// Fuzz target of the K-file reader: reads arbitrary bytes as a K-file, asks every query of the
// contents it gets, then writes those contents back out and checks that they read back equal
// and write again to the same bytes.
//
// A ten-minute run (from the repository root): scripts/fuzz.sh read 600
//
// In the test build the same entry function is linked with ReplayMain.cpp and replays the
// committed corpus and regressions (test kfile_fuzz_replay). A failed expectation prints what
// was expected and aborts, so that either driver reports the input.

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "FuzzExpect.h"
#include "TestFiles.h"
#include "kfile/kfile.h"

using namespace kfile;
using testsupport::LoadLittleEndian;

namespace {

// The folder of this process's scratch files.
const testsupport::TempDir& Scratch() {
    static const testsupport::TempDir folder;
    return folder;
}

// Section names are matched ignoring case: the report keeps the file's spelling, the contents
// the section's own name.
bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

template <typename T>
bool SameBits(T a, T b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// Indices worth asking a getter for, in a block of `elements` elements: both sides of each
// edge and the extremes.
std::vector<int32_t> ProbeIndices(int64_t elements) {
    std::vector<int32_t> indices = {INT32_MIN, -1, INT32_MAX};
    int64_t last = std::min<int64_t>(elements + 1, 4096);
    for (int64_t i = 0; i <= last; ++i) {
        indices.push_back(static_cast<int32_t>(i));
    }
    return indices;
}

// Read result --------------------------------------------------------------------------------

void CheckReadResult(const KReadResult& read, const uint8_t* data, size_t size) {
    const KReadReport& report = read.report;
    KReadError error = report.error;
    FUZZ_EXPECT(!report.Describe().empty());
    FUZZ_EXPECT(report.fileSize == size);
    uint64_t previous = 0;
    std::vector<std::string> kept;
    for (const KSectionReport& section : report.sections) {
        FUZZ_EXPECT(section.offset >= kFileHeaderSize && section.offset >= previous);
        FUZZ_EXPECT(section.size > 0 && section.offset < size);
        previous = section.offset + kSectionHeaderSize;
        if (section.kept) {
            kept.push_back(section.name);
        }
    }
    if (read.contents) {
        FUZZ_EXPECT(error == KReadError::kNone);
        FUZZ_EXPECT(kept.size() == static_cast<size_t>(read.contents->GetSectionCount()));
        for (size_t i = 0; i < kept.size(); ++i) {
            FUZZ_EXPECT(SameIgnoringCase(
                read.contents->GetSection(static_cast<int32_t>(i))->GetName(), kept[i]));
        }
        return;
    }
    FUZZ_EXPECT(error != KReadError::kNone && error != KReadError::kNotOpen &&
                error != KReadError::kCannotOpen);
    FUZZ_EXPECT(report.errorOffset <= size);
    if (size < 4) {
        FUZZ_EXPECT(error == KReadError::kTooShort);
    } else if (data[0] != 'K' || data[1] != '#') {
        FUZZ_EXPECT(error == KReadError::kBadMagic);
    }
}

// Queries ------------------------------------------------------------------------------------

void ExerciseSections(const KFileContents& contents) {
    for (const KFileSection& section : contents.GetSections()) {
        FUZZ_EXPECT(contents.FindSection(section.GetName()) == &section);  // no duplicates kept
        FUZZ_EXPECT(section.GetSize() >= 2);
    }
    FUZZ_EXPECT(contents.FindSection("NO SUCH SECTION") == nullptr);
}

void ExerciseDatagroups(const KFileContents& contents, const std::set<int16_t>& recordIds) {
    const KFileDatagroupSection* section = contents.GetDatagroupSection();
    FUZZ_EXPECT(contents.GetDatagroupCount() == (section ? section->GetRecordCount() : 0));
    std::set<int16_t> ids = recordIds;
    for (int32_t i = 0; section && i < section->GetRecordCount(); ++i) {
        const KFileDatagroupRecord* group = section->GetRecord(i);
        ids.insert(group->GetId());
        FUZZ_EXPECT(group->GetLabel(-1).empty() && group->GetLabel(group->GetLabelCount()).empty());
        for (int32_t l = 0; l < group->GetLabelCount(); ++l) {
            FUZZ_EXPECT(group->GetLabel(l) == group->GetLabels()[static_cast<size_t>(l)]);
        }
        (void)group->GetValueTypeName();
    }
    for (int16_t id : ids) {
        const KFileDatagroupRecord* first = section ? section->FindRecord(id) : nullptr;
        const KFileDatagroupRecord* last = nullptr;
        for (int32_t i = 0; section && i < section->GetRecordCount(); ++i) {
            last = section->GetRecord(i)->GetId() == id ? section->GetRecord(i) : last;
        }
        FUZZ_EXPECT(SameBits(contents.GetDatagroupRate(id), first ? first->GetRate() : 0.0f));
        std::vector<std::string> labels = {"untouched"};
        bool found = contents.GetDatagroupLabels(id, labels);
        FUZZ_EXPECT(found == (last != nullptr));
        FUZZ_EXPECT(found ? labels == last->GetLabels()
                          : labels == std::vector<std::string>{"untouched"});
    }
}

void ExerciseFrames(const KFileContents& contents) {
    int32_t count = contents.GetDynamicRecordCount();
    int32_t last = 0;
    std::map<std::pair<int16_t, int32_t>, const KFileDynamicRecord*> firstByKey;
    for (const KFileDynamicRecord& record : contents.GetDynamicRecords()) {
        last = std::max(last, record.GetFrame());
        firstByKey.emplace(std::make_pair(record.GetId(), record.GetFrame()), &record);
    }
    FUZZ_EXPECT(contents.GetFirstFrame() == (count ? contents.GetDynamicRecord(0)->GetFrame() : 0));
    FUZZ_EXPECT(contents.GetLastFrame() == last);
    for (const auto& [key, record] : firstByKey) {
        FUZZ_EXPECT(contents.FindDynamicRecord(key.first, key.second) == record);
        if (key.second < INT32_MAX &&
            firstByKey.count(std::make_pair(key.first, key.second + 1)) == 0) {
            FUZZ_EXPECT(contents.FindDynamicRecord(key.first, key.second + 1) == nullptr);
        }
    }
}

void ExerciseCursors(KFileContents& contents) {
    int32_t visited = 0;
    for (KFileDynamicRecord* record = contents.FirstDynamicRecord(); record;
         record = contents.NextDynamicRecord()) {
        FUZZ_EXPECT(record == contents.GetDynamicRecord(visited));
        ++visited;
    }
    FUZZ_EXPECT(visited == contents.GetDynamicRecordCount());
    FUZZ_EXPECT(contents.NextDynamicRecord() == nullptr);

    // Per datagroup, for a few ids (a walk is linear, so all ids would be quadratic).
    std::map<int16_t, int32_t> perId;
    for (int32_t i = 0; i < contents.GetDynamicRecordCount(); ++i) {
        ++perId[contents.GetDynamicRecord(i)->GetId()];
    }
    perId.emplace(int16_t{-32768}, 0);
    int walks = 0;
    for (const auto& [id, expected] : perId) {
        if (++walks > 8) {
            break;
        }
        int32_t seen = 0;
        for (KFileDynamicRecord* record = contents.FirstDynamicRecord(id); record;
             record = contents.NextDynamicRecord(id)) {
            FUZZ_EXPECT(record->GetId() == id);
            ++seen;
        }
        FUZZ_EXPECT(seen == expected);
        int32_t ranged = 0;
        for (const KFileDynamicRecord& record : std::as_const(contents).GetDynamicRecords(id)) {
            FUZZ_EXPECT(record.GetId() == id);
            ++ranged;
        }
        FUZZ_EXPECT(ranged == expected);
    }
}

// Asks getter `get` for every probe index of a block of `width`-byte values and compares it
// with the bytes themselves.
template <typename Value, typename Bits, typename Getter>
void CheckValueGetter(const KFileDynamicRecord& record, Bits marker, Getter get) {
    constexpr int32_t width = sizeof(Value);
    const int32_t valueBytes = record.GetValueBytes();
    for (int32_t index : ProbeIndices(valueBytes / width)) {
        Value value{};
        std::memset(&value, 0x5A, sizeof value);
        bool present = get(index, value);
        bool inside = index >= 0 && int64_t{index} * width + width <= valueBytes;
        FUZZ_EXPECT(record.HasChannel(index, width) == inside);
        if (!inside) {
            FUZZ_EXPECT(!present && SameBits(value, Value{}));
            continue;
        }
        const uint8_t* slot =
            record.GetData() + KFileDynamicRecord::kHeaderSize + static_cast<size_t>(index) * width;
        FUZZ_EXPECT(SameBits(value, LoadLittleEndian<Value>(slot)));
        FUZZ_EXPECT(present == (LoadLittleEndian<Bits>(slot) != marker));
    }
}

void ExerciseRecordValues(KFileContents& contents) {
    for (KFileDynamicRecord& record : contents.GetDynamicRecords()) {
        FUZZ_EXPECT(record.GetValueBytes() == 0 ||
                    record.GetLength() == record.GetValueBytes() + KFileDynamicRecord::kHeaderSize);
        CheckValueGetter<int16_t>(record, KFileDynamicRecord::kMissingShort,
                                  [&](int32_t at, int16_t& v) { return record.GetShort(at, v); });
        CheckValueGetter<int32_t>(record, KFileDynamicRecord::kMissingLong,
                                  [&](int32_t at, int32_t& v) { return record.GetLong(at, v); });
        CheckValueGetter<float>(record, KFileDynamicRecord::kMissingFloat,
                                [&](int32_t at, float& v) { return record.GetFloat(at, v); });
        CheckValueGetter<double>(record, KFileDynamicRecord::kMissingDouble,
                                 [&](int32_t at, double& v) { return record.GetDouble(at, v); });
        for (int32_t index : ProbeIndices(record.GetValueBytes())) {
            bool value = true;
            bool present = record.GetBoolean(index, value);
            bool inside = index >= 0 && index < record.GetValueBytes();
            FUZZ_EXPECT(inside || (!present && !value));
        }
        // Setters outside the block write nothing.
        int32_t outside = record.GetValueBytes();
        FUZZ_EXPECT(!record.SetShort(-1, 1) && !record.SetLong(outside, 1) &&
                    !record.SetFloat(INT32_MAX, 1.0f) && !record.SetDouble(outside, 1.0) &&
                    !record.SetBoolean(INT32_MIN, true));
    }
}

template <typename Value, typename Getter>
void CheckParameterGetter(const KFileParameterRecord& parameter, Getter get) {
    constexpr int32_t width = sizeof(Value);
    const std::vector<uint8_t>& values = parameter.GetValues();
    for (int32_t index : ProbeIndices(static_cast<int64_t>(values.size()) / width)) {
        Value value = get(index);
        bool inside = index >= 0 && int64_t{index} * width + width <= int64_t(values.size());
        Value expected =
            inside ? LoadLittleEndian<Value>(values.data() + int64_t{index} * width) : Value{};
        FUZZ_EXPECT(SameBits(value, expected));
    }
}

void ExerciseParameters(const KFileContents& contents) {
    const KFileParameterSection* section = contents.GetParameterSection();
    if (!section) {
        return;
    }
    for (const KFileParameterRecord& parameter : section->GetRecords()) {
        FUZZ_EXPECT(section->FindRecord(parameter.GetName())->GetName() == parameter.GetName());
        int64_t block =
            std::max<int64_t>(0, int64_t{parameter.GetElementCount()} * parameter.GetElementSize());
        FUZZ_EXPECT(static_cast<int64_t>(parameter.GetValues().size()) <= block);
        CheckParameterGetter<uint8_t>(parameter, [&](int32_t at) { return parameter.GetByte(at); });
        CheckParameterGetter<int16_t>(parameter,
                                      [&](int32_t at) { return parameter.GetShort(at); });
        CheckParameterGetter<int32_t>(parameter, [&](int32_t at) { return parameter.GetLong(at); });
        CheckParameterGetter<float>(parameter, [&](int32_t at) { return parameter.GetFloat(at); });
        CheckParameterGetter<double>(parameter,
                                     [&](int32_t at) { return parameter.GetDouble(at); });
        int32_t textWidth =
            parameter.GetDimensions().empty() ? 1 : parameter.GetDimensions().front();
        int64_t slots = textWidth > 0 ? int64_t(parameter.GetValues().size()) / textWidth : 0;
        for (int32_t index : ProbeIndices(slots)) {
            std::string text = parameter.GetText(index);
            bool inside = index >= 0 && index < slots;
            FUZZ_EXPECT(inside ? text.size() < static_cast<size_t>(textWidth) : text.empty());
            FUZZ_EXPECT(text.find('\0') == std::string::npos);
        }
    }
}

void ExerciseSectionSearch(const std::string& path) {
    KExtendedFileWrapper wrapper;
    FUZZ_EXPECT(wrapper.OpenExisting(path) != kNotOpened);
    for (const char* name : {"PARAMETER", "datagroup", "NO SUCH SECTION"}) {
        (void)wrapper.SeekToSection(name);  // only its safety is checked here
    }
}

// Round trip ---------------------------------------------------------------------------------

constexpr size_t kMaxText = 254;

// Whether the writer can store every record: names and labels fit their length byte, counts
// are not negative and no record outgrows its int16 frame.
bool Storable(const KFileContents& contents) {
    const KFileDatagroupSection* groups = contents.GetDatagroupSection();
    for (int32_t i = 0; groups && i < groups->GetRecordCount(); ++i) {
        const KFileDatagroupRecord& group = *groups->GetRecord(i);
        if (group.GetName().size() > kMaxText || group.GetPackedSize() > kMaxRecordLength) {
            return false;
        }
        for (const std::string& label : group.GetLabels()) {
            if (label.size() > kMaxText) {
                return false;
            }
        }
    }
    const KFileParameterSection* parameters = contents.GetParameterSection();
    for (int32_t i = 0; parameters && i < parameters->GetRecordCount(); ++i) {
        const KFileParameterRecord& parameter = *parameters->GetRecord(i);
        if (parameter.GetName().size() > kMaxText || parameter.GetDimensions().size() > 255 ||
            parameter.GetElementCount() < 0 || parameter.GetPackedSize() > kMaxRecordLength) {
            return false;
        }
    }
    return contents.GetSectionCount() == (groups ? 1 : 0) + (parameters ? 1 : 0);
}

void ExpectSameDatagroups(const KFileContents& read, const KFileContents& reread) {
    const KFileDatagroupSection* a = read.GetDatagroupSection();
    const KFileDatagroupSection* b = reread.GetDatagroupSection();
    FUZZ_EXPECT((a == nullptr) == (b == nullptr));
    FUZZ_EXPECT(!a || a->GetRecordCount() == b->GetRecordCount());
    for (int32_t i = 0; a && i < a->GetRecordCount(); ++i) {
        const KFileDatagroupRecord& x = *a->GetRecord(i);
        const KFileDatagroupRecord& y = *b->GetRecord(i);
        FUZZ_EXPECT(x.GetId() == y.GetId() && x.GetName() == y.GetName());
        FUZZ_EXPECT(x.GetValueType() == y.GetValueType() && x.GetValueSize() == y.GetValueSize());
        FUZZ_EXPECT(SameBits(x.GetRate(), y.GetRate()) && x.GetLabels() == y.GetLabels());
    }
}

void ExpectSameParameters(const KFileContents& read, const KFileContents& reread) {
    const KFileParameterSection* a = read.GetParameterSection();
    const KFileParameterSection* b = reread.GetParameterSection();
    FUZZ_EXPECT((a == nullptr) == (b == nullptr));
    FUZZ_EXPECT(!a || a->GetRecordCount() == b->GetRecordCount());
    for (int32_t i = 0; a && i < a->GetRecordCount(); ++i) {
        const KFileParameterRecord& x = *a->GetRecord(i);
        const KFileParameterRecord& y = *b->GetRecord(i);
        FUZZ_EXPECT(x.GetName() == y.GetName() && x.GetType() == y.GetType());
        FUZZ_EXPECT(x.GetDimensions() == y.GetDimensions());
        // Values that the file did not hold are written as zeros.
        std::vector<uint8_t> padded = x.GetValues();
        padded.resize(y.GetValues().size(), 0);
        FUZZ_EXPECT(y.GetValues().size() >= x.GetValues().size() && padded == y.GetValues());
    }
}

void ExpectSameRecords(const KFileContents& read, const KFileContents& reread) {
    FUZZ_EXPECT(read.GetDynamicRecordCount() == reread.GetDynamicRecordCount());
    for (int32_t i = 0; i < read.GetDynamicRecordCount(); ++i) {
        const KFileDynamicRecord& x = *read.GetDynamicRecord(i);
        const KFileDynamicRecord& y = *reread.GetDynamicRecord(i);
        FUZZ_EXPECT(x.GetId() == y.GetId() && x.GetFrame() == y.GetFrame());
        FUZZ_EXPECT(x.GetValueBytes() == y.GetValueBytes());
        const size_t header = KFileDynamicRecord::kHeaderSize;
        FUZZ_EXPECT(x.GetValueBytes() == 0 ||
                    std::memcmp(x.GetData() + header, y.GetData() + header,
                                static_cast<size_t>(x.GetValueBytes())) == 0);
    }
}

void CheckRoundTrip(KFileContents& contents) {
    static const std::string written = Scratch().Path("written.k");
    static const std::string rewritten = Scratch().Path("rewritten.k");
    bool storable = Storable(contents);
    KFileManager writer;
    if (!writer.Write(written, contents)) {
        FUZZ_EXPECT(!storable);
        return;
    }
    std::unique_ptr<KFileContents> reread = ReadTake(written).contents;
    FUZZ_EXPECT(reread != nullptr);
    FUZZ_EXPECT(reread->GetVersion() == contents.GetVersion());
    FUZZ_EXPECT(reread->GetSectionCount() == contents.GetSectionCount());
    for (int32_t i = 0; i < contents.GetSectionCount(); ++i) {
        FUZZ_EXPECT(reread->GetSection(i)->GetName() == contents.GetSection(i)->GetName());
    }
    ExpectSameDatagroups(contents, *reread);
    ExpectSameParameters(contents, *reread);
    ExpectSameRecords(contents, *reread);

    KFileManager rewriter;
    FUZZ_EXPECT(rewriter.Write(rewritten, *reread));
    FUZZ_EXPECT(testsupport::ReadFileBytes(written) == testsupport::ReadFileBytes(rewritten));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string input = Scratch().Path("input.k");
    if (Scratch().Write("input.k", data, size).empty()) {
        return 0;
    }
    KReadResult read = ReadTake(input);
    CheckReadResult(read, data, size);
    ExerciseSectionSearch(input);
    if (!read.contents) {
        return 0;
    }
    KFileContents& contents = *read.contents;
    std::set<int16_t> recordIds;
    for (const KFileDynamicRecord& record : contents.GetDynamicRecords()) {
        recordIds.insert(record.GetId());
    }
    ExerciseSections(contents);
    ExerciseDatagroups(contents, recordIds);
    ExerciseFrames(contents);
    ExerciseCursors(contents);
    ExerciseRecordValues(contents);
    ExerciseParameters(contents);
    CheckRoundTrip(contents);
    return 0;
}
