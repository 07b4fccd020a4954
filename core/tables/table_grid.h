// Tables on any grid of x: a table from the user's own columns or from a
// CSV file of x,F,S, its values kept exactly, by the same strict rules as a
// table file; and whether such a table fits a table file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/tables/table.h"
#include "core/tables/table_format.h"

namespace yex {

// The most rows a table from columns or a CSV file may hold.
constexpr int kMaxGridRows = 1000000;

// Rows 1..rows() of `table` as every way in checks them: at least 2 rows
// and at most kMaxGridRows, every value finite and at most kMaxTableValue,
// F and S not negative, x 0 in row 1 and ascending. False with the row (as
// `line`) and the reason otherwise.
bool CheckGridTable(const ScatteringTable& table, TableProblem* problem);

// A table from n values each of x, F and S; Usage "NAME row 3: REASON".
ScatteringTable GridTable(const double* x, const double* f, const double* s, std::size_t n,
                          const std::string& name);

// A table from CSV text: lines of three numbers x,F,S (commas or tabs
// between them, blanks around them), a first line whose first field starts
// with a letter taken as the header, # lines and blank lines skipped, so that
// the CSV `show --csv` and `curve` write reads back. Usage "WHERE line N:
// REASON" (lines counted in the file) otherwise.
ScatteringTable ReadCsvTable(std::string_view text, const std::string& where);
// The same from a file (UTF-8 name); MissingTable when it is not there.
ScatteringTable ReadCsvTableFile(const std::string& path);
// The name a CSV table goes by: its file's name without the extension
// ("runs/calc.csv" is calc, "Fe.csv" Fe).
std::string CsvTableName(const std::string& path);

// Why the table cannot be saved as a table file, or "" when it can: a file
// holds 45 rows, x to 3 digits and F and S to 5, and a table is saved only
// when writing it changes none of its values.
std::string TableFileMisfit(const ScatteringTable& table);

}  // namespace yex
