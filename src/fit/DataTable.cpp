#include "fit/DataTable.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <string_view>
#include <system_error>

#include "common/Error.h"
#include "companion/ConsolePrint.h"
#include "companion/libzorb3.h"

namespace isotri {

namespace {

constexpr std::int32_t kWarning = 32;
constexpr std::int32_t kInfo = 48;
// Skipped rows named one by one before the rest is only counted.
constexpr std::int64_t kNamedSkips = 20;
constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

struct ZorbFree {
    void operator()(TZorbHandle* handle) const { libzorbFree(handle); }
};

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

// Fields of a line; a field in double quotes may hold the separator, "" inside is one quote.
void SplitFields(std::string_view line, char separator, std::vector<std::string>& fields) {
    fields.clear();
    std::size_t i = 0;
    while (true) {
        std::string field;
        std::size_t first = i;
        while (first < line.size() && line[first] != separator &&
               (line[first] == ' ' || line[first] == '\t')) {
            ++first;
        }
        if (first < line.size() && line[first] == '"') {
            for (i = first + 1; i < line.size(); ++i) {
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        field.push_back(line[++i]);
                        continue;
                    }
                    ++i;
                    break;
                }
                field.push_back(line[i]);
            }
        }
        while (i < line.size() && line[i] != separator) {
            field.push_back(line[i++]);
        }
        fields.emplace_back(Trim(field));
        if (i >= line.size()) {
            return;
        }
        ++i;  // the separator
    }
}

DataTable::Field ParseNumber(std::string_view text, bool decimalComma, double& value) {
    if (text.empty()) {
        return DataTable::Field::Empty;
    }
    char buffer[64];
    if (text.size() >= sizeof buffer) {
        return DataTable::Field::NotNumber;
    }
    std::size_t length = 0;
    for (const char c : text) {
        buffer[length++] = c == ',' && decimalComma ? '.' : c;
    }
    const char* begin = buffer;
    const char* end = buffer + length;
    if (*begin == '+') {
        ++begin;
    }
    // from_chars takes "nan" and "inf"; here they are no measurements, so no number.
    if (begin == end ||
        !(std::isdigit(static_cast<unsigned char>(*begin)) || *begin == '.' ||
          (*begin == '-' && begin + 1 < end &&
           (std::isdigit(static_cast<unsigned char>(begin[1])) || begin[1] == '.')))) {
        return DataTable::Field::NotNumber;
    }
    const auto [ptr, error] = std::from_chars(begin, end, value);
    if (ptr != end) {
        return DataTable::Field::NotNumber;
    }
    if (error == std::errc::result_out_of_range) {
        // A value too small to hold is zero; one too large is no measurement.
        if (std::fabs(value) < 1) {
            value = 0;
            return DataTable::Field::Number;
        }
        return DataTable::Field::NotFinite;
    }
    if (error != std::errc() || !std::isfinite(value)) {
        return DataTable::Field::NotFinite;
    }
    return DataTable::Field::Number;
}

const char* FieldProblem(DataTable::Field field) {
    switch (field) {
        case DataTable::Field::Empty:
            return "нет значения";
        case DataTable::Field::NotFinite:
            return "число вне пределов";
        default:
            return "не число";
    }
}

std::string Quoted(const std::string& name) {
    return "«" + name + "»";
}

std::string JoinQuoted(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names) {
        joined += (joined.empty() ? "" : ", ") + Quoted(name);
    }
    return joined;
}

}  // namespace

DataTable DataTable::Read(const std::string& fileName) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(fileName, error);
    if (!std::filesystem::exists(status) || std::filesystem::is_directory(status)) {
        throw Error("Файл данных \"" + fileName + "\" не найден.");
    }
    const std::unique_ptr<TZorbHandle, ZorbFree> file(tokStartFile(fileName.c_str(), ""));
    if (file == nullptr) {
        if (std::filesystem::file_size(fileName, error) == 0 && !error) {
            throw Error("Файл данных \"" + fileName + "\" пуст.");
        }
        throw Error("Файл данных \"" + fileName + "\" не читается.");
    }
    DataTable table;
    table.fileName_ = fileName;
    std::int64_t line = 0;
    std::string_view header;
    while (tokString(file.get()) != 0) {
        ++line;
        header = Trim(tokLast(file.get()));
        if (!header.empty()) {
            break;
        }
    }
    if (header.empty()) {
        throw Error("Файл данных \"" + fileName + "\" пуст.");
    }
    for (const char candidate : {'\t', ';', ','}) {
        if (header.find(candidate) != std::string_view::npos) {
            table.separator_ = candidate;
            break;
        }
    }
    SplitFields(header, table.separator_, table.names_);
    const std::size_t columns = table.names_.size();
    if (columns < 4) {
        throw Error("В заголовке файла \"" + fileName + "\" " + std::to_string(columns) +
                    (columns == 1 ? " столбец" : " столбца") +
                    ", а нужны три компонента и отклик (поля разделяются табуляцией, «;» или "
                    "«,»).");
    }
    const bool decimalComma = table.separator_ != ',';
    std::vector<std::string> fields;
    while (tokString(file.get()) != 0) {
        ++line;
        const std::string_view text = tokLast(file.get());
        if (Trim(text).empty()) {
            continue;
        }
        SplitFields(text, table.separator_, fields);
        if (std::all_of(fields.begin(), fields.end(),
                        [](const std::string& f) { return f.empty(); })) {
            continue;  // a row of separators alone, as spreadsheets leave below the data
        }
        table.lines_.push_back(line);
        table.fieldCounts_.push_back(static_cast<std::uint32_t>(fields.size()));
        for (std::size_t c = 0; c < columns; ++c) {
            double value = std::numeric_limits<double>::quiet_NaN();
            const Field field =
                c < fields.size() ? ParseNumber(fields[c], decimalComma, value) : Field::Empty;
            table.values_.push_back(
                field == Field::Number ? value : std::numeric_limits<double>::quiet_NaN());
            table.fields_.push_back(field);
        }
    }
    if (table.lines_.empty()) {
        throw Error("В файле данных \"" + fileName + "\" только заголовок, строк с опытами нет.");
    }
    return table;
}

std::size_t DataTable::ColumnIndex(const std::string& name) const {
    const auto it = std::find(names_.begin(), names_.end(), name);
    if (it == names_.end()) {
        throw Error("В файле данных нет столбца " + Quoted(name) + "; есть " + JoinQuoted(names_) +
                    ".");
    }
    return static_cast<std::size_t>(it - names_.begin());
}

std::vector<std::size_t> DataTable::NumericColumns() const {
    const std::size_t columns = names_.size();
    std::vector<bool> numeric(columns, false);
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        numeric[i % columns] = numeric[i % columns] || fields_[i] == Field::Number;
    }
    std::vector<std::size_t> result;
    for (std::size_t c = 0; c < columns; ++c) {
        if (numeric[c]) {
            result.push_back(c);
        }
    }
    return result;
}

std::array<std::size_t, 4> DataTable::Choose(const DataColumns& columns) const {
    std::array<std::size_t, 4> chosen{kNone, kNone, kNone, kNone};
    for (std::size_t k = 0; k < 3; ++k) {
        if (!columns.Components[k].empty()) {
            chosen[k] = ColumnIndex(columns.Components[k]);
        }
    }
    if (!columns.Response.empty()) {
        chosen[3] = ColumnIndex(columns.Response);
    }
    const std::vector<std::size_t> numeric = NumericColumns();
    std::size_t next = 0;
    for (std::size_t k = 0; k < 4; ++k) {
        while (chosen[k] == kNone && next < numeric.size()) {
            const std::size_t candidate = numeric[next++];
            if (std::find(chosen.begin(), chosen.end(), candidate) == chosen.end()) {
                chosen[k] = candidate;
            }
        }
        if (chosen[k] == kNone) {
            throw Error(
                "В файле данных меньше четырёх числовых столбцов (нужны три компонента и "
                "отклик); числа есть в " +
                std::to_string(numeric.size()) + " из " + std::to_string(names_.size()) + ".");
        }
    }
    for (std::size_t k = 0; k < 4; ++k) {
        for (std::size_t j = 0; j < k; ++j) {
            if (chosen[j] == chosen[k]) {
                throw Error("Столбец " + Quoted(names_[chosen[k]]) + " выбран дважды.");
            }
        }
    }
    return chosen;
}

std::vector<std::string> DataTable::ResponseChoices(const DataColumns& columns) const {
    DataColumns components = columns;
    components.Response.clear();
    const std::array<std::size_t, 4> chosen = Choose(components);
    std::vector<std::string> choices;
    for (const std::size_t c : NumericColumns()) {
        if (std::find(chosen.begin(), chosen.begin() + 3, c) == chosen.begin() + 3) {
            choices.push_back(names_[c]);
        }
    }
    return choices;
}

FitData DataTable::Select(const DataColumns& columns, const NumberText& numbers) const {
    const std::array<std::size_t, 4> chosen = Choose(columns);
    FitData data;
    data.FileName = fileName_;
    for (std::size_t k = 0; k < 3; ++k) {
        data.ComponentNames[k] = names_[chosen[k]];
    }
    data.ResponseName = names_[chosen[3]];
    data.Rows = RowCount();
    const std::size_t width = names_.size();
    std::int64_t skipped = 0;
    auto skip = [&](std::int64_t row, const std::string& why) {
        if (++skipped <= kNamedSkips) {
            ConLevelPrintf(numbers, kWarning, "Строка %lld пропущена: %s\r",
                           static_cast<long long>(lines_[static_cast<std::size_t>(row)]),
                           why.c_str());
        }
    };
    for (std::int64_t row = 0; row < RowCount(); ++row) {
        const auto r = static_cast<std::size_t>(row);
        if (fieldCounts_[r] > width) {
            skip(row, "полей " + std::to_string(fieldCounts_[r]) + ", а в заголовке " +
                          std::to_string(width));
            continue;
        }
        const std::size_t* bad = std::find_if(chosen.begin(), chosen.end(), [&](std::size_t c) {
            return fields_[r * width + c] != Field::Number;
        });
        if (bad != chosen.end()) {
            skip(row,
                 "поле " + Quoted(names_[*bad]) + ": " + FieldProblem(fields_[r * width + *bad]));
            continue;
        }
        MeasuredPoint point;
        point.Line = lines_[r];
        double sum = 0;
        for (std::size_t k = 0; k < 3; ++k) {
            const double amount = values_[r * width + chosen[k]];
            if (amount < 0) {
                throw Error("Строка " + std::to_string(point.Line) + " файла данных: количество " +
                            Quoted(names_[chosen[k]]) + " отрицательно.");
            }
            point.Mixture[k] = amount;
            sum += amount;
        }
        if (!(sum > 0) || !std::isfinite(sum)) {
            throw Error(
                "Строка " + std::to_string(point.Line) + " файла данных: " +
                (sum > 0 ? "сумма компонентов вне пределов." : "сумма компонентов равна нулю."));
        }
        for (double& share : point.Mixture) {
            share /= sum;
        }
        point.Value = values_[r * width + chosen[3]];
        data.Points.push_back(point);
    }
    if (skipped > kNamedSkips) {
        ConLevelPrintf(numbers, kWarning, "Пропущено ещё строк: %lld\r",
                       static_cast<long long>(skipped - kNamedSkips));
    }
    if (data.Points.empty()) {
        throw Error("В файле данных ни одной полной строки: все " + std::to_string(RowCount()) +
                    " пропущены.");
    }
    ConLevelPrintf(numbers, kInfo, "Строк с опытами %lld, использовано %lld\r",
                   static_cast<long long>(RowCount()), static_cast<long long>(data.Points.size()));
    return data;
}

}  // namespace isotri
