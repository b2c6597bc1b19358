// The file wrapper: block reads and writes, end-of-file reporting, the open modes and the
// section search.
#include <gtest/gtest.h>

#include <unistd.h>

#include "TakeBuilder.h"

namespace {

class Wrapper : public testing::Test {
  protected:
    TempDir dir_;
    std::string Write(const Bytes& bytes) { return dir_.Write("w.K", bytes); }
};

TEST_F(Wrapper, ReadsExactBlocksAndReportsTheEnd) {
    KExtendedFileWrapper wrapper;
    ASSERT_EQ(wrapper.OpenExisting(Write({1, 2, 3})), 3);
    EXPECT_EQ(wrapper.GetAccessMode(), KExtendedFileWrapper::kOpenedExisting);
    uint8_t buffer[4] = {};
    EXPECT_TRUE(wrapper.Read(buffer, 0));
    EXPECT_TRUE(wrapper.Read(buffer, 3));
    EXPECT_FALSE(wrapper.AtEnd());  // reaching the end exactly is not running into it
    EXPECT_FALSE(wrapper.Read(buffer, 1));
    EXPECT_TRUE(wrapper.AtEnd());
    EXPECT_TRUE(wrapper.Seek(1, 0));
    EXPECT_FALSE(wrapper.AtEnd());
    EXPECT_FALSE(wrapper.Read(buffer, 4));  // a short read keeps what arrived
    EXPECT_EQ(buffer[0], 2);
    EXPECT_EQ(buffer[1], 3);
    EXPECT_FALSE(wrapper.Seek(-10, 1));  // before the start
    EXPECT_EQ(wrapper.Position(), 3u);
}

TEST_F(Wrapper, NothingWorksWithoutAStream) {
    KExtendedFileWrapper wrapper;
    uint8_t byte = 0;
    EXPECT_FALSE(wrapper.Read(&byte, 1));
    EXPECT_FALSE(wrapper.Write(&byte, 1));
    EXPECT_FALSE(wrapper.Seek(0, 0));
    EXPECT_FALSE(wrapper.Flush());
    EXPECT_FALSE(wrapper.AtEnd());
    EXPECT_EQ(wrapper.Close(), 0);
    EXPECT_EQ(wrapper.OpenExisting(dir_.Path("missing.K")), 0);
    EXPECT_FALSE(wrapper.IsOpen());
    EXPECT_EQ(wrapper.GetAccessMode(), KExtendedFileWrapper::kNotOpen);
}

TEST_F(Wrapper, ReadOnlyFilesOpenForReading) {
    std::string path = Write({'K', '#', 1, 0});
    chmod(path.c_str(), 0444);
    if (access(path.c_str(), W_OK) == 0) {
        // Permissions do not bind this user; a folder still opens for reading only.
        path = dir_.Path("");
    }
    KExtendedFileWrapper wrapper;
    EXPECT_EQ(wrapper.OpenExisting(path), 1);
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
    ASSERT_EQ(wrapper.OpenExisting(dir_.Path("c.K")), 3);
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
    ASSERT_NE(wrapper.OpenExisting(Write(file)), 0);
    EXPECT_TRUE(wrapper.SeekToSection("datagroup"));
    EXPECT_EQ(wrapper.Position(), 4u + 32 + 2);
    EXPECT_TRUE(wrapper.SeekToSection("ANALOG"));
    EXPECT_EQ(wrapper.Position(), 4u + 2 * (32 + 2));
    wrapper.Close();

    ASSERT_NE(
        wrapper.OpenExisting(dir_.Write(
            "open.K", ByteBuilder().FileHeader().Section("PARAMETER", RecordBody({})).bytes())),
        0);
    EXPECT_FALSE(wrapper.SeekToSection("DATAGROUP"));
}

TEST(SectionNames, TwentyEightCharactersWithoutANul) {
    const std::string name(28, 'Z');
    uint8_t field[32] = {};
    std::copy(name.begin(), name.end(), field);
    field[28] = 'X';  // beyond the field: never read as part of the name
    EXPECT_EQ(kfile::SectionName(field), name);
}

}  // namespace
