// The file manager's own duties: asking handlers in order, keeping its books straight when
// writing, stopping where the stream cannot be put in place, and answering memory exhaustion
// with a failure instead of an exception.
#include <gtest/gtest.h>

#include "HeapCounter.h"
#include "ReadSupport.h"
#include "SampleTake.h"

using namespace kfile;
using namespace testsupport;

namespace {

// Keeps the sections named NOTES, which the catch-all would drop.
class NotesHandler : public KSectionHandler {
  public:
    using KSectionHandler::KSectionHandler;

    bool Handles(const std::string& name) const override { return name == "NOTES"; }
    int32_t ReadSection(KFileContents* contents, int32_t bodyLength) override {
        KBytes body(new uint8_t[static_cast<size_t>(bodyLength)]);
        if (!Wrapper()->Read(body.get(), static_cast<unsigned>(bodyLength))) {
            return kShortRead;
        }
        auto section = std::make_unique<KFileUnknownSection>(bodyLength, "NOTES", std::move(body));
        (void)contents->AddSection(std::move(section));
        return kDone;
    }
    bool WriteSection(KFileSection*) override { return false; }
    bool WriteSectionHeader(int32_t, const std::string&) override { return false; }
};

Bytes TakeWithNotes() {
    return ByteBuilder()
        .FileHeader()
        .Section("NOTES", {'h', 'i'})
        .Section("DATAGROUP", RecordBody({}))
        .Terminator()
        .bytes();
}

TEST(Handlers, AHandlerAddedLaterIsAskedBeforeTheCatchAll) {
    TempDir dir;
    for (bool first : {false, true}) {
        KFileManager manager;
        auto handler = std::make_unique<NotesHandler>(&manager.GetWrapper());
        first ? manager.AddHandlerFirst(std::move(handler))
              : manager.AddHandler(std::move(handler));
        ASSERT_NE(manager.Open(dir.Write("notes.K", TakeWithNotes())), kNotOpened);
        std::unique_ptr<KFileContents> contents = manager.Read();
        ASSERT_TRUE(contents) << manager.DescribeLastError();
        const KFileSection* notes = contents->FindSection("NOTES");
        ASSERT_NE(notes, nullptr) << (first ? "AddHandlerFirst" : "AddHandler");
        EXPECT_EQ(notes->GetStoredSize(), 2);
        EXPECT_NE(contents->GetDatagroupSection(), nullptr);
        EXPECT_TRUE(manager.GetLastReport().sections.at(0).kept);
    }
}

TEST(Writing, AFailedSectionWriteLeavesTheStoredSizeAlone) {
    KFileManager manager;  // no file open: every write fails
    KFileDatagroupSection section(999);
    section.AddRecord(std::make_unique<KFileDatagroupRecord>(0, kValueDouble, 8, 50.0f));
    EXPECT_FALSE(manager.WriteSection(&section));
    EXPECT_EQ(section.GetStoredSize(), 999);
}

TEST(Writing, WriteLeavesAnOpenFileOpen) {
    TempDir dir;
    SampleTakeOptions options;
    options.frameCount = 2;
    std::string path = dir.Path("take.K");
    ASSERT_TRUE(SampleTake(options).Write(path));
    std::unique_ptr<KFileContents> take = SampleTake(options).MakeContents();

    KFileManager manager;
    ASSERT_EQ(manager.Open(path), kOpenedForUpdate);
    EXPECT_FALSE(manager.Write(dir.Path("other.K"), *take));
    EXPECT_EQ(manager.GetWrapper().GetAccessMode(), KExtendedFileWrapper::kOpenedExisting);
    std::unique_ptr<KFileContents> read = manager.Read();
    ASSERT_TRUE(read);
    EXPECT_EQ(read->GetDynamicRecordCount(), take->GetDynamicRecordCount());
    manager.Close();
    EXPECT_TRUE(manager.Write(dir.Path("other.K"), *take));
}

// A handler that leaves part of its body unread: the next header is still read where the body
// ends, not from the middle of the body.
class SkimmingHandler : public KSectionHandler {
  public:
    using KSectionHandler::KSectionHandler;

    bool Handles(const std::string& name) const override { return name == "NOTES"; }
    int32_t ReadSection(KFileContents*, int32_t) override {
        uint8_t first = 0;
        return Wrapper()->Read(&first, 1) ? kDone : kShortRead;
    }
    bool WriteSection(KFileSection*) override { return false; }
    bool WriteSectionHeader(int32_t, const std::string&) override { return false; }
};

TEST(Seeking, TheNextHeaderIsReadWhereTheBodyEnds) {
    TempDir dir;
    KFileManager manager;
    manager.AddHandlerFirst(std::make_unique<SkimmingHandler>(&manager.GetWrapper()));
    ASSERT_NE(manager.Open(dir.Write("notes.K", TakeWithNotes())), kNotOpened);
    std::unique_ptr<KFileContents> contents = manager.Read();
    ASSERT_TRUE(contents) << manager.DescribeLastError();
    EXPECT_NE(contents->GetDatagroupSection(), nullptr);
    EXPECT_EQ(manager.GetLastReport().sections.size(), 2u);
}

// Every allocation in turn is made to fail: reading and writing answer failure, never throw.
TEST(OutOfMemory, ReadingAndWritingAnswerFailureInsteadOfThrowing) {
    TempDir dir;
    SampleTakeOptions options;
    options.markerCount = 2;
    options.segmentCount = 1;
    options.frameCount = 3;
    std::string path = dir.Path("take.K");
    ASSERT_TRUE(SampleTake(options).Write(path));
    std::unique_ptr<KFileContents> take = SampleTake(options).MakeContents();

    bool read = false;
    bool written = false;
    for (long long allowed = 0; allowed < 10000 && !(read && written); ++allowed) {
        SCOPED_TRACE("allocations allowed: " + std::to_string(allowed));
        KReadResult result;
        KFileManager writer;
        const std::string copy = dir.Path("copy.K");
        bool threw = false;
        heap::FailAfter(allowed);
        try {
            result = ReadTake(path);
            written = writer.Write(copy, *take);
        } catch (...) {
            threw = true;
        }
        heap::FailAfter(-1);
        ASSERT_FALSE(threw);
        read = result.contents != nullptr;
        EXPECT_EQ(result.report.error, read ? KReadError::kNone : KReadError::kNoMemory);
    }
    EXPECT_TRUE(read && written);
    EXPECT_EQ(ReadFileBytes(path), ReadFileBytes(dir.Path("copy.K")));
}

}  // namespace
