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

}  // namespace yex
