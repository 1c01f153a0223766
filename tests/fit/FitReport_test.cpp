#include "fit/FitReport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "support/ConsoleLevels.h"

namespace isotri {
namespace {

FitData Data() {
    FitData data;
    data.FileName = "опыты.csv";
    data.ComponentNames = {"Цемент", "Песок", "Вода"};
    data.ResponseName = "Прочность";
    data.Points.resize(3);
    data.Points[2].Line = 9;
    return data;
}

FitResult Fit() {
    FitResult fit;
    fit.ModelName = "Линейная модель Шеффе";
    fit.Coefficients = {{"b1", 12.5, 0.25, 50}, {"b2", -3.25, 0.5, -6.5}, {"b3", 1e-7, 2, 5e-8}};
    fit.N = 7;
    fit.P = 3;
    fit.R2 = 0.975;
    fit.R2Adj = 0.9625;
    fit.R2Pred = std::numeric_limits<double>::quiet_NaN();
    fit.S = 0.5;
    fit.WorstPoint = 2;
    fit.WorstStudentised = -2.5;
    return fit;
}

TEST(FitReportTest, LinesWithTheLocalesSeparatorThroughTheConsole) {
    const NumberText comma(',');
    const std::vector<std::string> expected = {
        "Подгонка модели «Линейная модель Шеффе» по файлу «опыты.csv»",
        "Компоненты: Цемент, Песок, Вода; отклик: Прочность",
        "Опытов n = 7, коэффициентов p = 3",
        "Коэфф.        Значение    Ст. ошибка             t",
        "b1                12,5          0,25            50",
        "b2               -3,25           0,5          -6,5",
        "b3               1e-07             2         5e-08",
        "R² = 0,975",
        "Скорректированный R² = 0,9625",
        "Предсказанный R² (PRESS) = не определено",
        "Остаточное стандартное отклонение s = 0,5",
        "Наибольший стьюдентизированный остаток -2,5 в строке 9 файла",
    };
    EXPECT_EQ(test::RecordConsoleText([&] { PrintFitReport(Data(), Fit(), comma); }), expected);
    EXPECT_EQ(FitReportLines(Data(), Fit(), NumberText('.'))[4],
              "b1                12.5          0.25            50");
}

}  // namespace
}  // namespace isotri
