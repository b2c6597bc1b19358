// The MEL subset's tokenizer and parser: what each statement becomes, and what is refused.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mel/parser.h"

namespace {

using Kind = mel::Arg::Kind;

// Compact form of a parse: "cmd|F:em|W:Bob;next|..." with kinds W, F, N, S, A.
std::string describe(const mel::ParseResult& r) {
    if (!r.error.empty())
        return "error: " + r.error;
    std::string out;
    for (const mel::Call& call : r.statements) {
        if (!out.empty())
            out += ";";
        out += call.command;
        for (const mel::Arg& a : call.args) {
            out += "|";
            switch (a.kind) {
                case Kind::Word:
                    out += "W:" + a.text;
                    break;
                case Kind::Flag:
                    out += "F:" + a.text;
                    break;
                case Kind::Number:
                    out += "N:" + a.text;
                    break;
                case Kind::String:
                    out += "S:" + a.text;
                    break;
                case Kind::StringArray:
                    out += "A:";
                    for (size_t i = 0; i < a.items.size(); ++i)
                        out += (i ? "," : "") + a.items[i];
                    break;
            }
        }
    }
    return out;
}

struct Case {
    const char* source;
    const char* expected;
};

class MelParse : public ::testing::TestWithParam<Case> {};

TEST_P(MelParse, Statement) {
    EXPECT_EQ(GetParam().expected, describe(mel::parse(GetParam().source)));
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, MelParse,
    ::testing::Values(
        Case{"group -em -n Bob", "group|F:em|F:n|W:Bob"},
        Case{"listRelatives -c -f |Bob|Hips", "listRelatives|F:c|F:f|W:|Bob|Hips"},
        Case{"cutKey -cl -t \":\" -hierarchy none {\"|Bob|Hips\"}",
             "cutKey|F:cl|F:t|S::|F:hierarchy|W:none|A:|Bob|Hips"},
        Case{
            "polyCube -w 5.000000 -h 0.05 -ax 0 1 0 -tx 1 -ch 0 -n Rot_Hips",
            "polyCube|F:w|N:5.000000|F:h|N:0.05|F:ax|N:0|N:1|N:0|F:tx|N:1|F:ch|N:0|F:n|W:Rot_Hips"},
        Case{"setAttr a.tx -1.5e3 .5 -.25 +2", "setAttr|W:a.tx|N:-1.5e3|N:.5|N:-.25|N:+2"},
        Case{"select -r 1abc", "select|F:r|W:1abc"},
        Case{"getAttr -t 12 Bob|Hips.rotateX", "getAttr|F:t|N:12|W:Bob|Hips.rotateX"},
        Case{"print \"a\\\"b\\\\c\\nd\\te\\q\"", "print|S:a\"b\\c\nd\teq"},
        Case{"a {} {\"x\"} { \"y\" , \"z\" }", "a|A:|A:x|A:y,z"}, Case{"a; b -f;; ;c", "a;b|F:f;c"},
        Case{"a // comment; b\nc /* block; d */ -x", "a|W:c|F:x"}, Case{"a // comment\n; c", "a;c"},
        Case{"a//x", "a"}, Case{"  \t\n ", ""},
        Case{"file -import -type \"Kelmar K-file\" \"/tmp/my take.k\"",
             "file|F:import|F:type|S:Kelmar K-file|S:/tmp/my take.k"},
        Case{"ls -type DOFLocator -sl", "ls|F:type|W:DOFLocator|F:sl"},
        Case{"keyframe -q -kc pCube1_translateX", "keyframe|F:q|F:kc|W:pCube1_translateX"}));

class MelRefuse : public ::testing::TestWithParam<Case> {};

TEST_P(MelRefuse, WithMessage) {
    const mel::ParseResult r = mel::parse(GetParam().source);
    EXPECT_TRUE(r.statements.empty());
    EXPECT_NE(std::string::npos, r.error.find(GetParam().expected)) << r.error;
}

INSTANTIATE_TEST_SUITE_P(
    Refused, MelRefuse,
    ::testing::Values(
        Case{"print \"abc", "unterminated string"}, Case{"a {\"x\"", "unterminated { array"},
        Case{"a {1, 2}", "only lists of quoted strings"},
        Case{"a {\"x\" \"y\"}", "only lists of quoted strings"},
        Case{"$x = 3", "MEL variable is not supported"},
        Case{"a $x", "MEL variable is not supported"},
        Case{"int $x", "variable declaration (\"int\")"},
        Case{"global proc f() {}", "variable declaration (\"global\")"},
        Case{"proc f() {}", "MEL procedure is not supported"},
        Case{"if (1) a", "control flow (\"if\")"}, Case{"for ($i=0;;) a", "control flow (\"for\")"},
        Case{"a `ls`", "MEL expression"}, Case{"a (1 + 2)", "MEL expression"},
        Case{"x = 3", "MEL expression"}, Case{"-f x", "must start with a command name"},
        Case{"\"s\"", "must start with a command name"},
        Case{"a; b /* open", "unterminated /* comment"}, Case{"a -f.x", "bad flag"},
        Case{"a -f!x", "MEL expression (at '!')"}));

TEST(MelParseWhole, AnErrorAnywhereRunsNothing) {
    const mel::ParseResult r = mel::parse("a; b; c $x");
    EXPECT_TRUE(r.statements.empty());
    EXPECT_FALSE(r.error.empty());
}

}  // namespace
