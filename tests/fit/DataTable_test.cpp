#include "fit/DataTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Error.h"
#include "support/ConsoleLevels.h"
#include "support/TempFile.h"

namespace isotri {
namespace {

using test::ConLine;
using test::RecordConsole;
using test::TempFile;

const NumberText kComma(',');

struct Selected {
    FitData data;
    std::vector<ConLine> console;
};

Selected ReadAndSelect(const std::string& text, const DataColumns& columns = {}) {
    const TempFile file(text, "data.csv");
    Selected selected;
    selected.console = RecordConsole(
        [&] { selected.data = DataTable::Read(file.Path()).Select(columns, kComma); });
    return selected;
}

std::string ErrorOf(const std::string& text, const DataColumns& columns = {}) {
    try {
        ReadAndSelect(text, columns);
    } catch (const Error& error) {
        return error.what();
    }
    return "no error";
}

struct SeparatorCase {
    const char* name;
    std::string text;
    double a;  // first row's share of the first component
    double value;
};

// The first row is 1 : 2 : 1 in every case, so its first share is 0.25.
TEST(DataTableTest, SeparatorsAndDecimalSeparators) {
    const std::vector<SeparatorCase> cases = {
        {"tab, decimal comma", "A\tB\tC\tY\n0,5\t1\t0,5\t12,5\n", 0.25, 12.5},
        {"semicolon, decimal comma", "A;B;C;Y\n0,5;1;0,5;-1,25e1\n", 0.25, -12.5},
        {"semicolon, decimal point", "A;B;C;Y\n0.5;1;.5;12.5\n", 0.25, 12.5},
        {"comma, decimal point", "A,B,C,Y\n0.5,1,0.5,+12.5\n", 0.25, 12.5},
        {"blanks around fields", " A ; B ; C ; Y \n 0,5 ; 1 ; 0,5 ; 12,5 \n", 0.25, 12.5},
        {"quoted fields", "\"A\",\"B, g\",\"C\",\"Y\"\n\"0.5\",1,0.5,12.5\n", 0.25, 12.5},
        {"CRLF and a byte-order mark",
         "\xEF\xBB\xBF"
         "A;B;C;Y\r\n0,5;1;0,5;12,5\r\n",
         0.25, 12.5},
        {"semicolon in header wins over comma", "A;B,g;C;Y\n0,5;1;0,5;12,5\n", 0.25, 12.5},
    };
    for (const SeparatorCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Selected s = ReadAndSelect(c.text);
        ASSERT_EQ(s.data.Points.size(), 1u);
        EXPECT_DOUBLE_EQ(s.data.Points[0].Mixture[0], c.a);
        EXPECT_DOUBLE_EQ(s.data.Points[0].Mixture[1], 0.5);
        EXPECT_DOUBLE_EQ(s.data.Points[0].Value, c.value);
        EXPECT_EQ(s.data.Points[0].Line, 2);
    }
}

TEST(DataTableTest, HeaderNamesAndWindows1251) {
    // "Вода;Соль" in Windows-1251: the line is not UTF-8.
    const Selected s = ReadAndSelect("\xC2\xEE\xE4\xE0;\xD1\xEE\xEB\xFC;C;Y\n1;1;2;3\n");
    EXPECT_EQ(s.data.ComponentNames[0], "Вода");
    EXPECT_EQ(s.data.ComponentNames[1], "Соль");
    EXPECT_EQ(s.data.ResponseName, "Y");
}

TEST(DataTableTest, ColumnsChosenByNameOrSkippingTextColumns) {
    const std::string text =
        "Опыт;Цемент;Песок;Вода;Прочность;Цена\n"
        "A1;2;1;1;30;5\n"
        "A2;1;2;1;20;6\n";
    const Selected byDefault = ReadAndSelect(text);
    EXPECT_EQ(byDefault.data.ComponentNames[0], "Цемент");
    EXPECT_EQ(byDefault.data.ResponseName, "Прочность");
    EXPECT_DOUBLE_EQ(byDefault.data.Points[0].Mixture[0], 0.5);

    DataColumns chosen;
    chosen.Components = {"Вода", "Цемент", "Песок"};
    chosen.Response = "Цена";
    const Selected byName = ReadAndSelect(text, chosen);
    EXPECT_EQ(byName.data.ComponentNames[0], "Вода");
    EXPECT_DOUBLE_EQ(byName.data.Points[1].Mixture[2], 0.5);
    EXPECT_DOUBLE_EQ(byName.data.Points[1].Value, 6);

    const TempFile file(text);
    EXPECT_EQ(DataTable::Read(file.Path()).ResponseChoices({}),
              (std::vector<std::string>{"Прочность", "Цена"}));
}

TEST(DataTableTest, IncompleteRowsAreSkippedAndNamed) {
    const Selected s = ReadAndSelect(
        "A;B;C;Y;Note\n"
        "1;1;1;5;ok\n"
        "1;;1;5\n"
        "1;1;1;abc\n"
        "1;1;1;1e400\n"
        "1;1;1;NaN\n"
        "\n"
        ";;;;\n"
        "2;1;1;7\n"
        "1,5;1;1;7;x;extra\n");
    ASSERT_EQ(s.data.Points.size(), 2u);
    EXPECT_EQ(s.data.Points[1].Line, 9);
    EXPECT_EQ(s.data.Rows, 7);
    const std::vector<ConLine> expected = {
        {32, "Строка 3 пропущена: поле «B»: нет значения"},
        {32, "Строка 4 пропущена: поле «Y»: не число"},
        {32, "Строка 5 пропущена: поле «Y»: число вне пределов"},
        {32, "Строка 6 пропущена: поле «Y»: не число"},
        {32, "Строка 10 пропущена: полей 6, а в заголовке 5"},
        {48, "Строк с опытами 7, использовано 2"},
    };
    EXPECT_EQ(s.console, expected);
}

TEST(DataTableTest, ManySkippedRowsAreCountedNotListed) {
    std::string text = "A;B;C;Y\n1;1;1;1\n";
    for (int i = 0; i < 1000; ++i) {
        text += "1;1;1;-\n";
    }
    const Selected s = ReadAndSelect(text);
    ASSERT_EQ(s.console.size(), 22u);
    EXPECT_EQ(s.console[20], (ConLine{32, "Пропущено ещё строк: 980"}));
}

struct BadCase {
    const char* name;
    std::string text;
    DataColumns columns;
    const char* message;  // a part of the error's text
};

TEST(DataTableTest, BadInputIsRefusedWithAMessage) {
    DataColumns noSuchResponse;
    noSuchResponse.Response = "Z";
    DataColumns twice;
    twice.Components = {"A", "B", "A"};
    const std::vector<BadCase> cases = {
        {"empty file", "", {}, "пуст"},
        {"blank lines only", "\n  \n", {}, "пуст"},
        {"header only", "A;B;C;Y\n", {}, "только заголовок"},
        {"three columns", "A;B;C\n1;2;3\n", {}, "3 столбца"},
        {"no separator", "ABCY\n1\n", {}, "1 столбец"},
        {"three numeric columns", "A;B;C;Y\n1;2;3;x\n", {}, "меньше четырёх числовых"},
        {"unknown response", "A;B;C;Y\n1;2;3;4\n", noSuchResponse, "нет столбца «Z»"},
        {"column chosen twice", "A;B;C;Y\n1;2;3;4\n", twice, "«A» выбран дважды"},
        {"all rows skipped", "A;B;C;Y\n1;2;;4\n1;;3;5\n;2;3;6\n", {}, "все 3 пропущены"},
        {"negative amount", "A;B;C;Y\n1;2;3;4\n1;-2;3;4\n", {}, "Строка 3 файла данных"},
        {"zero sum", "A;B;C;Y\n0;0;0;4\n", {}, "сумма компонентов равна нулю"},
        {"sum past the doubles", "A;B;C;Y\n1e308;1e308;1;4\n", {}, "вне пределов"},
    };
    for (const BadCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NE(ErrorOf(c.text, c.columns).find(c.message), std::string::npos)
            << ErrorOf(c.text, c.columns);
    }
    EXPECT_NE(ErrorOf("A;B;C;Y\n1;-2;3;4\n").find("«B» отрицательно"), std::string::npos);
}

TEST(DataTableTest, MissingFileIsNamed) {
    try {
        DataTable::Read("/nonexistent/data.csv");
        FAIL();
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("не найден"), std::string::npos);
    }
}

}  // namespace
}  // namespace isotri
