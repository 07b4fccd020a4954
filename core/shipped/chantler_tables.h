// Chantler's f', f'' and photoabsorption as YEX carries them (generated from
// data/chantler/chantler.txt into the yex_shipped library).
#pragma once

#include <string>
#include <vector>

namespace yex {

// The text block of element z (1-92): "Z <z> <symbol> <rows> <edges...>"
// and a line a tabulated energy; nullptr for any other z.
const char* ChantlerBlock(int z);

// Where the numbers come from, one line each.
const std::vector<std::string>& ChantlerSourceLines();

class DispersionSource;
// The tables built in, from the two above (yex_shipped, with the data
// embedded: YEX_EMBED_CHANTLER).
const DispersionSource& BuiltInDispersion();

}  // namespace yex
