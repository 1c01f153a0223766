// A table of measured mixtures: a header row of names, then rows of numbers. Fields are
// separated by tab, ";" or "," (the first of these that the header holds); a number's decimal
// separator is "." or, where the field separator is not ",", also ",". Lines are read as batch
// files are: UTF-8, a line that is not valid UTF-8 taken as Windows-1251.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/NumberText.h"

namespace isotri {

// Columns chosen by name; an empty name takes the default: the first three columns that hold a
// number for the components, the next such column for the response.
struct DataColumns {
    std::array<std::string, 3> Components;
    std::string Response;
};

struct MeasuredPoint {
    std::array<double, 3> Mixture{};  // shares summing to 1
    double Value = 0;
    std::int64_t Line = 0;  // line of the file (the header is line 1)
};

// What a fit works on: the rows of the table that hold every chosen value.
struct FitData {
    std::string FileName;
    std::array<std::string, 3> ComponentNames;
    std::string ResponseName;
    std::vector<MeasuredPoint> Points;
    std::int64_t Rows = 0;  // data rows of the file, skipped ones included
};

class DataTable {
  public:
    // Throws isotri::Error, with a Russian message, for a file that is missing, empty, holds a
    // header only or has fewer than four columns.
    static DataTable Read(const std::string& fileName);

    const std::string& FileName() const { return fileName_; }
    const std::vector<std::string>& Names() const { return names_; }
    char Separator() const { return separator_; }
    std::int64_t RowCount() const { return static_cast<std::int64_t>(lines_.size()); }

    // The columns that may serve as the response once the components are chosen: those holding
    // a number in some row, the components excepted, in column order.
    std::vector<std::string> ResponseChoices(const DataColumns& columns) const;

    // The chosen columns' rows, each mixture normalised by its sum. A row with a missing or
    // non-numeric chosen value is skipped with a console warning naming the row and the field;
    // the counts go to the console. Throws isotri::Error for an unknown column, a negative amount,
    // a zero sum, or when no row is left.
    FitData Select(const DataColumns& columns, const NumberText& numbers) const;

    enum class Field : std::uint8_t { Number, Empty, NotNumber, NotFinite };

  private:
    std::size_t ColumnIndex(const std::string& name) const;
    std::vector<std::size_t> NumericColumns() const;
    std::array<std::size_t, 4> Choose(const DataColumns& columns) const;

    std::string fileName_;
    std::vector<std::string> names_;
    char separator_ = ';';
    // Row-major, names_.size() values a row; a value that is not a Number is NaN.
    std::vector<double> values_;
    std::vector<Field> fields_;
    std::vector<std::int64_t> lines_;         // line of the file of each row
    std::vector<std::uint32_t> fieldCounts_;  // fields the row had, to catch shifted columns
};

}  // namespace isotri
