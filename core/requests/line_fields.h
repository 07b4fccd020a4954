// What yex-cli's curve, average and cross-section compute for each line, for
// every front end that writes such lines: a points file's lines, the numbers
// of one line and their text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/lookup/table_lookup.h"
#include "core/physics/composition.h"
#include "core/physics/cross_section.h"

namespace yex {

// One line of a points file: the first field, split at blanks, tabs or
// commas. Skip for a blank or # line, Point with *value, or NotANumber with
// *field.
enum class PointLine { Skip, Point, NotANumber };
PointLine ParsePointLine(std::string_view line, double* value, std::string_view* field);

// The numbers after the point and x on a line of curve: F and S of each
// table, then with `dcs` dσ_coh/dΩ and dσ_incoh/dΩ at `energyKeV`; nothing
// where a value is missing. Returns whether every field was filled.
bool CurveFields(const std::vector<const TableLookup*>& tables, double x, bool dcs, double energyKeV,
                 std::vector<std::optional<double>>* fields);

// The numbers after the point and x on a line of average: <f²>, <f>², <S>
// and, with a Breit-Dirac power, <S>·Pᴷ at `energyKeV`. Returns whether
// every field was filled.
bool AverageFields(const std::vector<Constituent>& parts, const std::vector<double>& fractions, double x,
                   std::optional<int> power, double energyKeV, std::vector<std::optional<double>>* fields);

// The numbers after the energy on a line of cross-section: σ_coh and
// σ_incoh of each table in barn and, where its molar mass is known, in
// cm²/g.
void CrossSectionFields(const std::vector<CrossSectionPair>& values,
                        const std::vector<std::optional<double>>& molarMasses,
                        std::vector<std::optional<double>>* fields);

// Appends one field's text: empty for nothing, else the shortest text that
// reads back, or with `display` the main window's pattern (x or F/S).
enum class FieldKind { X, Value };
void AppendField(std::string* line, std::optional<double> v, bool display, FieldKind kind);

}  // namespace yex
