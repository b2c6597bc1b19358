// file -import through the translators a module registered, and the translator base class
// and file object.

#include <maya/MDistance.h>
#include <maya/MFileObject.h>
#include <maya/MGlobal.h>
#include <maya/MPxFileTranslator.h>

#include <cstdio>
#include <fstream>

#include "plugin_test_support.h"

namespace {

class PluginImport : public PluginTest {
  protected:
    void SetUp() override {
        PluginTest::SetUp();
        std::string error;
        ASSERT_TRUE(host::loadPlugin("hosttestplugin", &error)) << error;
        dir_ = ::testing::TempDir();
    }

    std::string write(const std::string& name, const std::string& text) {
        const std::string path = dir_ + name;
        std::ofstream(path, std::ios::binary) << text;
        files_.push_back(path);
        return path;
    }

    void TearDown() override {
        for (const std::string& f : files_)
            std::remove(f.c_str());
        PluginTest::TearDown();
    }

    static MStatus import(const std::string& flags, const std::string& path) {
        return MGlobal::executeCommand(
            MString(("file -import " + flags + " \"" + path + "\"").c_str()));
    }

    std::string dir_;
    std::vector<std::string> files_;
};

TEST_F(PluginImport, SureTranslatorWinsOverAnUnsureOneRegisteredEarlier) {
    const std::string path = write("take.hts", "currentUnit -l mm");
    testing::internal::CaptureStdout();
    EXPECT_TRUE(import("", path));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(MDistance::kMillimeters, MDistance::uiUnit());
    // The name alone, the translator's default options, import mode.
    EXPECT_TRUE(logHas("reader name=take.hts options=defaults=1 mode=3 current=3"));
    EXPECT_FALSE(logHas("unsure reader ran"));
}

TEST_F(PluginImport, TypeFlagAndOptionsChooseAndConfigure) {
    const std::string path = write("take2.hts", "currentUnit -l m");
    testing::internal::CaptureStdout();
    EXPECT_TRUE(import("-type \"Host unsure\"", path));
    EXPECT_TRUE(logHas("unsure reader ran"));
    EXPECT_TRUE(import("-typ \"Host test\" -options \"a=b\"", path));
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(logHas("options=a=b"));
    EXPECT_EQ(MDistance::kMeters, MDistance::uiUnit());
}

TEST_F(PluginImport, CouldBeAnswersAndFileContents) {
    testing::internal::CaptureStdout();
    EXPECT_TRUE(import("", write("a.maybe", "")));
    EXPECT_TRUE(logHas("unsure reader ran"));
    EXPECT_TRUE(import("", write("b.txt", "HTS?\ncurrentUnit -l km")));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(MDistance::kKilometers, MDistance::uiUnit());
}

TEST_F(PluginImport, Refusals) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(import("", write("c.txt", "plain")));
    EXPECT_TRUE(logHas("Unrecognized file type"));
    EXPECT_FALSE(import("-type \"No such\"", write("d.hts", "")));
    EXPECT_TRUE(logHas("Invalid file type specified: \"No such\"."));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(import("", write("e.hts", "noSuchCommand")));
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(logHas("Cannot find procedure \"noSuchCommand\"."));
    EXPECT_FALSE(logHas("Error reading file"));  // the reader's own error says why
    testing::internal::GetCapturedStderr();
}

class BareTranslator : public MPxFileTranslator {};

TEST(PluginTranslatorBase, DefaultsAndEnumValues) {
    EXPECT_EQ(0, MPxFileTranslator::kIsMyFileType);
    EXPECT_EQ(1, MPxFileTranslator::kCouldBeMyFileType);
    EXPECT_EQ(2, MPxFileTranslator::kNotMyFileType);
    EXPECT_EQ(0, MPxFileTranslator::kUnknownAccessMode);
    EXPECT_EQ(3, MPxFileTranslator::kImportAccessMode);
    EXPECT_EQ(6, MPxFileTranslator::kExportActiveAccessMode);
    BareTranslator t;
    MFileObject file;
    EXPECT_EQ(MStatus::kFailure,
              t.reader(file, "", MPxFileTranslator::kImportAccessMode).statusCode());
    EXPECT_EQ(MStatus::kFailure,
              t.writer(file, "", MPxFileTranslator::kExportAccessMode).statusCode());
    EXPECT_FALSE(t.haveReadMethod());
    EXPECT_FALSE(t.haveWriteMethod());
    EXPECT_FALSE(t.haveNamespaceSupport());
    EXPECT_FALSE(t.haveReferenceMethod());
    EXPECT_TRUE(t.canBeOpened());
    EXPECT_STREQ("", t.defaultExtension().asChar());
    EXPECT_STREQ("*.*", t.filter().asChar());
    EXPECT_EQ(MPxFileTranslator::kNotMyFileType, t.identifyFile(file, "", 0));
    EXPECT_EQ(MPxFileTranslator::kUnknownAccessMode, MPxFileTranslator::fileAccessMode());
}

TEST(PluginFileObject, SplitsPathAndName) {
    MFileObject f;
    f.setRawFullName("/data/takes/walk.k");
    EXPECT_STREQ("walk.k", f.name().asChar());
    EXPECT_STREQ("/data/takes/", f.path().asChar());
    EXPECT_STREQ("/data/takes/walk.k", f.fullName().asChar());
    f.setFullName("relative.k");
    EXPECT_STREQ("relative.k", f.name().asChar());
    EXPECT_STREQ("", f.path().asChar());
    EXPECT_STREQ("relative.k", f.fullName().asChar());
    f.setRawPath("/tmp");
    EXPECT_STREQ("/tmp/relative.k", f.fullName().asChar());
    EXPECT_FALSE(f.exists());
}

}  // namespace
