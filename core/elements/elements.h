// The elements H to Cf: symbols and standard atomic weights.
#pragma once

#include <string_view>

namespace yex {

constexpr int ElementCount = 98;

// Atomic number of a symbol ("Fe" -> 26), 0 when it names no element 1..98.
int AtomicNumber(std::string_view symbol);
std::string_view ElementSymbol(int z);
// IUPAC conventional atomic weight; for elements without a standard value,
// the mass number of a long-lived isotope.
double StandardAtomicWeight(int z);

// The element whose shipped table a table name is, by the store's rule:
// in any case, ".yex" or not ("fe", "Fe.yex"); 0 for none. A table name,
// not a formula: a formula is read case-sensitively (core/elements/formula.h).
int ElementOfTableName(std::string_view name);

}  // namespace yex
