// Malformed files, one per failure mode, as small annotated byte arrays. Each must read without
// fault, give the expected result, and never make the reader allocate more than the file holds.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <set>

#include "ReadSupport.h"

using namespace kfile;
using namespace testsupport;

namespace {

Bytes Group(int16_t id, const std::vector<std::string>& labels, float rate = 100.0f) {
    return DatagroupPayload(id, "", kValueDouble, 8, rate, labels);
}

// A DATAGROUP section with one datagroup of one channel: 2 + (2 + 19) = 23 body bytes.
Bytes OneGroupSection() {
    return ByteBuilder().Section("DATAGROUP", RecordBody({Group(0, {"m <P-X>"})})).bytes();
}

struct MalformedCase {
    const char* name;
    Bytes bytes;
    KReadError error;  // kNone: the file reads
    std::function<void(const KFileContents&)> check;
};

// By name: the default print of the case's bytes would read its padding, which is never set.
void PrintTo(const MalformedCase& c, std::ostream* out) {
    *out << c.name;
}

std::vector<std::string> Labels(const KFileContents& contents, int16_t id) {
    std::vector<std::string> labels;
    contents.GetDatagroupLabels(id, labels);
    return labels;
}

std::vector<int32_t> Frames(const KFileContents& contents) {
    std::vector<int32_t> frames;
    for (const KFileDynamicRecord& record : contents.GetDynamicRecords()) {
        frames.push_back(record.GetFrame());
    }
    return frames;
}

const KFileParameterRecord* FirstParameter(const KFileContents& contents) {
    const KFileParameterSection* section = contents.GetParameterSection();
    return section && section->GetRecordCount() > 0 ? section->GetRecord(0) : nullptr;
}

std::vector<MalformedCase> Cases() {
    std::vector<MalformedCase> cases;
    auto add = [&](const char* name, ByteBuilder b, KReadError error,
                   std::function<void(const KFileContents&)> check = nullptr) {
        cases.push_back({name, b.bytes(), error, std::move(check)});
    };

    add("ThreeBytes", ByteBuilder().Raw({'K', '#', 1}), KReadError::kTooShort);
    add("LowerCaseMagic", ByteBuilder().Raw({'k', '#', 1, 0}).Terminator(), KReadError::kBadMagic);
    add("HeaderOnly", ByteBuilder().FileHeader(), KReadError::kNoSectionTerminator);
    add("HeaderCutInsideSectionHeader", ByteBuilder().FileHeader().I32(0).Raw({'D', 'A'}),
        KReadError::kSectionCutShort);

    // A section claiming 2 GB in a 50-byte file: a short read, not a 2 GB buffer.
    add("SectionLengthBeyondEnd",
        ByteBuilder().FileHeader().SectionHeader(0x7FFFFFFF, "MYSTERY").Raw({1, 2, 3}),
        KReadError::kSectionCutShort);
    // 40 bytes follow a header claiming 100: enough to pass for a terminator if the reader
    // stopped where the body began, but the body runs to the end of the file.
    add("UnknownSectionCutWithAHeaderStillLeft",
        ByteBuilder().FileHeader().SectionHeader(100, "MYSTERY").Raw(Bytes(40, 0)),
        KReadError::kSectionCutShort);
    add("DatagroupLengthBeyondEnd",
        ByteBuilder().FileHeader().SectionHeader(0x7FFFFFFF, "DATAGROUP").I16(0),
        KReadError::kSectionCutShort);
    // A record frame claiming 30000 bytes with 4 present.
    add("RecordLengthBeyondEnd",
        ByteBuilder().FileHeader().SectionHeader(40, "DATAGROUP").I16(30000).Raw({1, 2, 3, 4}),
        KReadError::kSectionCutShort);

    // A negative record length ends the body as a failed read would; the records before it stay
    // and the next section is still found at the end of the declared body.
    {
        Bytes group = Group(0, {"a <P-X>"});
        ByteBuilder body;
        body.Framed(group).I16(-5).Raw(Bytes(6, 0xEE));
        add("NegativeRecordLength",
            ByteBuilder()
                .FileHeader()
                .Section("DATAGROUP", body.bytes())
                .Section("PARAMETER", RecordBody({}))
                .Terminator(),
            KReadError::kNone, [](const KFileContents& c) {
                EXPECT_EQ(Labels(c, 0), std::vector<std::string>{"a <P-X>"});
                EXPECT_NE(c.FindSection("PARAMETER"), nullptr);
            });
    }

    // Fields that run past the record's length decode only what fits.
    add("DatagroupNameRunsPastRecord",
        ByteBuilder()
            .FileHeader()
            .Section("DATAGROUP",
                     RecordBody({ByteBuilder().I16(2).U8(200).Raw({'A', 'B'}).bytes()}))
            .Terminator(),
        KReadError::kNone, [](const KFileContents& c) {
            EXPECT_EQ(c.GetDatagroupCount(), 1);
            EXPECT_EQ(c.GetDatagroupRate(2), 0.0f);
            std::vector<std::string> labels{"kept"};
            EXPECT_TRUE(c.GetDatagroupLabels(2, labels));
            EXPECT_TRUE(labels.empty());
        });
    add("LabelCountBeyondRecord",
        ByteBuilder()
            .FileHeader()
            .Section("DATAGROUP", RecordBody({ByteBuilder()
                                                  .I16(0)
                                                  .U8(0)
                                                  .U8(6)
                                                  .U8(8)
                                                  .F32(50.0f)
                                                  .I16(30000)
                                                  .U8(2)
                                                  .Raw({'a', 0})
                                                  .U8(40)
                                                  .Raw({'b', 'c'})  // M runs past the end, no NUL
                                                  .bytes()}))
            .Terminator(),
        KReadError::kNone, [](const KFileContents& c) {
            EXPECT_EQ(Labels(c, 0), (std::vector<std::string>{"a", "bc"}));
            EXPECT_EQ(c.GetDatagroupRate(0), 50.0f);
        });
    add("ParameterDimensionsBeyondRecord",
        ByteBuilder()
            .FileHeader()
            .Section("PARAMETER",
                     RecordBody({ByteBuilder().U8(2).Raw({'P', 0}).U8(6).U8(200).I16(2).bytes()}))
            .Terminator(),
        KReadError::kNone, [](const KFileContents& c) {
            const KFileParameterSection* section = c.GetParameterSection();
            ASSERT_NE(section, nullptr);
            const KFileParameterRecord* p = section->FindRecord("P");
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(p->GetDimensions(), std::vector<int16_t>{2});
            EXPECT_TRUE(p->GetValues().empty());
            EXPECT_EQ(p->GetDouble(1), 0.0);
        });
    // 32767^3 doubles claimed, a few bytes present: the count saturates, nothing is allocated
    // for it and the getters stay inside the bytes that are there.
    add("ParameterElementCountOverflows",
        ByteBuilder()
            .FileHeader()
            .Section("PARAMETER", RecordBody({ByteBuilder()
                                                  .U8(2)
                                                  .Raw({'H', 0})
                                                  .U8(6)
                                                  .U8(3)
                                                  .I16(32767)
                                                  .I16(32767)
                                                  .I16(32767)
                                                  .F64(3.5)
                                                  .bytes()}))
            .Terminator(),
        KReadError::kNone, [](const KFileContents& c) {
            const KFileParameterRecord* p = FirstParameter(c);
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(p->GetElementCount(), INT32_MAX);
            EXPECT_EQ(p->GetValues().size(), 8u);
            EXPECT_EQ(p->GetDouble(0), 3.5);
            EXPECT_EQ(p->GetDouble(1), 0.0);
            EXPECT_EQ(p->GetText(5), "");
        });
    add("ParameterNegativeDimension",
        ByteBuilder()
            .FileHeader()
            .Section(
                "PARAMETER",
                RecordBody({ByteBuilder().U8(2).Raw({'N', 0}).U8(4).U8(1).I16(-3).I32(7).bytes()}))
            .Terminator(),
        KReadError::kNone, [](const KFileContents& c) {
            const KFileParameterRecord* p = FirstParameter(c);
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(p->GetElementCount(), -3);
            EXPECT_TRUE(p->GetValues().empty());
            EXPECT_EQ(p->GetLong(0), 0);
        });

    // Dynamic records.
    add("DynamicRecordShorterThanItsHeader",
        ByteBuilder().FileHeader().Raw(OneGroupSection()).Terminator().I16(3).Raw({9, 0, 7}),
        KReadError::kNone, [](const KFileContents& c) {
            ASSERT_EQ(c.GetDynamicRecordCount(), 1);
            const KFileDynamicRecord* r = c.GetDynamicRecord(0);
            EXPECT_EQ(r->GetId(), 9);
            EXPECT_EQ(r->GetFrame(), -1);
            EXPECT_EQ(r->GetValueBytes(), 0);
            double value = 1.0;
            EXPECT_FALSE(r->GetDouble(0, value));
            EXPECT_EQ(value, 0.0);
        });
    add("DynamicRecordLengthBeyondEnd",
        ByteBuilder()
            .FileHeader()
            .Raw(OneGroupSection())
            .Terminator()
            .Framed(DynamicPayload(0, 1, {1.0}))
            .I16(32000)
            .Raw({1, 2, 3}),
        KReadError::kNone,
        [](const KFileContents& c) { EXPECT_EQ(Frames(c), std::vector<int32_t>{1}); });
    add("DynamicRecordLengthZeroIsSkipped",
        ByteBuilder()
            .FileHeader()
            .Raw(OneGroupSection())
            .Terminator()
            .Framed(DynamicPayload(0, 1, {1.0}))
            .I16(0)
            .I16(-4)
            .Framed(DynamicPayload(0, 2, {2.0})),
        KReadError::kNone, [](const KFileContents& c) {
            EXPECT_EQ(Frames(c), (std::vector<int32_t>{1, 2}));
        });
    add("TrailingByte",
        ByteBuilder().FileHeader().Terminator().Framed(DynamicPayload(0, 5, {})).U8(7),
        KReadError::kNone,
        [](const KFileContents& c) { EXPECT_EQ(Frames(c), std::vector<int32_t>{5}); });
    add("ValueBlockLongerThanTheDatagroup",
        ByteBuilder()
            .FileHeader()
            .Raw(OneGroupSection())
            .Terminator()
            .Framed(DynamicPayload(0, 1, {1.0, 2.0, 3.0})),
        KReadError::kNone, [](const KFileContents& c) {
            double value = 0;
            EXPECT_TRUE(c.FindDynamicRecord(0, 1)->GetDouble(2, value));
            EXPECT_EQ(value, 3.0);
            EXPECT_FALSE(c.FindDynamicRecord(0, 1)->GetDouble(3, value));
        });

    // The section list.
    add("NegativeTerminator",
        ByteBuilder().FileHeader().SectionHeader(-5, "").Framed(DynamicPayload(0, 3, {})),
        KReadError::kNone,
        [](const KFileContents& c) { EXPECT_EQ(Frames(c), std::vector<int32_t>{3}); });
    add("UnknownSectionBetweenKnownOnes",
        ByteBuilder()
            .FileHeader()
            .Section("PARAMETER", RecordBody({}))
            .Section("MYSTERY",
                     ByteBuilder().I32(0).Raw(Bytes(6, 0)).bytes())  // looks like a terminator
            .Raw(OneGroupSection())
            .Terminator(),
        KReadError::kNone, [](const KFileContents& c) {
            EXPECT_EQ(c.GetSectionCount(), 2);
            EXPECT_EQ(c.FindSection("MYSTERY"), nullptr);
            EXPECT_EQ(c.GetDatagroupCount(), 1);
        });
    add("MixedCaseSectionName",
        ByteBuilder().FileHeader().Section("DataGroup", RecordBody({Group(0, {"x"})})).Terminator(),
        KReadError::kNone, [](const KFileContents& c) { EXPECT_EQ(c.GetDatagroupCount(), 1); });
    add("BodyLongerThanItsRecords",
        ByteBuilder()
            .FileHeader()
            .Section("DATAGROUP",
                     ByteBuilder().Raw(RecordBody({Group(0, {"x"})})).Raw(Bytes(9, 0x11)).bytes())
            .Terminator()
            .Framed(DynamicPayload(0, 4, {1.0})),
        KReadError::kNone, [](const KFileContents& c) {
            EXPECT_EQ(c.GetDatagroupCount(), 1);
            EXPECT_EQ(Frames(c), std::vector<int32_t>{4});
        });
    // The body claims 2 bytes fewer than its records use: the reader steps back to the declared
    // end, where the closing zero and the terminator's first 30 bytes read as a terminator; the
    // terminator's last two zero bytes are then a dynamic-record length of 0.
    {
        Bytes body = RecordBody({Group(0, {"x"})});
        add("BodyShorterThanItsRecords",
            ByteBuilder()
                .FileHeader()
                .SectionHeader(static_cast<int32_t>(body.size() - 2), "DATAGROUP")
                .Raw(body)
                .Terminator()
                .Framed(DynamicPayload(0, 6, {1.0})),
            KReadError::kNone, [](const KFileContents& c) {
                EXPECT_EQ(c.GetDatagroupCount(), 1);
                EXPECT_EQ(Frames(c), std::vector<int32_t>{6});
            });
    }
    add("SecondDatagroupSectionIsRefused",
        ByteBuilder()
            .FileHeader()
            .Section("DATAGROUP", RecordBody({Group(0, {"first"})}))
            .Section("datagroup", RecordBody({Group(0, {"second"}), Group(1, {})}))
            .Section("PARAMETER", RecordBody({}))
            .Terminator(),
        KReadError::kNone, [](const KFileContents& c) {
            EXPECT_EQ(c.GetDatagroupCount(), 1);
            EXPECT_EQ(Labels(c, 0), std::vector<std::string>{"first"});
            EXPECT_NE(c.FindSection("PARAMETER"), nullptr);
        });
    add("EmptyDatagroupBody",
        ByteBuilder().FileHeader().Section("DATAGROUP", RecordBody({})).Terminator(),
        KReadError::kNone, [](const KFileContents& c) {
            EXPECT_NE(c.FindSection("DATAGROUP"), nullptr);
            EXPECT_EQ(c.GetDatagroupCount(), 0);
        });
    // A record frame that runs past its body and past the end of the file: the body still
    // ends where its header says, so the terminator and the frames after it are read.
    add("RecordFrameRunsPastBodyAndFile",
        ByteBuilder()
            .FileHeader()
            .Section("DATAGROUP", ByteBuilder().I16(100).I16(0).bytes())
            .Terminator()
            .Framed(DynamicPayload(0, 1, {})),
        KReadError::kNone, [](const KFileContents& c) {
            EXPECT_EQ(c.GetDatagroupCount(), 0);
            EXPECT_EQ(Frames(c), std::vector<int32_t>{1});
        });
    add("BodyCutBeforeItsClosingZero",
        ByteBuilder().FileHeader().SectionHeader(100, "PARAMETER").I16(4).Raw({2, 'X', 0, 1}),
        KReadError::kSectionCutShort);
    return cases;
}

class MalformedInput : public testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedInput, ReadsSafelyWithTheExpectedResult) {
    const MalformedCase& c = GetParam();
    BytesRead read = ReadBytes(c.bytes);
    EXPECT_EQ(read.report.error, c.error) << read.report.Describe();
    EXPECT_EQ(read.contents != nullptr, c.error == KReadError::kNone);
    if (read.contents && c.check) {
        c.check(*read.contents);
    }
    // Object bookkeeping aside, no buffer may exceed the file.
    EXPECT_LE(read.largestAllocation, c.bytes.size() + 1024);
}

INSTANTIATE_TEST_SUITE_P(KFile, MalformedInput, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<MalformedCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(ReadErrors, EveryErrorHasItsOwnMessage) {
    std::set<std::string> messages;
    const KReadError errors[] = {KReadError::kNone,
                                 KReadError::kCannotOpen,
                                 KReadError::kNotOpen,
                                 KReadError::kTooShort,
                                 KReadError::kBadMagic,
                                 KReadError::kNoSectionTerminator,
                                 KReadError::kSectionCutShort,
                                 KReadError::kCannotSeek,
                                 KReadError::kNoMemory};
    for (KReadError e : errors) {
        messages.insert(KReadErrorMessage(e));
    }
    EXPECT_EQ(messages.size(), std::size(errors));
}

TEST(ReadErrors, ReadWithoutAnOpenFile) {
    KFileManager manager;
    EXPECT_EQ(manager.Open("/nonexistent/take.K"), 0);
    EXPECT_EQ(manager.Read(), nullptr);
    EXPECT_EQ(manager.GetLastError(), KReadError::kNotOpen);
}

// The description outlives the file: it is asked after Close, as callers do.
TEST(ReadErrors, DescriptionNamesTheSectionAndTheOffsetAfterClose) {
    TempDir dir;
    KFileManager manager;
    ASSERT_EQ(manager.Open(dir.Write(
                  "cut.K", ByteBuilder().FileHeader().SectionHeader(64, "DATAGROUP").bytes())),
              kOpenedForUpdate);
    EXPECT_EQ(manager.Read(), nullptr);
    manager.Close();
    const char* expected =
        "the file ends inside a section (in section DATAGROUP, at byte 4 of a 36-byte file)";
    EXPECT_EQ(manager.DescribeLastError(), expected);
    EXPECT_EQ(ReadTake(dir.Path("cut.K")).report.Describe(), expected);
}

}  // namespace
