#include "Output.h"

#include "kfile/kfile.h"

#include <filesystem>
#include <system_error>

std::string Latin1ToUtf8(const std::string& text) {
    std::string utf8;
    utf8.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

std::string JsonText(const Json& json) {
    return json.dump(2, ' ', false, Json::error_handler_t::replace);
}

int ReportError(Console& console, const FileError& error) {
    if (console.json) {
        const Json offset = error.offset ? Json(*error.offset) : Json(nullptr);
        console.out << JsonText({{"error",
                                  {{"path", Latin1ToUtf8(error.path)},
                                   {"reason", error.reason},
                                   {"offset", offset}}}})
                    << "\n";
    } else {
        console.err << "kfile: '" << error.path << "': " << error.reason << "\n";
    }
    return 1;
}

std::string SystemReason(int error) {
    return std::generic_category().message(error);
}

std::string WhyUnreadable(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error) {
        return error.message();
    }
    if (fs::is_directory(status)) {
        return std::make_error_code(std::errc::is_a_directory).message();
    }
    return fs::is_regular_file(status) ? "" : "not a regular file";
}

int ReportWriteFailure(Console& console, const std::string& fileName,
                       const kfile::KWriteReport& report) {
    return ReportError(console, {fileName, "cannot write: " + report.Describe(), std::nullopt});
}

int WriteOutput(Console& console, const std::string& fileName,
                const std::function<bool(const std::string&)>& write) {
    const kfile::KWriteReport report = kfile::WriteFileSafely(fileName, write);
    return report.written ? 0 : ReportWriteFailure(console, fileName, report);
}
