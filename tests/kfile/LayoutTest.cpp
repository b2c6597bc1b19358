// The byte layouts of records, sections and files, checked against hand-made bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <ostream>

#include "ReadSupport.h"

using namespace kfile;
using namespace testsupport;

namespace {

// A record of kind R made from payload bytes and unpacked, as the reader makes it.
template <typename R>
std::unique_ptr<R> Unpacked(const Bytes& payload) {
    KBytes raw(new uint8_t[payload.size()]);
    std::copy(payload.begin(), payload.end(), raw.get());
    auto record = std::make_unique<R>(std::move(raw), static_cast<int16_t>(payload.size()));
    record->Unpack();
    return record;
}

Bytes RawOf(const KFileRecord& record) {
    return Bytes(record.GetData(), record.GetData() + record.GetLength());
}

TEST(DatagroupLayout, PackedRecordMatchesAHandMadePayload) {
    KFileDatagroupRecord record(3, kValueDouble, 8, 120.0f);
    record.SetName("A");
    record.AppendLabel("<P-X>");
    record.AppendLabel("<P-Y>");
    ASSERT_EQ(record.Pack(), 27);
    EXPECT_EQ(RawOf(record), (Bytes{0x03, 0x00, 0x02, 0x41, 0x00, 0x06, 0x08, 0x00, 0x00,
                                    0xF0, 0x42, 0x02, 0x00, 0x06, 0x3C, 0x50, 0x2D, 0x58,
                                    0x3E, 0x00, 0x06, 0x3C, 0x50, 0x2D, 0x59, 0x3E, 0x00}));
    EXPECT_TRUE(record.IsModified());
}

TEST(DatagroupLayout, UnpackReadsEveryField) {
    auto unpacked = Unpacked<KFileDatagroupRecord>(
        DatagroupPayload(7, "Skeleton", kValueFloat, 4, 60.0f, {"a <A-X>", "b"}));
    const KFileDatagroupRecord& record = *unpacked;
    EXPECT_EQ(record.GetId(), 7);
    EXPECT_EQ(record.GetName(), "Skeleton");
    EXPECT_EQ(record.GetValueType(), kValueFloat);
    EXPECT_EQ(record.GetValueTypeName(), "Float");
    EXPECT_EQ(record.GetValueSize(), 4);
    EXPECT_EQ(record.GetRate(), 60.0f);
    EXPECT_EQ(record.GetLabels(), (std::vector<std::string>{"a <A-X>", "b"}));
    EXPECT_FALSE(record.IsModified());
}

TEST(DatagroupLayout, EmptyNameAndNoLabelsGiveElevenBytes) {
    Bytes payload = DatagroupPayload(0, "", kValueDouble, 8, 100.0f, {});
    ASSERT_EQ(payload.size(), 11u);
    KFileDatagroupRecord record(0, kValueDouble, 8, 100.0f);
    EXPECT_EQ(record.Pack(), 11);
    EXPECT_EQ(RawOf(record), payload);
}

TEST(DatagroupLayout, LabelWithEarlyNulKeepsTheNextEntryInPlace) {
    // Entry 1 declares M = 6 but its text ends after "ab"; entry 2 still starts 7 bytes later.
    Bytes payload = ByteBuilder()
                        .I16(0)
                        .U8(0)
                        .U8(kValueDouble)
                        .U8(8)
                        .F32(30.0f)
                        .I16(2)
                        .U8(6)
                        .Raw({'a', 'b', 0, 'x', 'y', 0})
                        .U8(2)
                        .Raw({'c', 0})
                        .bytes();
    BytesRead read = ReadBytes(ByteBuilder()
                                   .FileHeader()
                                   .Section("DATAGROUP", RecordBody({payload}))
                                   .Terminator()
                                   .bytes());
    ASSERT_TRUE(read.contents);
    std::vector<std::string> labels;
    ASSERT_TRUE(read.contents->GetDatagroupLabels(0, labels));
    EXPECT_EQ(labels, (std::vector<std::string>{"ab", "c"}));
}

TEST(ValueTypes, NamesAndWidths) {
    const std::vector<std::pair<const char*, int32_t>> expected = {
        {"", 0},      {"Binary", 1}, {"Text", 1},    {"Short", 2}, {"Long", 4},
        {"Float", 4}, {"Double", 8}, {"Boolean", 1}, {"", 2},      {"", 0}};
    for (int32_t code = 0; code < static_cast<int32_t>(expected.size()); ++code) {
        EXPECT_EQ(KValueTypeName(code), expected[code].first) << code;
        EXPECT_EQ(KValueTypeWidth(code), expected[code].second) << code;
    }
    EXPECT_EQ(KValueTypeWidth(-1), 0);
}

TEST(ParameterLayout, ShortVectorOfTwo) {
    Bytes payload{0x02, 0x58, 0x00, 0x03, 0x01, 0x02, 0x00, 0x34, 0x12, 0xCD, 0xAB};
    auto unpacked = Unpacked<KFileParameterRecord>(payload);
    KFileParameterRecord& record = *unpacked;
    EXPECT_EQ(record.GetName(), "X");
    EXPECT_EQ(record.GetType(), kValueShort);
    EXPECT_EQ(record.GetElementCount(), 2);
    EXPECT_EQ(record.GetShort(0), 0x1234);
    EXPECT_EQ(record.GetShort(1), static_cast<int16_t>(0xABCD));
    EXPECT_EQ(record.GetPackedSize(), 11);
    EXPECT_EQ(record.Pack(), 11);
    EXPECT_EQ(RawOf(record), payload);
}

TEST(ParameterLayout, NoDimensionsMeansOneElement) {
    auto record = Unpacked<KFileParameterRecord>(
        {0x02, 'R', 0, kValueDouble, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F});
    EXPECT_EQ(record->GetElementCount(), 1);
    EXPECT_EQ(record->GetDouble(0), 1.0);
}

TEST(ParameterLayout, UnknownTypeCodeHasNoValueBytes) {
    auto record = Unpacked<KFileParameterRecord>({0x02, 'Q', 0, 9, 1, 4, 0});
    EXPECT_EQ(record->GetElementSize(), 0);
    EXPECT_EQ(record->GetElementCount(), 4);
    EXPECT_TRUE(record->GetValues().empty());
    EXPECT_EQ(record->GetPackedSize(), 7);
}

TEST(ParameterLayout, TextSlotsAreCutAndPadded) {
    KFileParameterRecord record("LABELS", kValueText);
    record.AppendDimension(4);
    record.AppendDimension(2);
    EXPECT_TRUE(record.SetText(0, "ABCDEF"));
    EXPECT_EQ(record.GetValues(), (std::vector<uint8_t>{'A', 'B', 'C', 'D', 0, 0, 0, 0}));
    EXPECT_EQ(record.GetText(0), "ABC");
    EXPECT_TRUE(record.SetText(1, "A"));
    EXPECT_EQ(record.GetValues(), (std::vector<uint8_t>{'A', 'B', 'C', 'D', 'A', 0, 0, 0}));
    EXPECT_EQ(record.GetText(1), "A");
    EXPECT_FALSE(record.SetText(2, "no slot"));
    EXPECT_EQ(record.GetText(2), "");
}

TEST(DynamicLayout, RecordMadeFromADatagroup) {
    KFileDatagroupRecord group(4, kValueDouble, 8, 100.0f);
    for (const char* label : {"a", "b", "c"}) {
        group.AppendLabel(label);
    }
    KFileDynamicRecord record(group);
    EXPECT_EQ(record.GetLength(), 30);
    EXPECT_EQ(record.GetValueBytes(), 24);
    EXPECT_EQ(record.GetId(), 4);
    EXPECT_EQ(record.GetFrame(), -1);
    record.SetId(5);
    record.SetFrame(12);
    ASSERT_EQ(record.Pack(), 30);
    EXPECT_EQ(Bytes(record.GetData(), record.GetData() + 6),
              (Bytes{0x05, 0x00, 0x0C, 0x00, 0x00, 0x00}));
    EXPECT_FALSE(record.IsModified());
}

// A dynamic record of datagroup 1 at frame 2 with the given value bytes.
std::unique_ptr<KFileDynamicRecord> DynamicFrom(const Bytes& values) {
    return Unpacked<KFileDynamicRecord>(ByteBuilder().I16(1).I32(2).Raw(values).bytes());
}

TEST(DynamicLayout, MissingValueMarkersAreExactBitPatterns) {
    double d = 0;
    EXPECT_FALSE(DynamicFrom({0, 0, 0, 0, 0, 0, 0xF0, 0x43})->GetDouble(0, d));
    EXPECT_EQ(d, 18446744073709551616.0);
    EXPECT_TRUE(DynamicFrom({1, 0, 0, 0, 0, 0, 0xF0, 0x43})->GetDouble(0, d));
    float f = 0;
    EXPECT_FALSE(DynamicFrom({0, 0, 0x80, 0x4F})->GetFloat(0, f));
    EXPECT_EQ(f, 4294967296.0f);
    int16_t s = 0;
    EXPECT_FALSE(DynamicFrom({0xFF, 0xFF})->GetShort(0, s));
    EXPECT_EQ(s, -1);
    int32_t l = 0;
    EXPECT_FALSE(DynamicFrom({0xFF, 0xFF, 0xFF, 0xFF})->GetLong(0, l));
    EXPECT_EQ(l, -1);
    bool b = false;
    EXPECT_FALSE(DynamicFrom({0xFF})->GetBoolean(0, b));
    EXPECT_TRUE(b);
    EXPECT_TRUE(DynamicFrom({0x02})->GetBoolean(0, b));
    EXPECT_TRUE(b);
    EXPECT_TRUE(DynamicFrom({0x00})->GetBoolean(0, b));
    EXPECT_FALSE(b);
    // NaN and infinity are ordinary values.
    EXPECT_TRUE(DynamicFrom({0, 0, 0, 0, 0, 0, 0xF8, 0x7F})->GetDouble(0, d));
    EXPECT_TRUE(DynamicFrom({0, 0, 0x80, 0x7F})->GetFloat(0, f));
}

TEST(DynamicLayout, ValuesAreReadAtOddOffsetsInPlace) {
    auto unpacked = DynamicFrom(ByteBuilder().F64(1.5).F64(-2.25).bytes());
    KFileDynamicRecord& record = *unpacked;
    EXPECT_EQ(record.GetId(), 1);
    EXPECT_EQ(record.GetFrame(), 2);
    EXPECT_TRUE(record.SetDouble(1, 8.0));
    double value = 0;
    EXPECT_TRUE(record.GetDouble(0, value));
    EXPECT_EQ(value, 1.5);
    EXPECT_TRUE(record.GetDouble(1, value));
    EXPECT_EQ(value, 8.0);
    EXPECT_EQ(record.GetData()[6 + 8 + 7], 0x40);  // little-endian 8.0 ends in 0x40
}

TEST(FileLayout, CreateWritesHeaderAndAddsTheExtension) {
    TempDir dir;
    {
        KFileManager manager;
        ASSERT_TRUE(manager.Create(dir.Path("take")));
        KFileDatagroupSection section(0);
        section.AddRecord(std::make_unique<KFileDatagroupRecord>(0, kValueDouble, 8, 50.0f));
        ASSERT_TRUE(manager.WriteSection(&section));
        EXPECT_EQ(section.GetStoredSize(), 2 + (2 + 11));
        ASSERT_TRUE(manager.WriteTerminator());
    }
    Bytes expected =
        ByteBuilder()
            .FileHeader(1)
            .Section("DATAGROUP", RecordBody({DatagroupPayload(0, "", 6, 8, 50.0f, {})}))
            .Terminator()
            .bytes();
    EXPECT_EQ(ReadFileBytes(dir.Path("take.K")), expected);
}

TEST(FileLayout, SectionHeaderNameIsCutToTwentySevenCharacters) {
    TempDir dir;
    KFileManager manager;
    ASSERT_TRUE(manager.GetWrapper().Create(dir.Path("h.K")));
    KDatagroupSectionHandler handler(&manager.GetWrapper());
    ASSERT_TRUE(handler.WriteSectionHeader(5, std::string(40, 'N')));
    manager.Close();
    Bytes bytes = ReadFileBytes(dir.Path("h.K"));
    ASSERT_EQ(bytes.size(), 32u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 4), (Bytes{5, 0, 0, 0}));
    EXPECT_EQ(std::count(bytes.begin() + 4, bytes.end(), 'N'), 27);
    EXPECT_EQ(bytes.back(), 0);
}

TEST(FileLayout, UnknownHandlerWritesNothing) {
    KExtendedFileWrapper wrapper;
    KUnknownSectionHandler handler(&wrapper);
    EXPECT_TRUE(handler.Handles("anything"));
    EXPECT_FALSE(handler.WriteSectionHeader(4, "X"));
}

// Names and labels carry their length (NUL included) in one byte: 254 characters fit, 255 do
// not, and such a record packs to nothing rather than to a corrupt length byte.
struct StorableCase {
    const char* name;
    std::function<int16_t()> pack;
    bool storable;
};

// By name: the default print of the case's bytes would read its padding, which is never set.
void PrintTo(const StorableCase& c, std::ostream* out) {
    *out << c.name;
}

int16_t PackDatagroup(size_t nameLength, size_t labelLength, int32_t labelCount) {
    KFileDatagroupRecord record(0, kValueDouble, 8, 100.0f);
    record.SetName(std::string(nameLength, 'n'));
    for (int32_t i = 0; i < labelCount; ++i) {
        record.AppendLabel(std::string(labelLength, 'l'));
    }
    return record.Pack();
}

int16_t PackParameter(size_t nameLength) {
    KFileParameterRecord record(std::string(nameLength, 'p'), kValueShort);
    return record.Pack();
}

class Storable : public testing::TestWithParam<StorableCase> {};

TEST_P(Storable, PacksOnlyWhatItsLengthFieldsCanHold) {
    int16_t packed = GetParam().pack();
    if (GetParam().storable) {
        EXPECT_GT(packed, 0);
    } else {
        EXPECT_EQ(packed, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Records, Storable,
    testing::Values(StorableCase{"DatagroupName254", [] { return PackDatagroup(254, 1, 1); }, true},
                    StorableCase{"DatagroupName255", [] { return PackDatagroup(255, 1, 1); },
                                 false},
                    StorableCase{"Label254", [] { return PackDatagroup(0, 254, 2); }, true},
                    StorableCase{"Label255", [] { return PackDatagroup(0, 255, 2); }, false},
                    StorableCase{"Labels16000", [] { return PackDatagroup(0, 0, 16000); }, true},
                    StorableCase{"Labels32768", [] { return PackDatagroup(0, 0, 32768); }, false},
                    StorableCase{"ParameterName254", [] { return PackParameter(254); }, true},
                    StorableCase{"ParameterName255", [] { return PackParameter(255); }, false}),
    [](const testing::TestParamInfo<StorableCase>& info) { return std::string(info.param.name); });

TEST(ParameterLayout, ValuesMissingFromTheBlockArePackedAsZeros) {
    // The record was read with its values cut short: one of four shorts is present.
    auto record = Unpacked<KFileParameterRecord>({0x02, 'V', 0, kValueShort, 1, 4, 0, 0x34, 0x12});
    ASSERT_EQ(record->GetValues().size(), 2u);
    ASSERT_EQ(record->Pack(), 15);
    EXPECT_EQ(RawOf(*record),
              (Bytes{0x02, 'V', 0, kValueShort, 1, 4, 0, 0x34, 0x12, 0, 0, 0, 0, 0, 0}));
}

TEST(DynamicLayout, ChannelsOutsideTheBlockAreToldFromMissingValues) {
    auto record = DynamicFrom(ByteBuilder().F64(1.0).Raw({0, 0, 0, 0, 0, 0, 0xF0, 0x43}).bytes());
    double value = 0.0;
    EXPECT_FALSE(record->GetDouble(1, value));  // missing
    EXPECT_TRUE(record->HasChannel(1, 8));
    EXPECT_FALSE(record->GetDouble(2, value));  // not in this record at all
    EXPECT_FALSE(record->HasChannel(2, 8));
    EXPECT_TRUE(record->HasChannel(3, 4));  // the same bytes as four floats
    EXPECT_FALSE(record->HasChannel(-1, 8));
    EXPECT_FALSE(record->HasChannel(0, 0));
}

}  // namespace
