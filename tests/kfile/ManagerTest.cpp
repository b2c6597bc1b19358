// The file manager's own duties: asking handlers in order, keeping its books straight when
// writing, stopping where the stream cannot be put in place, and answering memory exhaustion
// with a failure instead of an exception.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <thread>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

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

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

TEST(SafeWriting, ACompleteWriteReplacesTheFileAndKeepsItsPermissions) {
    TempDir dir;
    const std::string path = dir.Write("take.K", Bytes{'o', 'l', 'd'});
#ifndef _WIN32
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    const bool root = geteuid() == 0;  // then the file is another user's, who keeps it
    ASSERT_TRUE(!root || chown(path.c_str(), 65534, 65534) == 0);
#endif
    std::unique_ptr<KFileContents> take = SampleTake(SampleTakeOptions{}).MakeContents();
    KWriteReport report = WriteTake(path, *take);
    ASSERT_TRUE(report.written) << report.Describe();
    EXPECT_EQ(FolderEntries(dir.Path("")), std::vector<std::string>{"take.K"});
    EXPECT_EQ(ReadTake(path).contents->GetDynamicRecordCount(), take->GetDynamicRecordCount());
#ifndef _WIN32
    struct stat written = {};
    ASSERT_EQ(stat(path.c_str(), &written), 0);
    EXPECT_EQ(written.st_mode & 0777, 0640u);
    EXPECT_EQ(written.st_uid, root ? 65534u : geteuid());
#endif
    report = WriteTake(dir.Path("missing/take.K"), *take);
    EXPECT_FALSE(report.written);
    EXPECT_EQ(report.systemError, ENOENT);
}

TEST(SafeWriting, WritesOnSeveralThreadsAtOnceEachReplaceTheirFile) {
    TempDir dir;
    std::vector<std::thread> writers;
    std::vector<char> written(6, 0);
    for (size_t w = 0; w < written.size(); ++w) {
        writers.emplace_back([&, w] {
            auto take = SampleTake(SampleTakeOptions{}).MakeContents();  // writing packs it
            written[w] = WriteTake(dir.Path("take" + std::to_string(w) + ".K"), *take).written;
        });
    }
    for (std::thread& writer : writers) {
        writer.join();
    }
    EXPECT_EQ(written, std::vector<char>(written.size(), 1));
    EXPECT_EQ(FolderEntries(dir.Path("")).size(), written.size());
}

#ifndef _WIN32
// A write that fails or is interrupted, however that happens, leaves the file it was to replace
// as it was and no temporary file beside it. Each runs in a child process, which the signal
// ends, and which exits 0 when the write answered as expected.
struct FailingWrite {
    const char* name;
    int endingSignal;  // 0: the child exits
    std::function<bool(const std::string& path)> run;
};

bool WriteSomeBytesThenRaise(const std::string& path, int signal) {
    KWriteReport report = WriteFileSafely(path, [&](const std::string& temporary) {
        std::FILE* file = std::fopen(temporary.c_str(), "wb");
        std::fputs("partial", file);
        std::fclose(file);
        return raise(signal) == 0;
    });
    return !report.written;
}

// Root becomes a user whom permissions bind, with the take's folder open to it.
constexpr uid_t kNobody = 65534;
bool BoundByPermissions(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return geteuid() != 0 ||
           (chmod(folder.c_str(), 0777) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0);
}

bool RefusedAsUnwritable(const std::string& path) {
    auto take = SampleTake(SampleTakeOptions{}).MakeContents();
    const KWriteReport report = WriteTake(path, *take);
    return !report.written && report.systemError == EACCES &&
           report.Describe() == "Permission denied";
}

const FailingWrite kFailingWrites[] = {
    {"a record that cannot be stored", 0,
     [](const std::string& path) {
         auto take = SampleTake(SampleTakeOptions{}).MakeContents();
         take->GetDatagroupSection()->GetRecord(0)->AppendLabel(std::string(300, 'L'));
         return !WriteTake(path, *take).written;
     }},
    {"a file size limit", 0,
     [](const std::string& path) {
         const rlimit limit{200, 200};
         auto take = SampleTake(SampleTakeOptions{}).MakeContents();
         KWriteReport report;
         report = setrlimit(RLIMIT_FSIZE, &limit) == 0 ? WriteTake(path, *take) : report;
         return !report.written && report.systemError == EFBIG;
     }},
    {"a read-only file", 0,
     [](const std::string& path) {
         return chmod(path.c_str(), 0444) == 0 &&
                (geteuid() != 0 || chown(path.c_str(), kNobody, kNobody) == 0) &&
                BoundByPermissions(path) && RefusedAsUnwritable(path);
     }},
    {"another user's file", 0,
     [](const std::string& path) {
         return (geteuid() == 0 || chmod(path.c_str(), 0444) == 0) && BoundByPermissions(path) &&
                RefusedAsUnwritable(path);
     }},
    {"SIGINT", SIGINT,
     [](const std::string& path) { return WriteSomeBytesThenRaise(path, SIGINT); }},
    {"SIGTERM", SIGTERM,
     [](const std::string& path) { return WriteSomeBytesThenRaise(path, SIGTERM); }},
    {"SIGHUP", SIGHUP,
     [](const std::string& path) { return WriteSomeBytesThenRaise(path, SIGHUP); }},
};

TEST(SafeWriting, AFailedOrInterruptedWriteLeavesTheOldFileAndNoTemporary) {
    for (const FailingWrite& failing : kFailingWrites) {
        SCOPED_TRACE(failing.name);
        TempDir dir;
        const Bytes old{'K', '#', 1, 0};
        const std::string path = dir.Write("take.K", old);
        std::fflush(nullptr);
        const pid_t child = fork();
        if (child == 0) {
            _exit(failing.run(path) ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        if (failing.endingSignal != 0) {
            ASSERT_TRUE(WIFSIGNALED(status));
            EXPECT_EQ(WTERMSIG(status), failing.endingSignal);
        } else {
            ASSERT_TRUE(WIFEXITED(status));
            EXPECT_EQ(WEXITSTATUS(status), 0);
        }
        EXPECT_EQ(FolderEntries(dir.Path("")), std::vector<std::string>{"take.K"});
        EXPECT_EQ(ReadFileBytes(path), old);
    }
}
#endif

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
        EXPECT_EQ(result.report.Describe().find("of a 0-byte file"), std::string::npos);
    }
    EXPECT_TRUE(read && written);
    EXPECT_EQ(ReadFileBytes(path), ReadFileBytes(dir.Path("copy.K")));
}

}  // namespace
