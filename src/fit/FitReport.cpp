#include "fit/FitReport.h"

#include <cmath>
#include <cstdint>

#include "companion/ConsolePrint.h"

namespace isotri {

namespace {

constexpr std::int32_t kInfo = 48;
constexpr std::size_t kLabelWidth = 8;
constexpr std::size_t kNumberWidth = 14;

std::size_t Characters(const std::string& text) {
    std::size_t count = 0;
    for (const char c : text) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

std::string PadRight(std::string text, std::size_t width) {
    const std::size_t length = Characters(text);
    return length < width ? text + std::string(width - length, ' ') : text + " ";
}

std::string PadLeft(const std::string& text, std::size_t width) {
    const std::size_t length = Characters(text);
    return length < width ? std::string(width - length, ' ') + text : " " + text;
}

std::string Number(const NumberText& numbers, double value) {
    return std::isfinite(value) ? numbers.Format("%.6g", value) : "не определено";
}

}  // namespace

std::vector<std::string> FitReportLines(const FitData& data, const FitResult& fit,
                                        const NumberText& numbers) {
    std::vector<std::string> lines;
    lines.push_back("Подгонка модели «" + fit.ModelName + "» по файлу «" + data.FileName + "»");
    lines.push_back("Компоненты: " + data.ComponentNames[0] + ", " + data.ComponentNames[1] + ", " +
                    data.ComponentNames[2] + "; отклик: " + data.ResponseName);
    lines.push_back("Опытов n = " + std::to_string(fit.N) +
                    ", коэффициентов p = " + std::to_string(fit.P));
    lines.push_back(PadRight("Коэфф.", kLabelWidth) + PadLeft("Значение", kNumberWidth) +
                    PadLeft("Ст. ошибка", kNumberWidth) + PadLeft("t", kNumberWidth));
    for (const FitCoefficient& c : fit.Coefficients) {
        lines.push_back(PadRight(c.Label, kLabelWidth) +
                        PadLeft(Number(numbers, c.Value), kNumberWidth) +
                        PadLeft(Number(numbers, c.StdErr), kNumberWidth) +
                        PadLeft(Number(numbers, c.T), kNumberWidth));
    }
    lines.push_back("R² = " + Number(numbers, fit.R2));
    lines.push_back("Скорректированный R² = " + Number(numbers, fit.R2Adj));
    lines.push_back("Предсказанный R² (PRESS) = " + Number(numbers, fit.R2Pred));
    lines.push_back("Остаточное стандартное отклонение s = " + Number(numbers, fit.S));
    if (std::isfinite(fit.WorstStudentised)) {
        lines.push_back("Наибольший стьюдентизированный остаток " +
                        Number(numbers, fit.WorstStudentised) + " в строке " +
                        std::to_string(data.Points[fit.WorstPoint].Line) + " файла");
    } else {
        lines.push_back("Стьюдентизированные остатки не определены");
    }
    return lines;
}

void PrintFitReport(const FitData& data, const FitResult& fit, const NumberText& numbers) {
    for (const std::string& line : FitReportLines(data, fit, numbers)) {
        ConLevelPrintf(numbers, kInfo, "%s\r", line.c_str());
    }
}

}  // namespace isotri
