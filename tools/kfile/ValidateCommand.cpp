// kfile validate: every problem of a take, with where it is.
#include <cerrno>
#include <cstdio>
#include <memory>

#include "Commands.h"
#include "Output.h"
#include "TakeChecks.h"
#include "TakeReading.h"

namespace {

// The whole file, or the system's reason why it cannot be read.
std::string ReadBytes(const std::string& fileName, std::vector<uint8_t>& bytes) {
    const std::string unreadable = WhyUnreadable(fileName);
    if (!unreadable.empty()) {
        return unreadable;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(fileName.c_str(), "rb"),
                                                         std::fclose);
    if (!file) {
        return SystemReason(errno);
    }
    uint8_t block[1 << 16];
    size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file.get())) > 0) {
        bytes.insert(bytes.end(), block, block + got);
    }
    return std::ferror(file.get()) ? SystemReason(errno) : "";
}

Json FindingJson(const Finding& finding) {
    return {{"check", finding.check},
            {"severity", finding.problem ? "problem" : "note"},
            {"section", Latin1ToUtf8(finding.section)},
            {"record", finding.record},
            {"offset", finding.offset},
            {"message", Latin1ToUtf8(finding.message)}};
}

void PrintFinding(std::ostream& out, const Finding& finding) {
    out << (finding.problem ? "problem" : "note") << " [" << finding.check << "] "
        << Latin1ToUtf8(finding.section);
    if (finding.record >= 0) {
        out << " record " << finding.record;
    }
    out << " at byte " << finding.offset << ": " << Latin1ToUtf8(finding.message) << "\n";
}

}  // namespace

int RunValidate(const InspectOptions& options, Console& console) {
    std::vector<uint8_t> bytes;
    const std::string unreadable = ReadBytes(options.take, bytes);
    if (!unreadable.empty()) {
        return ReportError(console, {options.take, "cannot open: " + unreadable, std::nullopt});
    }
    const std::vector<Finding> findings = CheckTake(bytes);
    int64_t problems = 0;
    Json list = Json::array();
    for (const Finding& finding : findings) {
        problems += finding.problem ? 1 : 0;
        if (options.json) {
            list.push_back(FindingJson(finding));
        } else {
            PrintFinding(console.out, finding);
        }
    }
    const int64_t notes = static_cast<int64_t>(findings.size()) - problems;
    if (options.json) {
        console.out << JsonText({{"file", Latin1ToUtf8(options.take)},
                                 {"clean", problems == 0},
                                 {"problems", problems},
                                 {"notes", notes},
                                 {"findings", list}})
                    << "\n";
    } else {
        console.out << options.take << ": " << (problems ? Counted(problems, "problem") : "clean")
                    << ", " << Counted(notes, "note") << "\n";
    }
    return problems ? 1 : 0;
}
