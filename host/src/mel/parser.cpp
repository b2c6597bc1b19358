#include "mel/parser.h"

#include <cctype>
#include <unordered_set>

namespace mel {
namespace {

const char* const kUnsupported =
    " is not supported by the stand-in host: it runs single MEL commands only (no variables, "
    "procedures, expressions or control flow)";

bool isNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Characters that end a word: white space and MEL punctuation. Every character of every word
// is tested, so the test is a table.
class WordEnds {
  public:
    WordEnds() {
        for (int c = 0; c < 256; ++c)
            ends_[c] = std::isspace(c) != 0;
        for (const char* c = ";\"{}()$`=,<>+!&?'"; *c != '\0'; ++c)
            ends_[static_cast<unsigned char>(*c)] = true;
    }
    bool operator()(char c) const { return ends_[static_cast<unsigned char>(c)]; }

  private:
    bool ends_[256] = {};
};
const WordEnds endsWord;

// Whether a comment ("//" or "/*") starts at pos.
bool startsComment(const std::string& text, size_t pos) {
    return text[pos] == '/' && pos + 1 < text.size() &&
           (text[pos + 1] == '/' || text[pos + 1] == '*');
}

// Words that start general MEL, which the stand-in refuses. Every statement's first word is
// looked up here, so the lists are sets.
using Keywords = std::unordered_set<std::string>;
const Keywords kDeclarations = {"int", "float", "string", "vector", "matrix", "global"};
const Keywords kControl = {"if",   "else",   "for",   "while",    "do",     "switch",
                           "case", "return", "break", "continue", "default"};

class Scanner {
  public:
    explicit Scanner(const std::string& text) : s_(text) {}

    ParseResult run() {
        ParseResult out;
        Call current;
        bool haveCommand = false;
        while (error_.empty()) {
            skipSpaceAndComments();
            if (!error_.empty())
                break;
            if (pos_ >= s_.size())
                break;
            const char c = s_[pos_];
            if (c == ';') {
                ++pos_;
                if (haveCommand)
                    out.statements.push_back(std::move(current));
                current = Call();
                haveCommand = false;
                continue;
            }
            Arg arg;
            if (!next(&arg))
                break;
            if (!haveCommand) {
                if (!startCommand(arg, &current))
                    break;
                haveCommand = true;
            } else {
                if (current.args.empty())
                    current.args.reserve(4);  // most commands take a few arguments
                current.args.push_back(std::move(arg));
            }
        }
        if (!error_.empty()) {
            out.statements.clear();
            out.error = error_;
            return out;
        }
        if (haveCommand)
            out.statements.push_back(std::move(current));
        return out;
    }

  private:
    bool fail(const std::string& message) {
        error_ = message;
        return false;
    }

    bool startCommand(const Arg& arg, Call* call) {
        if (arg.kind != Arg::Kind::Word) {
            return fail("Syntax error: a statement must start with a command name, not \"" +
                        (arg.kind == Arg::Kind::Flag ? "-" + arg.text : arg.text) + "\"");
        }
        if (arg.text == "proc")
            return fail(std::string("A MEL procedure") + kUnsupported);
        if (kDeclarations.count(arg.text) != 0) {
            return fail("A MEL variable declaration (\"" + arg.text + "\")" + kUnsupported);
        }
        if (kControl.count(arg.text) != 0) {
            return fail("MEL control flow (\"" + arg.text + "\")" + kUnsupported);
        }
        call->command = arg.text;
        return true;
    }

    void skipSpaceAndComments() {
        while (pos_ < s_.size()) {
            const char c = s_[pos_];
            if (std::isspace(static_cast<unsigned char>(c))) {
                ++pos_;
            } else if (!startsComment(s_, pos_)) {
                return;
            } else if (s_[pos_ + 1] == '/') {
                while (pos_ < s_.size() && s_[pos_] != '\n')
                    ++pos_;
            } else {
                const size_t end = s_.find("*/", pos_ + 2);
                if (end == std::string::npos) {
                    fail("Syntax error: unterminated /* comment");
                    return;
                }
                pos_ = end + 2;
            }
        }
    }

    bool next(Arg* arg) {
        const char c = s_[pos_];
        if (c == '"') {
            arg->kind = Arg::Kind::String;
            return quoted(&arg->text);
        }
        if (c == '{')
            return stringArray(arg);
        if (c == '$')
            return fail(std::string("A MEL variable") + kUnsupported);
        const char after = pos_ + 1 < s_.size() ? s_[pos_ + 1] : '\0';
        if (c == '+' && (std::isdigit(static_cast<unsigned char>(after)) || after == '.')) {
            if (number(arg))
                return true;
        }
        if (c == '`' || c == '(' || c == ')' || c == '=' || c == '+' || c == '<' || c == '>' ||
            c == '!' || c == '&' || c == '?' || c == ',' || c == '}' || c == '\'') {
            return fail(std::string("A MEL expression (at '") + c + "')" + kUnsupported);
        }
        const bool minus = c == '-';
        if (minus && std::isalpha(static_cast<unsigned char>(after)))
            return flag(arg);
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '.' || minus) {
            if (number(arg))
                return true;
        }
        return word(arg);
    }

    bool flag(Arg* arg) {
        size_t end = pos_ + 1;
        while (end < s_.size() && isNameChar(s_[end]))
            ++end;
        if (end < s_.size() && !endsWord(s_[end])) {
            return fail("Syntax error: bad flag \"" + s_.substr(pos_, end - pos_ + 1) + "\"");
        }
        arg->kind = Arg::Kind::Flag;
        arg->text = s_.substr(pos_ + 1, end - pos_ - 1);
        pos_ = end;
        return true;
    }

    // A number is only a number when it ends where a word would; "1abc" stays a word.
    bool number(Arg* arg) {
        size_t end = pos_;
        if (s_[end] == '-' || s_[end] == '+')
            ++end;
        const size_t digitsStart = end;
        while (end < s_.size() && std::isdigit(static_cast<unsigned char>(s_[end])))
            ++end;
        if (end < s_.size() && s_[end] == '.') {
            ++end;
            while (end < s_.size() && std::isdigit(static_cast<unsigned char>(s_[end])))
                ++end;
        }
        if (end == digitsStart || (end == digitsStart + 1 && s_[digitsStart] == '.'))
            return false;
        if (end < s_.size() && (s_[end] == 'e' || s_[end] == 'E')) {
            size_t e = end + 1;
            if (e < s_.size() && (s_[e] == '-' || s_[e] == '+'))
                ++e;
            const size_t expStart = e;
            while (e < s_.size() && std::isdigit(static_cast<unsigned char>(s_[e])))
                ++e;
            if (e > expStart)
                end = e;
        }
        if (end < s_.size() && !endsWord(s_[end]))
            return false;
        arg->kind = Arg::Kind::Number;
        arg->text = s_.substr(pos_, end - pos_);
        pos_ = end;
        return true;
    }

    bool word(Arg* arg) {
        size_t end = pos_;
        while (end < s_.size() && !endsWord(s_[end])) {
            if (startsComment(s_, end))
                break;
            ++end;
        }
        if (end == pos_)
            return fail(std::string("Syntax error at '") + s_[pos_] + "'");
        arg->kind = Arg::Kind::Word;
        arg->text = s_.substr(pos_, end - pos_);
        pos_ = end;
        return true;
    }

    bool quoted(std::string* out) {
        ++pos_;  // opening quote
        while (pos_ < s_.size()) {
            const char c = s_[pos_++];
            if (c == '"')
                return true;
            if (c == '\n')
                break;
            if (c != '\\') {
                *out += c;
                continue;
            }
            if (pos_ >= s_.size())
                break;
            const char e = s_[pos_++];
            switch (e) {
                case 'n':
                    *out += '\n';
                    break;
                case 't':
                    *out += '\t';
                    break;
                case 'r':
                    *out += '\r';
                    break;
                default:
                    *out += e;
                    break;  // \" \\ and any other character as itself
            }
        }
        return fail("Syntax error: unterminated string");
    }

    bool stringArray(Arg* arg) {
        ++pos_;  // '{'
        arg->kind = Arg::Kind::StringArray;
        bool expectItem = true;
        while (true) {
            skipSpaceAndComments();
            if (!error_.empty())
                return false;
            if (pos_ >= s_.size())
                return fail("Syntax error: unterminated { array");
            const char c = s_[pos_];
            if (c == '}' && (expectItem ? arg->items.empty() : true)) {
                ++pos_;
                return true;
            }
            if (expectItem && c == '"') {
                std::string item;
                if (!quoted(&item))
                    return false;
                arg->items.push_back(std::move(item));
                expectItem = false;
            } else if (!expectItem && c == ',') {
                ++pos_;
                expectItem = true;
            } else {
                return fail(
                    "Syntax error in { } array: only lists of quoted strings such as "
                    "{\"a\", \"b\"} are supported by the stand-in host");
            }
        }
    }

    const std::string& s_;
    size_t pos_ = 0;
    std::string error_;
};

}  // namespace

ParseResult parse(const std::string& source) {
    return Scanner(source).run();
}

}  // namespace mel
