// Fuzz target of the K-file reader: reads arbitrary bytes as a K-file, asks every query of the
// contents it gets, then writes those contents back out and checks that they read back equal
// and write again to the same bytes.
//
// libFuzzer build and a ten-minute run (from the repository root):
//
//   cmake --preset fuzz && cmake --build --preset fuzz
//   build/fuzz/tests/fuzz/kfile_read_fuzzer -jobs=1 -max_total_time=600 -malloc_limit_mb=64
//       -max_len=4096 <new-corpus-folder> tests/fuzz/corpus
//
// In the test build the same entry function is linked with ReplayMain.cpp and replays the
// committed corpus and regressions (test kfile_fuzz_replay). A failed expectation prints what
// was expected and aborts, so that either driver reports the input.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "kfile/kfile.h"

#define FUZZ_EXPECT(condition)                                                            \
    do {                                                                                  \
        if (!(condition)) {                                                               \
            std::fprintf(stderr, "%s:%d: expected %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (0)

namespace {

// A file the library can open by name. On Linux it lives in memory (memfd) and is reached
// through /proc, so that fuzzing does not wear the disk; elsewhere it is a file in the temporary
// folder, removed when the process ends.
class ScratchFile {
  public:
    explicit ScratchFile(const char* name) {
#ifdef __linux__
        descriptor_ = memfd_create(name, 0);
        if (descriptor_ >= 0) {
            path_ = "/proc/self/fd/" + std::to_string(descriptor_);
            return;
        }
#endif
        path_ = (std::filesystem::temp_directory_path() /
                 (std::string(name) + "_" + std::to_string(std::rand()) + ".k"))
                    .string();
        owned_ = true;
    }
    ~ScratchFile() {
        if (owned_) {
            std::error_code ignored;
            std::filesystem::remove(path_, ignored);
        }
#ifdef __linux__
        if (descriptor_ >= 0) {
            close(descriptor_);
        }
#endif
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& Path() const {
        return path_;
    }

    bool Fill(const uint8_t* data, size_t size) const {
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        if (!file) {
            return false;
        }
        bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
        return std::fclose(file) == 0 && written;
    }

    std::vector<uint8_t> Bytes() const {
        std::vector<uint8_t> bytes;
        std::FILE* file = std::fopen(path_.c_str(), "rb");
        if (!file) {
            return bytes;
        }
        uint8_t block[4096];
        size_t arrived;
        while ((arrived = std::fread(block, 1, sizeof block, file)) > 0) {
            bytes.insert(bytes.end(), block, block + arrived);
        }
        std::fclose(file);
        return bytes;
    }

  private:
    std::string path_;
    int descriptor_ = -1;
    bool owned_ = false;
};

template <typename T>
T LoadLittleEndian(const uint8_t* at) {
    uint64_t bits = 0;
    for (size_t i = 0; i < sizeof(T); ++i) {
        bits |= uint64_t{at[i]} << (8 * i);
    }
    T value;
    std::memcpy(&value, &bits, sizeof(T));
    return value;
}

template <typename T>
bool SameBits(T a, T b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

const KFileDatagroupSection* Datagroups(const KFileContents& contents) {
    return dynamic_cast<const KFileDatagroupSection*>(contents.FindSection("DATAGROUP"));
}

const KFileParameterSection* Parameters(const KFileContents& contents) {
    return dynamic_cast<const KFileParameterSection*>(contents.FindSection("PARAMETER"));
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

void CheckReadResult(const KFileManager& manager, const KFileContents* contents,
                     const uint8_t* data, size_t size) {
    KReadError error = manager.GetLastError();
    FUZZ_EXPECT(!manager.DescribeLastError().empty());
    if (contents) {
        FUZZ_EXPECT(error == KReadError::kNone);
        return;
    }
    FUZZ_EXPECT(error != KReadError::kNone && error != KReadError::kNotOpen);
    if (size < 4) {
        FUZZ_EXPECT(error == KReadError::kTooShort);
    } else if (data[0] != 'K' || data[1] != '#') {
        FUZZ_EXPECT(error == KReadError::kBadMagic);
    }
}

// Queries ------------------------------------------------------------------------------------

void ExerciseSections(const KFileContents& contents) {
    for (int32_t i = 0; i < contents.GetSectionCount(); ++i) {
        KFileSection* section = contents.GetSection(i);
        FUZZ_EXPECT(contents.FindSection(section->GetName()) == section);  // no duplicates kept
        FUZZ_EXPECT(section->GetSize() >= 2);
    }
    FUZZ_EXPECT(contents.FindSection("NO SUCH SECTION") == nullptr);
}

void ExerciseDatagroups(const KFileContents& contents, const std::set<int16_t>& recordIds) {
    const KFileDatagroupSection* section = Datagroups(contents);
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

void ExerciseFrames(KFileContents& contents) {
    int32_t count = contents.GetDynamicRecordCount();
    int32_t last = 0;
    std::map<std::pair<int16_t, int32_t>, KFileDynamicRecord*> firstByKey;
    for (int32_t i = 0; i < count; ++i) {
        KFileDynamicRecord* record = contents.GetDynamicRecord(i);
        last = std::max(last, record->GetFrame());
        firstByKey.emplace(std::make_pair(record->GetId(), record->GetFrame()), record);
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
    for (int32_t i = 0; i < contents.GetDynamicRecordCount(); ++i) {
        KFileDynamicRecord& record = *contents.GetDynamicRecord(i);
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
    const KFileParameterSection* section = Parameters(contents);
    for (int32_t i = 0; section && i < section->GetRecordCount(); ++i) {
        const KFileParameterRecord& parameter = *section->GetRecord(i);
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

void ExerciseSectionSearch(KFileManager& manager) {
    for (const char* name : {"PARAMETER", "datagroup", "NO SUCH SECTION"}) {
        manager.GetWrapper().SeekToSection(name);
    }
}

// Round trip ---------------------------------------------------------------------------------

constexpr size_t kMaxText = 254;

// Whether the writer can store every record: names and labels fit their length byte, counts
// are not negative and no record outgrows its int16 frame.
bool Storable(const KFileContents& contents) {
    const KFileDatagroupSection* groups = Datagroups(contents);
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
    const KFileParameterSection* parameters = Parameters(contents);
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
    const KFileDatagroupSection* a = Datagroups(read);
    const KFileDatagroupSection* b = Datagroups(reread);
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
    const KFileParameterSection* a = Parameters(read);
    const KFileParameterSection* b = Parameters(reread);
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

std::unique_ptr<KFileContents> ReadFile(const std::string& path) {
    KFileManager manager;
    if (manager.Open(path) == 0) {
        return nullptr;
    }
    std::unique_ptr<KFileContents> contents = manager.Read();
    manager.Close();
    return contents;
}

void CheckRoundTrip(KFileContents& contents) {
    static const ScratchFile written("kfile_fuzz_written");
    static const ScratchFile rewritten("kfile_fuzz_rewritten");
    bool storable = Storable(contents);
    KFileManager writer;
    if (!writer.Write(written.Path(), contents)) {
        FUZZ_EXPECT(!storable);
        return;
    }
    std::unique_ptr<KFileContents> reread = ReadFile(written.Path());
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
    FUZZ_EXPECT(rewriter.Write(rewritten.Path(), *reread));
    FUZZ_EXPECT(written.Bytes() == rewritten.Bytes());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ScratchFile input("kfile_fuzz_input");
    if (!input.Fill(data, size)) {
        return 0;
    }
    KFileManager manager;
    FUZZ_EXPECT(manager.Open(input.Path()) != 0);
    std::unique_ptr<KFileContents> contents = manager.Read();
    CheckReadResult(manager, contents.get(), data, size);
    ExerciseSectionSearch(manager);
    manager.Close();
    if (!contents) {
        return 0;
    }
    std::set<int16_t> recordIds;
    for (int32_t i = 0; i < contents->GetDynamicRecordCount(); ++i) {
        recordIds.insert(contents->GetDynamicRecord(i)->GetId());
    }
    ExerciseSections(*contents);
    ExerciseDatagroups(*contents, recordIds);
    ExerciseFrames(*contents);
    ExerciseCursors(*contents);
    ExerciseRecordValues(*contents);
    ExerciseParameters(*contents);
    CheckRoundTrip(*contents);
    return 0;
}
