#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "companion/zorb_lib.h"

namespace {

std::vector<std::string> gLines;
std::vector<std::string> gOtherLines;

void Record(const char* text) {
    gLines.emplace_back(text);
}
void RecordOther(const char* text) {
    gOtherLines.emplace_back(text);
}

class ConsoleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        conUpperLevel(48);
        // Ends whatever an earlier test left waiting before anyone listens.
        con_puts("\r");
        gLines.clear();
        gOtherLines.clear();
        conAddCallback(Record);
    }
    void TearDown() override {
        conRemoveCallback(Record);
        conRemoveCallback(RecordOther);
        con_puts("\r");
    }
};

struct Piece {
    std::optional<std::int32_t> level;  // none: con_puts
    const char* text;
};

struct LineCase {
    const char* name;
    std::vector<Piece> pieces;
    std::vector<std::string> lines;
};

class ConsoleLines : public ConsoleTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(ConsoleLines, JoinsAndFilters) {
    for (const Piece& piece : GetParam().pieces) {
        if (piece.level) {
            con_lputs(*piece.level, piece.text);
        } else {
            con_puts(piece.text);
        }
    }
    EXPECT_EQ(gLines, GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConsoleLines,
    ::testing::Values(
        LineCase{"WholeLine",
                 {{16, "\"batch\" keyword must be followed by file name !\r"}},
                 {"\"batch\" keyword must be followed by file name !"}},
        LineCase{"PiecesJoined",
                 {{48, "LoadBatch(): model \"m\" needs 2 args; "},
                  {48, "[1]=1; "},
                  {48, "[2]=2,5; "},
                  {48, "\r"}},
                 {"LoadBatch(): model \"m\" needs 2 args; [1]=1; [2]=2,5; "}},
        LineCase{"NoEndWaits", {{48, "waiting"}}, {}},
        LineCase{"UpperLevelPasses",
                 {{48, "info\r"}, {32, "warn\r"}, {16, "err\r"}},
                 {"info", "warn", "err"}},
        LineCase{"AboveUpperDropped", {{49, "debug\r"}, {48, "info\r"}}, {"info"}},
        LineCase{"DroppedPieceDoesNotEndLine", {{48, "a"}, {64, "x\r"}, {48, "b\r"}}, {"ab"}},
        LineCase{
            "PutsHasNoLevel", {{std::nullopt, "Minimum 1 at [0;0;1]\r"}}, {"Minimum 1 at [0;0;1]"}},
        LineCase{"PutsJoinsWithLevelled", {{48, "a"}, {std::nullopt, "b\r"}}, {"ab"}},
        LineCase{"TextAfterCrStartsNextLine", {{48, "one\rtw"}, {48, "o\r"}}, {"one", "two"}},
        LineCase{"SeveralLinesInOnePiece", {{std::nullopt, "a\rb\r\rc\r"}}, {"a", "b", "", "c"}},
        LineCase{"NewlineEndsLine", {{std::nullopt, "a\nb\r\nc\n"}}, {"a", "b", "c"}},
        LineCase{"CrLfAcrossPieces", {{48, "a\r"}, {48, "\nb\r"}}, {"a", "b"}},
        LineCase{"EmptyPieceKeepsCr", {{48, "a\r"}, {48, ""}, {48, "\nb\r"}}, {"a", "b"}},
        LineCase{"LoneNewlineAfterTextIsLine", {{48, "a"}, {48, "\n"}, {48, "\n"}}, {"a", ""}},
        LineCase{"Utf8Untouched", {{16, "Ошибка\r"}}, {"Ошибка"}}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

TEST_F(ConsoleTest, UpperLevelChangesFilter) {
    conUpperLevel(16);
    con_lputs(32, "warn\r");
    con_lputs(16, "err\r");
    conUpperLevel(64);
    con_lputs(64, "debug\r");
    EXPECT_EQ(gLines, (std::vector<std::string>{"err", "debug"}));
}

TEST_F(ConsoleTest, EveryCallbackOnceAndRemoval) {
    conAddCallback(RecordOther);
    conAddCallback(Record);  // already registered: still reached once
    con_puts("both\r");
    conRemoveCallback(RecordOther);
    con_puts("one\r");
    EXPECT_EQ(gLines, (std::vector<std::string>{"both", "one"}));
    EXPECT_EQ(gOtherLines, (std::vector<std::string>{"both"}));
}

TEST_F(ConsoleTest, NullTextAndNullCallbackIgnored) {
    conAddCallback(nullptr);
    con_puts(nullptr);
    con_lputs(16, nullptr);
    con_puts("x\r");
    EXPECT_EQ(gLines, (std::vector<std::string>{"x"}));
}

void WriteFromCallback(const char* text) {
    gOtherLines.emplace_back(text);
    if (std::string(text) == "outer") {
        conRemoveCallback(WriteFromCallback);
        con_puts("inner\r");
    }
}

TEST_F(ConsoleTest, CallbackMayWriteAndUnregister) {
    conAddCallback(WriteFromCallback);
    con_puts("outer\r");
    conRemoveCallback(WriteFromCallback);
    EXPECT_EQ(gOtherLines, (std::vector<std::string>{"outer"}));
    EXPECT_EQ(gLines, (std::vector<std::string>{"outer", "inner"}));
}

}  // namespace
