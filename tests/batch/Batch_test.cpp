#include "batch/Batch.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "support/ConsoleLevels.h"
#include "support/FakeModels.h"
#include "support/RecordingMessageSink.h"
#include "support/TempFile.h"

namespace isotri {
namespace {

using test::ConLine;
using test::FindFakeModel;
using test::RecordConsole;
using RecordingSink = isotri::testing::RecordingMessageSink;
using test::TempFile;

const ModelFinder kFakes = FindFakeModel;

struct Loaded {
    bool result = false;
    std::vector<ConLine> console;
    std::vector<std::string> boxes;
};

Loaded Load(const std::string& text, char separator, const ModelFinder& finder = kFakes) {
    const TempFile file(text);
    const NumberText numbers(separator);
    Loaded loaded;
    RecordingSink sink;
    loaded.console =
        RecordConsole([&] { loaded.result = LoadBatch(file.Path(), finder, numbers, sink); });
    for (const auto& message : sink.messages) {
        loaded.boxes.push_back(message.text);
    }
    return loaded;
}

const ConLine kParsingM{48, "LoadBatch(): parsing model \"M\""};
const ConLine kCoefs12{48, "LoadBatch(): model \"M\" needs 2 args; [1]=1; [2]=2; "};
const ConLine kSingleM{48, "LoadBatch(): assuming the only model \"M\", combination disabled."};
const ConLine kOthersIgnored{32, "LoadBatch(): warning: other models will be ignored !"};
const ConLine kCombineInfo{16, "LoadBatch(): couldn't parse combine info"};

ConLine Skipped(int count) {
    return {32,
            "LoadBatch(): incomplete batch warning: skipped " + std::to_string(count) + " lines"};
}

struct LoaderCase {
    const char* name;
    std::string text;
    bool result;
    std::vector<ConLine> console;
    std::size_t entries;
};

class LoaderLines : public ::testing::TestWithParam<std::tuple<LoaderCase, char>> {};

TEST_P(LoaderLines, ReportsAndKeeps) {
    const auto& [c, separator] = GetParam();
    const Loaded loaded = Load(c.text, separator);
    EXPECT_EQ(loaded.result, c.result);
    EXPECT_EQ(loaded.console, c.console);
    EXPECT_TRUE(loaded.boxes.empty());
    EXPECT_EQ(BatchList.size(), c.entries);
}

const LoaderCase kLoaderCases[] = {
    {"OneSided", "model M 1 2 combine1 0 10 1\n", true, {kParsingM, kCoefs12}, 1},
    {"SingleModelThenTwoLines",
     "model M 1 2\nanything\n\n",
     true,
     {kParsingM, kCoefs12, kSingleM, Skipped(2)},
     1},
    {"CombinedThenSingle",
     "model M 1 2 combine2 0 5 10 1\r\nmodel M 1 2",
     true,
     {kParsingM, kCoefs12, kParsingM, kCoefs12, kSingleM, kOthersIgnored, Skipped(0)},
     2},
    {"ExtraNumberMakesSingleModel",
     "model M 1 2 3\n",
     true,
     {kParsingM, kCoefs12, kSingleM, Skipped(0)},
     1},
    {"CapitalKeywordMakesSingleModel",
     "model M 1 2 Combine1 0 10 1\n",
     true,
     {kParsingM, kCoefs12, kSingleM, Skipped(0)},
     1},
    {"CapitalModel",
     "Model M 1 2 combine1 0 10 1\n",
     false,
     {{16, "LoadBatch(): expected \"model\", found Model"}},
     0},
    {"OnlyEmptyLines", "\n\r\n\n", false, {}, 0},
    {"BlanksAloneAreEmpty", "  \t \nmodel M 1 2 combine1 0 10 1\n", true, {kParsingM, kCoefs12}, 1},
    {"OnlyModel", "model\n", false, {{16, "LoadBatch(): model name missing after \"model\""}}, 0},
    {"UnknownModel",
     "model X 1\n",
     false,
     {{48, "LoadBatch(): parsing model \"X\""}, {16, "LoadBatch(): model X not found"}},
     0},
    {"QuotedName",
     "model \"Квадратичная модель\" 1 2 3 4 5 6 combine1 0 1 1",
     true,
     {{48, "LoadBatch(): parsing model \"Квадратичная модель\""},
      {48,
       "LoadBatch(): model \"Квадратичная модель\" needs 6 args; [1]=1; [2]=2; [3]=3; [4]=4; "
       "[5]=5; [6]=6; "}},
     1},
    {"BadCoefficient",
     "model M 1 x combine1 0 10 1\n",
     false,
     {kParsingM,
      {48, "LoadBatch(): model \"M\" needs 2 args; [1]=1; "},
      {16, "LoadBatch(): coefficient [2] is not a number: x"}},
     0},
    {"MissingCoefficient",
     "model M 1\n",
     false,
     {kParsingM,
      {48, "LoadBatch(): model \"M\" needs 2 args; [1]=1; "},
      {16, "LoadBatch(): coefficient [2] missing"}},
     0},
    {"MissingClauseValue",
     "model M 1 2 combine2 0 5 10\n",
     false,
     {kParsingM, kCoefs12, kCombineInfo},
     0},
    {"BadClauseValue",
     "model M 1 2 combine1 0 ten 1\n",
     false,
     {kParsingM, kCoefs12, kCombineInfo},
     0},
    {"NegativeWeight",
     "model M 1 2 combine1 0 10 -1\n",
     false,
     {kParsingM,
      kCoefs12,
      {16, "LoadBatch(): weight -1 refused: a weight is a finite number, 0 or more"}},
     0},
    {"BadLinesDoNotStopTheReading",
     "plot\nmodel X\nmodel M 1 2 combine1 0 10 1\n",
     true,
     {{16, "LoadBatch(): expected \"model\", found plot"},
      {48, "LoadBatch(): parsing model \"X\""},
      {16, "LoadBatch(): model X not found"},
      kParsingM,
      kCoefs12},
     1},
};

INSTANTIATE_TEST_SUITE_P(Loader, LoaderLines,
                         ::testing::Combine(::testing::ValuesIn(kLoaderCases),
                                            ::testing::Values(',', '.')),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) == ',' ? "Comma" : "Point");
                         });

class Loader : public ::testing::TestWithParam<char> {};

TEST_P(Loader, FillsEntries) {
    ASSERT_TRUE(Load("model M 1 2 combine1 0 10 1\nmodel M 3 4 combine2 0 5 10 2\n"
                     "model C -7\n",
                     GetParam())
                    .result);
    ASSERT_EQ(BatchList.size(), 3u);
    const TBatchEntry& one = BatchList[0];
    EXPECT_EQ(one.Name, "M");
    EXPECT_EQ(one.Model, &test::kLinearModel);
    EXPECT_EQ(one.Coefs, (std::vector<double>{1, 2}));
    EXPECT_TRUE(one.Combined);
    EXPECT_TRUE(one.OneSided);
    EXPECT_EQ(one.Low, 0);
    EXPECT_EQ(one.High, 10);
    EXPECT_EQ(one.Target, 0);
    EXPECT_EQ(one.Weight, 1);
    const TBatchEntry& two = BatchList[1];
    EXPECT_TRUE(two.Combined);
    EXPECT_FALSE(two.OneSided);
    EXPECT_EQ(two.Low, 0);
    EXPECT_EQ(two.Target, 5);
    EXPECT_EQ(two.High, 10);
    EXPECT_EQ(two.Weight, 2);
    const TBatchEntry& last = BatchList[2];
    EXPECT_EQ(last.Model, &test::kConstantModel);
    EXPECT_EQ(last.Coefs, std::vector<double>{-7});
    EXPECT_FALSE(last.Combined);
    EXPECT_FALSE(last.OneSided);
}

TEST_P(Loader, CoefficientsTakeAFullStopClausesOnlyTheLocale) {
    const char separator = GetParam();
    const Loaded both = Load("model M 0.25 0,25 combine1 0 1 1\n", separator);
    if (separator == ',') {
        EXPECT_TRUE(both.result);
        EXPECT_EQ(BatchList.at(0).Coefs, (std::vector<double>{0.25, 0.25}));
        EXPECT_EQ(both.console.back().text,
                  "LoadBatch(): model \"M\" needs 2 args; [1]=0,25; [2]=0,25; ");
    } else {
        EXPECT_FALSE(both.result);
        EXPECT_EQ(both.console.back(),
                  (ConLine{16, "LoadBatch(): coefficient [2] is not a number: 0,25"}));
    }
    const Loaded clause = Load("model M 1 2 combine1 0.5 1 1\n", separator);
    EXPECT_EQ(clause.result, separator == '.');
    EXPECT_EQ(clause.console.back() == kCombineInfo, separator == ',');
}

TEST_P(Loader, CoefficientStorageGrowsWithTheModel) {
    std::string line = "model Wide";
    for (int i = 1; i <= 200; ++i) {
        line += " " + std::to_string(i);
    }
    ASSERT_TRUE(Load(line + " combine1 0 1 1\n", GetParam()).result);
    ASSERT_EQ(BatchList.at(0).Coefs.size(), 200u);
    EXPECT_EQ(BatchList[0].Coefs[199], 200);
}

TEST_P(Loader, NameIsCutTo256Characters) {
    std::string name;
    for (int i = 0; i < 300; ++i) {
        name += "ж";
    }
    std::string looked;
    const Loaded loaded =
        Load("model " + name + " 1\n", GetParam(), [&](std::string_view n) -> const IsotriModel* {
            looked = n;
            return &test::kConstantModel;
        });
    EXPECT_TRUE(loaded.result);
    EXPECT_EQ(looked, name.substr(0, 512));
    EXPECT_EQ(BatchList.at(0).Name, looked);
}

TEST_P(Loader, MissingFileShowsABoxAndNothingOnTheConsole) {
    const TempFile other("");
    const NumberText numbers(GetParam());
    RecordingSink sink;
    const std::string path = (other.Dir() / "nothing.txt").string();
    const auto console = RecordConsole([&] {
        sink.messages.clear();
        EXPECT_FALSE(LoadBatch(path, kFakes, numbers, sink));
    });
    EXPECT_TRUE(console.empty());
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text, "Файл \"" + path + "\" не найден !");
}

TEST_P(Loader, EmptyFile) {
    const TempFile file("");
    const NumberText numbers(GetParam());
    RecordingSink sink;
    const auto console =
        RecordConsole([&] { EXPECT_FALSE(LoadBatch(file.Path(), kFakes, numbers, sink)); });
    const std::vector<ConLine> expected{{16, "LoadBatch(): empty file \"" + file.Path() + "\""}};
    EXPECT_EQ(console, expected);
}

TEST_P(Loader, EveryLoadReplacesTheList) {
    ASSERT_TRUE(
        Load("model M 1 2 combine1 0 10 1\nmodel M 1 2 combine1 0 10 1\n", GetParam()).result);
    EXPECT_EQ(BatchList.size(), 2u);
    EXPECT_FALSE(Load("model X\n", GetParam()).result);
    EXPECT_TRUE(BatchList.empty());
}

TEST_P(Loader, HugeAndBinaryInputEndsCleanly) {
    const NumberText numbers(GetParam());
    RecordingSink sink;

    std::string many;
    for (int i = 0; i < 100000; ++i) {
        many += "model M 1 2 combine1 0 10 1\n";
    }
    const TempFile manyFile(many);
    EXPECT_TRUE(LoadBatch(manyFile.Path(), kFakes, numbers, sink));
    EXPECT_EQ(BatchList.size(), 100000u);

    const Loaded longToken = Load("model M " + std::string(1 << 20, '9') + "x 2\n", GetParam());
    EXPECT_FALSE(longToken.result);
    EXPECT_EQ(longToken.console.back(),
              (ConLine{16, "LoadBatch(): coefficient [1] is not a number: " + std::string(80, '9') +
                               "..."}));

    std::mt19937 random(7);
    std::string binary(1 << 16, '\0');
    for (char& c : binary) {
        c = static_cast<char>(random());
    }
    const TempFile binaryFile(binary);
    const std::vector<ConLine> console =
        RecordConsole([&] { EXPECT_FALSE(LoadBatch(binaryFile.Path(), kFakes, numbers, sink)); });
    EXPECT_TRUE(sink.messages.empty());
    ASSERT_FALSE(console.empty());
    EXPECT_NE(console.back().text.find("двоичные данные"), std::string::npos);
}

// A file that cannot be read whole is refused whole, with the reason on the console.
TEST_P(Loader, InputThatIsNoBatchTextIsRefusedWithItsReason) {
    const std::string good = "model M 1 2 combine1 0 10 1\n";
    struct Case {
        const char* name;
        std::string text;
        const char* reason;
    };
    const Case cases[] = {
        {"NulAfterAGoodLine", good + std::string("model M 1\0 2\n", 13), "двоичные данные"},
        {"ControlBytes", good + "\x01\x02\x03\n", "двоичные данные"},
        {"Utf16LittleEndian", std::string("\xFF\xFEm\0o\0d\0", 8), "UTF-16"},
        {"Utf16BigEndian", std::string("\xFE\xFF\0m\0o", 6), "UTF-16"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Loaded loaded = Load(c.text, GetParam());
        EXPECT_FALSE(loaded.result);
        EXPECT_TRUE(BatchList.empty());
        ASSERT_FALSE(loaded.console.empty());
        EXPECT_EQ(loaded.console.back().level, 16);
        EXPECT_NE(loaded.console.back().text.find(c.reason), std::string::npos)
            << loaded.console.back().text;
    }
}

TEST_P(Loader, NumbersBeyondADoubleAreOutOfRange) {
    const Loaded coefficient = Load("model M 1e400 2 combine1 0 10 1\n", GetParam());
    EXPECT_FALSE(coefficient.result);
    EXPECT_EQ(coefficient.console.back(),
              (ConLine{16, "LoadBatch(): coefficient [1] out of range: 1e400"}));
    const Loaded negative = Load("model M 1 -2e999 combine1 0 10 1\n", GetParam());
    EXPECT_EQ(negative.console.back(),
              (ConLine{16, "LoadBatch(): coefficient [2] out of range: -2e999"}));
    const Loaded clause = Load("model M 1 2 combine1 0 1e400 1\n", GetParam());
    ASSERT_GE(clause.console.size(), 2U);
    EXPECT_EQ(clause.console[clause.console.size() - 2],
              (ConLine{16, "LoadBatch(): combine value out of range: 1e400"}));
    EXPECT_EQ(clause.console.back(), kCombineInfo);
}

// The window must not freeze on a FIFO (the command line reads one as a stream: tests/cli).
TEST_P(Loader, AFifoIsRefusedAsAFile) {
    const TempFile dir("");
    const std::string fifo = (dir.Dir() / "pipe.txt").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const NumberText numbers(GetParam());
    RecordingSink sink;
    EXPECT_FALSE(LoadBatch(fifo, kFakes, numbers, sink));
    ASSERT_EQ(sink.messages.size(), 1U);
    EXPECT_NE(sink.messages[0].text.find("не является обычным файлом"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Separators, Loader, ::testing::Values(',', '.'),
                         [](const auto& info) { return info.param == ',' ? "Comma" : "Point"; });

}  // namespace
}  // namespace isotri
