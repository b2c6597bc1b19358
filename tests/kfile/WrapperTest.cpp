// The file wrapper: block reads and writes, end-of-file reporting, the open modes and the
// section search.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>

#include "ReadSupport.h"

using namespace kfile;
using namespace testsupport;

namespace {

class Wrapper : public testing::Test {
  protected:
    TempDir dir_;
    std::string Write(const Bytes& bytes) { return dir_.Write("w.K", bytes); }
};

TEST_F(Wrapper, ReadsExactBlocksAndReportsTheEnd) {
    KExtendedFileWrapper wrapper;
    ASSERT_EQ(wrapper.OpenExisting(Write({1, 2, 3})), kOpenedForUpdate);
    EXPECT_EQ(wrapper.GetAccessMode(), KExtendedFileWrapper::kOpenedExisting);
    uint8_t buffer[4] = {};
    EXPECT_TRUE(wrapper.Read(buffer, 0));
    EXPECT_TRUE(wrapper.Read(buffer, 3));
    EXPECT_FALSE(wrapper.AtEnd());  // reaching the end exactly is not running into it
    EXPECT_FALSE(wrapper.Read(buffer, 1));
    EXPECT_TRUE(wrapper.AtEnd());
    EXPECT_TRUE(wrapper.Seek(1, KSeekOrigin::kStart));
    EXPECT_FALSE(wrapper.AtEnd());
    EXPECT_FALSE(wrapper.Read(buffer, 4));  // a short read keeps what arrived
    EXPECT_EQ(buffer[0], 2);
    EXPECT_EQ(buffer[1], 3);
    EXPECT_FALSE(wrapper.Seek(-10, KSeekOrigin::kCurrent));  // before the start
    EXPECT_EQ(wrapper.Position(), 3u);
}

TEST_F(Wrapper, SeeksFromTheEnd) {
    KExtendedFileWrapper wrapper;
    ASSERT_EQ(wrapper.OpenExisting(Write({1, 2, 3, 4, 5})), kOpenedForUpdate);
    uint8_t byte = 0;
    ASSERT_TRUE(wrapper.Seek(-2, KSeekOrigin::kEnd));
    EXPECT_EQ(wrapper.Position(), 3u);
    EXPECT_EQ(wrapper.Remaining(), 2u);
    ASSERT_TRUE(wrapper.Read(&byte, 1));
    EXPECT_EQ(byte, 4);
    ASSERT_TRUE(wrapper.Seek(0, KSeekOrigin::kEnd));
    EXPECT_EQ(wrapper.Position(), 5u);
    EXPECT_FALSE(wrapper.Seek(-6, KSeekOrigin::kEnd));  // before the start
    EXPECT_EQ(wrapper.Position(), 5u);
}

TEST_F(Wrapper, NothingWorksWithoutAStream) {
    KExtendedFileWrapper wrapper;
    uint8_t byte = 0;
    EXPECT_FALSE(wrapper.Read(&byte, 1));
    EXPECT_FALSE(wrapper.Write(&byte, 1));
    EXPECT_FALSE(wrapper.Seek(0, KSeekOrigin::kStart));
    EXPECT_FALSE(wrapper.Flush());
    EXPECT_FALSE(wrapper.AtEnd());
    EXPECT_EQ(wrapper.Close(), 0);
    EXPECT_EQ(wrapper.OpenExisting(dir_.Path("missing.K")), kNotOpened);
    EXPECT_FALSE(wrapper.IsOpen());
    EXPECT_EQ(wrapper.GetAccessMode(), KExtendedFileWrapper::kNotOpen);
}

// An open that fails closes the file that was open before, and with it the access mode.
TEST_F(Wrapper, FailedReopenLeavesNothingOpen) {
    KExtendedFileWrapper wrapper;
    ASSERT_EQ(wrapper.OpenExisting(Write({1})), kOpenedForUpdate);
    EXPECT_EQ(wrapper.OpenExisting(dir_.Path("missing.K")), kNotOpened);
    EXPECT_FALSE(wrapper.IsOpen());
    EXPECT_EQ(wrapper.GetAccessMode(), KExtendedFileWrapper::kNotOpen);

    ASSERT_TRUE(wrapper.Create(dir_.Path("created.K")));
    EXPECT_FALSE(wrapper.Create(dir_.Path("no/such/folder.K")));
    EXPECT_EQ(wrapper.GetAccessMode(), KExtendedFileWrapper::kNotOpen);
}

TEST_F(Wrapper, ReadOnlyFilesOpenForReading) {
    std::string path = Write({'K', '#', 1, 0});
    chmod(path.c_str(), 0444);
    if (std::FILE* probe = std::fopen(path.c_str(), "r+b")) {
        std::fclose(probe);
#ifdef _WIN32
        GTEST_SKIP() << "the read-only attribute does not bind this user";
#else
        // Permissions do not bind this user; a folder still opens for reading only.
        path = dir_.Path("");
#endif
    }
    KExtendedFileWrapper wrapper;
    EXPECT_EQ(wrapper.OpenExisting(path), kOpenedReadOnly);
    EXPECT_EQ(wrapper.GetAccessMode(), KExtendedFileWrapper::kOpenedExisting);
}

TEST_F(Wrapper, CloseTwiceAndCloseOnDestruction) {
    {
        KExtendedFileWrapper wrapper;
        ASSERT_TRUE(wrapper.Create(dir_.Path("c.K")));
        EXPECT_EQ(wrapper.GetAccessMode(), KExtendedFileWrapper::kCreated);
        ASSERT_TRUE(wrapper.Write("abc", 3));
    }  // flushed and closed here
    EXPECT_EQ(ReadFileBytes(dir_.Path("c.K")), (Bytes{'a', 'b', 'c'}));
    KExtendedFileWrapper wrapper;
    ASSERT_EQ(wrapper.OpenExisting(dir_.Path("c.K")), kOpenedForUpdate);
    EXPECT_EQ(wrapper.Close(), 0);
    EXPECT_EQ(wrapper.Close(), 0);
    EXPECT_EQ(wrapper.GetAccessMode(), KExtendedFileWrapper::kNotOpen);
}

TEST_F(Wrapper, SeekToSectionFindsTheHeaderOrTheTerminator) {
    Bytes file = ByteBuilder()
                     .FileHeader()
                     .Section("PARAMETER", RecordBody({}))
                     .Section("DATAGROUP", RecordBody({}))
                     .Terminator()
                     .bytes();
    KExtendedFileWrapper wrapper;
    ASSERT_NE(wrapper.OpenExisting(Write(file)), kNotOpened);
    EXPECT_TRUE(wrapper.SeekToSection("datagroup"));
    EXPECT_EQ(wrapper.Position(), 4u + 32 + 2);
    EXPECT_TRUE(wrapper.SeekToSection("ANALOG"));
    EXPECT_EQ(wrapper.Position(), 4u + 2 * (32 + 2));
    wrapper.Close();

    ASSERT_NE(
        wrapper.OpenExisting(dir_.Write(
            "open.K", ByteBuilder().FileHeader().Section("PARAMETER", RecordBody({})).bytes())),
        kNotOpened);
    EXPECT_FALSE(wrapper.SeekToSection("DATAGROUP"));
}

// The name field is read up to its first NUL and never beyond its 28 bytes.
TEST(SectionNames, ReadUpToTheFirstNulWithinTheField) {
    for (const std::string& name : {std::string(28, 'Z'), std::string("SHORT"), std::string()}) {
        Bytes file = ByteBuilder()
                         .FileHeader()
                         .I32(2)
                         .Raw(Bytes(name.begin(), name.end()))
                         .Raw(Bytes(28 - name.size(), 0))
                         .Raw({'X', 'X'})  // the body, never part of the name
                         .Terminator()
                         .bytes();
        BytesRead read = ReadBytes(file);
        ASSERT_EQ(read.report.sections.size(), 1u) << name;
        EXPECT_EQ(read.report.sections[0].name, name);
    }
}

}  // namespace
