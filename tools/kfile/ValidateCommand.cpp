// kfile validate: every problem of a take, with where it is.
#include <fstream>
#include <iterator>

#include <nlohmann/json.hpp>

#include "Commands.h"
#include "TakeChecks.h"

using Json = nlohmann::ordered_json;

namespace {

bool ReadBytes(const std::string& fileName, std::vector<uint8_t>& bytes) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

Json FindingJson(const Finding& finding) {
    return {{"check", finding.check},     {"severity", finding.problem ? "problem" : "note"},
            {"section", finding.section}, {"record", finding.record},
            {"offset", finding.offset},   {"message", finding.message}};
}

void PrintFinding(std::ostream& out, const Finding& finding) {
    out << (finding.problem ? "problem" : "note") << " [" << finding.check << "] "
        << finding.section;
    if (finding.record >= 0) {
        out << " record " << finding.record;
    }
    out << " at byte " << finding.offset << ": " << finding.message << "\n";
}

}  // namespace

int RunValidate(const InspectOptions& options, Console& console) {
    std::vector<uint8_t> bytes;
    if (!ReadBytes(options.take, bytes)) {
        console.err << "kfile: cannot open '" << options.take << "'\n";
        return 1;
    }
    const std::vector<Finding> findings = CheckTake(bytes);
    size_t problems = 0;
    Json list = Json::array();
    for (const Finding& finding : findings) {
        problems += finding.problem ? 1 : 0;
        if (options.json) {
            list.push_back(FindingJson(finding));
        } else {
            PrintFinding(console.out, finding);
        }
    }
    if (options.json) {
        console.out << Json{{"file", options.take},
                            {"clean", problems == 0},
                            {"problems", problems},
                            {"notes", findings.size() - problems},
                            {"findings", list}}
                           .dump(2)
                    << "\n";
    } else {
        console.out << options.take << ": "
                    << (problems ? std::to_string(problems) + " problems" : "clean") << ", "
                    << findings.size() - problems << " notes\n";
    }
    return problems ? 1 : 0;
}
