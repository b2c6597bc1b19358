// The minihost program: -c and script files in order, exit status, error lines, the prompt
// fed from a pipe, and the scene dump.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

struct HostRun {
    int status = -1;
    std::string output;  // stdout and stderr together
};

// Runs minihost with its standard output and error read together, or only its standard error
// when the output goes to `outputTo`.
HostRun minihost(const std::string& arguments, const std::string& input = "",
                 const std::string& outputTo = "") {
    std::string command = std::string("MAYA_PLUG_IN_PATH=\"") + HOST_TEST_MODULE_DIR + "\" \"" +
                          HOST_MINIHOST + "\" " + arguments + " 2>&1" +
                          (outputTo.empty() ? "" : " >" + outputTo);
    if (!input.empty())
        command = "printf '" + input + "' | " + command;
    HostRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        run.output.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string scriptFile(const std::string& name, const std::string& text) {
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path) << text;
    return path;
}

TEST(MelMinihost, RunsStatementsAndPrintsResults) {
    const HostRun run =
        minihost("-c \"currentUnit -l mm; currentUnit -q -l\" -c \"currentUnit -q -t\"");
    EXPECT_EQ(0, run.status);
    EXPECT_EQ("// Result: mm //\n// Result: film //\n", run.output);
}

TEST(MelMinihost, StopsWithNonZeroStatusAtTheFirstFailure) {
    const HostRun run =
        minihost("-c \"currentUnit -q -l; noSuch; currentUnit -q -t\" -c \"currentUnit -q -l\"");
    EXPECT_EQ(1, run.status);
    EXPECT_EQ("// Result: cm //\n// Error: Cannot find procedure \"noSuch\". //\n", run.output);
}

TEST(MelMinihost, ScriptFilesAndModules) {
    const std::string script =
        scriptFile("minihost_script.mel",
                   "// a comment\nloadPlugin hosttestplugin;\ntestEcho \"a b\" {\"c\"};\n"
                   "unloadPlugin hosttestplugin;\n");
    const HostRun run = minihost("\"" + script + "\"");
    EXPECT_EQ(0, run.status) << run.output;
    EXPECT_EQ("// Result: hosttestplugin //\n// Result: a b c //\n", run.output);
    const HostRun missing = minihost("/no/such/script.mel");
    EXPECT_EQ(1, missing.status);
    EXPECT_EQ(
        "// Error: Cannot open script \"/no/such/script.mel\": No such file or directory. //\n",
        missing.output);
    const HostRun folder = minihost("\"" + ::testing::TempDir() + "\"");
    EXPECT_EQ(1, folder.status);
    EXPECT_EQ("// Error: Cannot open script \"" + ::testing::TempDir() + "\": Is a directory. //\n",
              folder.output);
}

TEST(MelMinihost, ReadsStandardInputWhenNotATerminal) {
    const HostRun run = minihost("", "currentUnit -l m;\\ncurrentUnit -q -l;\\n");
    EXPECT_EQ(0, run.status);
    EXPECT_EQ("// Result: m //\n", run.output);
}

TEST(MelMinihost, DumpsTheScene) {
    const std::string path = ::testing::TempDir() + "minihost_dump.txt";
    const HostRun run = minihost("-c \"currentUnit -l mm\" --dump-to \"" + path + "\" --dump");
    EXPECT_EQ(0, run.status);
    std::ifstream in(path);
    const std::string written((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    EXPECT_FALSE(written.empty());
    EXPECT_EQ(written, run.output);  // --dump prints the same text
    std::remove(path.c_str());
}

TEST(MelMinihost, ADumpThatCannotBeWrittenEndsTheRunWithTheReason) {
    const std::string folder = ::testing::TempDir();
    const struct {
        std::string arguments, outputTo, message;
    } failures[] = {
        {"--dump", "/dev/full",
         "minihost: cannot write the dump to standard output: No space left on device\n"},
        {"--dump-to /dev/full", "", "minihost: cannot write /dev/full: No space left on device\n"},
        {"--dump-to \"" + folder + "\"", "",
         "minihost: cannot write " + folder + ": Is a directory\n"},
    };
    for (const auto& failure : failures) {
        const HostRun run =
            minihost("-c \"currentUnit -l mm\" " + failure.arguments, "", failure.outputTo);
        EXPECT_EQ(1, run.status) << failure.arguments;
        EXPECT_EQ(failure.message, run.output);
    }
}

TEST(MelMinihost, DumpDigitsRoundTheDumpsNumbers) {
    const std::string steps = "-c \"group -em -n G; setAttr G.tx 0.123456789123\" --dump";
    EXPECT_NE(std::string::npos, minihost(steps).output.find("translateX=0.123456789123\n"));
    const HostRun rounded = minihost(steps + " --dump-digits 9");
    EXPECT_EQ(0, rounded.status);
    EXPECT_NE(std::string::npos, rounded.output.find("translateX=0.123456789\n"));
}

TEST(MelMinihost, UsageErrors) {
    EXPECT_EQ(2, minihost("-c").status);
    EXPECT_EQ(2, minihost("--bogus").status);
    for (const char* digits : {"", "0", "18", "9x"})
        EXPECT_EQ(2, minihost(std::string("--dump-digits '") + digits + "'").status) << digits;
    const HostRun help = minihost("--help");
    EXPECT_EQ(0, help.status);
    EXPECT_NE(std::string::npos, help.output.find("usage: minihost"));
}

}  // namespace
