#include "mel/command.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace mel {

Outcome Outcome::fail(std::string message) {
    Outcome outcome;
    outcome.error = message.empty() ? std::string("unspecified failure") : std::move(message);
    return outcome;
}

Outcome Outcome::failReported(std::string message) {
    Outcome outcome = fail(std::move(message));
    outcome.reported = true;
    return outcome;
}

Outcome Outcome::ok(std::vector<std::string> result) {
    Outcome outcome;
    outcome.result = std::move(result);
    return outcome;
}

bool parseDouble(const std::string& text, double* value) {
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(text.c_str(), &end);
    if (errno != 0 || end == text.c_str() || *end != '\0')
        return false;
    // strtod also takes "inf", "nan" and hex forms, which MEL numbers never are.
    for (char c : text) {
        if (std::strchr("0123456789+-.eE", c) == nullptr)
            return false;
    }
    *value = parsed;
    return true;
}

bool parseInt(const std::string& text, int* value) {
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || end == text.c_str() || *end != '\0')
        return false;
    if (parsed < -2147483647L - 1 || parsed > 2147483647L)
        return false;
    *value = static_cast<int>(parsed);
    return true;
}

namespace {

// Flag names mostly differ in their first letter, which is tested before the call.
bool sameName(const char* a, const char* b) {
    return a[0] == b[0] && std::strcmp(a, b) == 0;
}

}  // namespace

const AcceptedFlag* ArgReader::find(const std::string& name, size_t* index) const {
    const char* text = name.c_str();
    for (size_t i = 0; i < accepted_.size(); ++i) {
        if (sameName(text, accepted_[i].shortName) || sameName(text, accepted_[i].longName)) {
            if (index)
                *index = i;
            return &accepted_[i];
        }
    }
    return nullptr;
}

bool ArgReader::resolve(const std::string& flag, size_t* index) const {
    return find(flag, index) != nullptr;
}

ArgReader::ArgReader(const Call& call, std::vector<AcceptedFlag> flags)
    : command_(call.command), accepted_(std::move(flags)) {
    size_t queryIndex = 0;
    if (find("q", &queryIndex)) {
        for (const Arg& arg : call.args) {
            size_t i = 0;
            if (arg.isFlag() && find(arg.text, &i) && i == queryIndex)
                query_ = true;
        }
    }
    const std::vector<Arg>& args = call.args;
    seen_.reserve(args.size());
    for (size_t a = 0; a < args.size(); ++a) {
        const Arg& arg = args[a];
        if (!arg.isFlag()) {
            if (arg.kind == Arg::Kind::StringArray) {
                positional_.insert(positional_.end(), arg.items.begin(), arg.items.end());
            } else {
                positional_.push_back(arg.text);
            }
            continue;
        }
        size_t flagIndex = 0;
        const AcceptedFlag* accepted = find(arg.text, &flagIndex);
        if (!accepted) {
            error_ = "Invalid flag: -" + arg.text;
            return;
        }
        Seen seen{flagIndex, {}};
        const bool takesValues = !query_ || flagIndex == queryIndex;
        const int wanted = takesValues ? accepted->valueCount : 0;
        for (int v = 0; v < wanted; ++v) {
            if (a + 1 >= args.size() || args[a + 1].isFlag() ||
                args[a + 1].kind == Arg::Kind::StringArray) {
                error_ = "Missing value for flag: -" + arg.text;
                return;
            }
            seen.values.push_back(args[++a].text);
        }
        seen_.push_back(std::move(seen));
    }
}

Outcome ArgReader::failure() const {
    return Outcome::fail(command_ + ": " + error_);
}

bool ArgReader::has(const std::string& flag) const {
    return lastOccurrence(flag) != nullptr;
}

int ArgReader::count(const std::string& flag) const {
    size_t index = 0;
    if (!resolve(flag, &index))
        return 0;
    int n = 0;
    for (const Seen& s : seen_)
        n += s.flag == index ? 1 : 0;
    return n;
}

const ArgReader::Seen* ArgReader::lastOccurrence(const std::string& flag) const {
    size_t index = 0;
    if (!resolve(flag, &index))
        return nullptr;
    for (auto s = seen_.rbegin(); s != seen_.rend(); ++s) {
        if (s->flag == index)
            return &*s;
    }
    return nullptr;
}

std::vector<std::string> ArgReader::values(const std::string& flag) const {
    const Seen* last = lastOccurrence(flag);
    return last ? last->values : std::vector<std::string>{};
}

std::string ArgReader::value(const std::string& flag, size_t i, const std::string& fallback) const {
    const Seen* last = lastOccurrence(flag);
    return last && i < last->values.size() ? last->values[i] : fallback;
}

std::vector<std::vector<std::string>> ArgReader::occurrences(const std::string& flag) const {
    std::vector<std::vector<std::string>> result;
    size_t index = 0;
    if (!resolve(flag, &index))
        return result;
    for (const Seen& s : seen_) {
        if (s.flag == index)
            result.push_back(s.values);
    }
    return result;
}

}  // namespace mel
