#include "companion/libzorb3.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/TempFile.h"

namespace {

using isotri::test::TempFile;

struct Free {
    void operator()(TZorbHandle* h) const { libzorbFree(h); }
};
using Handle = std::unique_ptr<TZorbHandle, Free>;

std::vector<std::string> Lines(const std::string& path) {
    const Handle file(tokStartFile(path.c_str(), " "));
    EXPECT_NE(file, nullptr);
    std::vector<std::string> lines;
    while (file && tokString(file.get()) != 0) {
        lines.emplace_back(tokLast(file.get()));
    }
    return lines;
}

std::vector<std::string> Tokens(const std::string& text, const char* delimiters = " ") {
    const Handle line(tokStart(text.c_str(), delimiters));
    std::vector<std::string> tokens;
    while (const char* token = tokNext(line.get())) {
        EXPECT_STREQ(tokLast(line.get()), token);
        tokens.emplace_back(token);
    }
    EXPECT_EQ(tokLast(line.get()), nullptr);
    EXPECT_EQ(tokNext(line.get()), nullptr);
    return tokens;
}

struct LineCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
};

class Libzorb3Lines : public testing::TestWithParam<LineCase> {};

TEST_P(Libzorb3Lines, ReadsLines) {
    const TempFile file(GetParam().bytes);
    EXPECT_EQ(Lines(file.Path()), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Files, Libzorb3Lines,
    testing::Values(LineCase{"Lf", "a b\nc\n", {"a b", "c"}},
                    LineCase{"CrLf", "a b\r\nc\r\n", {"a b", "c"}},
                    LineCase{"LastLineWithoutEnd", "a\nb", {"a", "b"}},
                    LineCase{"EmptyLinesKept", "\n\r\n\nx\n", {"", "", "", "x"}},
                    LineCase{"ByteOrderMarkSkipped",
                             "\xEF\xBB\xBFmodel M\n\xEF\xBB\xBF",
                             {"model M", "\xEF\xBB\xBF"}},
                    LineCase{"Utf8Kept", "модель\n", {"модель"}},
                    LineCase{"Cp1251Converted",
                             "\xEC\xEE\xE4\xE5\xEB\xFC \xA8\xB8\x98\n",
                             {"модель Ёё\xEF\xBF\xBD"}},
                    LineCase{"EachLineOnItsOwn", "\xC0\nА\n", {"А", "А"}},
                    LineCase{"OverlongIsNotUtf8", "\xC0\xAF\n", {"АЇ"}},
                    LineCase{"NulEndsTheReading", std::string("a\nb\0c\n", 6), {"a"}}),
    [](const auto& info) { return info.param.name; });

TEST(Libzorb3, FileWithoutBytesOrUnreadableGivesNull) {
    const TempFile empty("");
    EXPECT_EQ(tokStartFile(empty.Path().c_str(), " "), nullptr);
    EXPECT_EQ(tokStartFile((empty.Dir() / "missing").c_str(), " "), nullptr);
    EXPECT_EQ(tokStartFile(empty.Dir().c_str(), " "), nullptr);
    EXPECT_EQ(tokStartFile(nullptr, " "), nullptr);
}

TEST(Libzorb3, ReadingStopsPastItsLimitOfBytes) {
    const TempFile file("line one\nline two\nline three\n");
    const Handle handle(tokStartFileLimited(file.Path().c_str(), " ", 12));
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(tokFileError(handle.get()), kZorbTooLarge);  // the first read was already past it
    EXPECT_EQ(tokString(handle.get()), 0);

    const Handle roomy(tokStartFileLimited(file.Path().c_str(), " ", 1000));
    while (tokString(roomy.get()) != 0) {
    }
    EXPECT_EQ(tokFileError(roomy.get()), kZorbOk);
    // Endless input ends at once at its first binary byte.
    const Handle zero(tokStartFile("/dev/zero", " "));
    ASSERT_NE(zero, nullptr);
    EXPECT_EQ(tokString(zero.get()), 0);
    EXPECT_EQ(tokFileError(zero.get()), kZorbBinary);
}

TEST(Libzorb3, EndIsFinal) {
    const TempFile file("only\n");
    const Handle handle(tokStartFile(file.Path().c_str(), " "));
    ASSERT_NE(handle, nullptr);
    EXPECT_STREQ(tokLast(handle.get()), "");
    EXPECT_NE(tokString(handle.get()), 0);
    EXPECT_STREQ(tokLast(handle.get()), "only");
    EXPECT_EQ(tokString(handle.get()), 0);
    EXPECT_EQ(tokString(handle.get()), 0);
    EXPECT_STREQ(tokLast(handle.get()), "");
}

TEST(Libzorb3, LongLinesAndManyLines) {
    std::string bytes(1 << 20, 'x');
    bytes += "\n";
    for (int i = 0; i < 100000; ++i) {
        bytes += "l\n";
    }
    const TempFile file(bytes);
    const std::vector<std::string> lines = Lines(file.Path());
    ASSERT_EQ(lines.size(), 100001u);
    EXPECT_EQ(lines[0].size(), std::size_t{1} << 20);
    EXPECT_EQ(Tokens(lines[0]).size(), 1u);
}

struct TokenCase {
    const char* name;
    std::string text;
    std::vector<std::string> tokens;
};

class Libzorb3Tokens : public testing::TestWithParam<TokenCase> {};

TEST_P(Libzorb3Tokens, SplitsTokens) {
    EXPECT_EQ(Tokens(GetParam().text), GetParam().tokens);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Libzorb3Tokens,
    testing::Values(TokenCase{"Blanks", "model M 1 2", {"model", "M", "1", "2"}},
                    TokenCase{"RunsOfBlanksAndTabs", "  model \t\tM   1\t", {"model", "M", "1"}},
                    TokenCase{"NothingButBlanks", " \t ", {}}, TokenCase{"Empty", "", {}},
                    TokenCase{"Quoted",
                              "model \"Квадратичная модель Шеффе\" 1",
                              {"model", "Квадратичная модель Шеффе", "1"}},
                    TokenCase{"EscapedQuoteAndBackslash", R"("a \"b\" \\ \c")", {R"(a "b" \ \c)"}},
                    TokenCase{"EmptyQuoted", "a \"\" b", {"a", "", "b"}},
                    TokenCase{"QuoteInsideToken", "ab\"c d\"e f", {"abc de", "f"}},
                    TokenCase{"UnterminatedQuote", "a \"b c", {"a", "b c"}},
                    TokenCase{"BackslashOutsideQuotes", R"(a\"b)", {"a\\b"}}),
    [](const auto& info) { return info.param.name; });

TEST(Libzorb3, DelimitersAreTheCallersAndTabs) {
    EXPECT_EQ(Tokens("a;b c\td", ";"), (std::vector<std::string>{"a", "b c", "d"}));
    const Handle nothing(tokStart(nullptr, nullptr));
    EXPECT_EQ(tokNext(nothing.get()), nullptr);
}

TEST(Libzorb3, WrongKindOfHandleAnswersNothing) {
    const Handle line(tokStart("a b", " "));
    EXPECT_EQ(tokString(line.get()), 0);
    const TempFile file("a\n");
    const Handle lines(tokStartFile(file.Path().c_str(), " "));
    EXPECT_EQ(tokNext(lines.get()), nullptr);
    EXPECT_EQ(tokNext(nullptr), nullptr);
    EXPECT_EQ(tokString(nullptr), 0);
    EXPECT_EQ(tokLast(nullptr), nullptr);
    libzorbFree(nullptr);
}

}  // namespace
