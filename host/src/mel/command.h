#pragma once
// The interface between the MEL interpreter and the commands it runs: a parsed statement
// (Call), what a command answers (Outcome), static registration of built-in commands, and
// ArgReader, which takes a command's flags and their values so that every command reports
// unknown flags and missing values with the same words.

#include <string>
#include <vector>

namespace mel {

// One parsed argument of a statement.
struct Arg {
    enum class Kind { Word, Flag, Number, String, StringArray };
    Kind kind = Kind::Word;
    std::string text;                // word, flag name (without '-'), number text or string
    std::vector<std::string> items;  // the elements of {"a", "b"}

    bool isFlag() const { return kind == Kind::Flag; }
};

// One statement: the command's name and its arguments in order.
struct Call {
    std::string command;
    std::vector<Arg> args;
};

// What a command answers.
struct Outcome {
    std::vector<std::string> result;  // MEL's returned string[] (empty for none)
    std::string error;                // non-empty: the command failed with this message
    bool reported = false;            // the message is already printed: not printed again

    bool failed() const { return !error.empty(); }
    static Outcome fail(std::string message);
    // A failure whose reason the code that failed has already printed.
    static Outcome failReported(std::string message);
    static Outcome ok(std::vector<std::string> result = {});
};

using Builtin = Outcome (*)(const Call&);

// Registers a built-in command from any source file of the library:
//   static mel::RegisterBuiltin reg("group", &runGroup);
struct RegisterBuiltin {
    RegisterBuiltin(const char* name, Builtin fn);
};

// A flag a command accepts: its short and long name and how many values follow it.
struct AcceptedFlag {
    const char* shortName;
    const char* longName;
    int valueCount;
};

// Reads a call's arguments against the flags a command accepts.
//
// In query mode (a "q"/"query" flag is accepted and present in the call) the other flags
// take no values, as in MEL. A flag given twice keeps every occurrence. Arguments that
// are not flags or flag values are positional; the items of a string array are positional
// arguments each.
class ArgReader {
  public:
    ArgReader(const Call& call, std::vector<AcceptedFlag> flags);

    bool ok() const { return error_.empty(); }
    // "Invalid flag: -x" or "Missing value for flag: -n"; empty when ok().
    const std::string& error() const { return error_; }
    // Failing outcome with the reader's error, prefixed by the command name.
    Outcome failure() const;

    bool isQuery() const { return query_; }
    // By the flag's short or long name.
    bool has(const std::string& flag) const;
    int count(const std::string& flag) const;
    // The values of the flag's last occurrence (empty if absent or taking none).
    std::vector<std::string> values(const std::string& flag) const;
    // Value i of the last occurrence, or fallback if there is none.
    std::string value(const std::string& flag, size_t i = 0,
                      const std::string& fallback = "") const;
    // Values of every occurrence, in order.
    std::vector<std::vector<std::string>> occurrences(const std::string& flag) const;

    const std::vector<std::string>& positional() const { return positional_; }

  private:
    struct Seen {
        size_t flag;  // index into accepted_
        std::vector<std::string> values;
    };
    const AcceptedFlag* find(const std::string& name, size_t* index) const;
    const Seen* lastOccurrence(const std::string& flag) const;
    bool resolve(const std::string& flag, size_t* index) const;

    std::string command_;
    std::vector<AcceptedFlag> accepted_;
    std::vector<Seen> seen_;
    std::vector<std::string> positional_;
    std::string error_;
    bool query_ = false;
};

// Parses a number argument; false when the text is not a whole number or a decimal.
bool parseDouble(const std::string& text, double* value);
bool parseInt(const std::string& text, int* value);

}  // namespace mel
