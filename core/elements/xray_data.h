// Absorption edges and emission lines of the elements (Elam, Ravel and
// Sieber) and a list of common materials with their densities, as
// data/elam/xray_data.txt holds them; and the names a user types for them:
// an energy "CuKa1" or "Fe-K", a material "kapton".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace yex {

struct AbsorptionEdge {
  std::string element, name;  // "Fe", "K"
  double energyEv = 0, fluorescenceYield = 0, jumpRatio = 0;
};

struct EmissionLine {
  std::string element, name, iupac, initial, final;  // "Cu", "Ka1", "K-L3", "K", "L3"
  double energyEv = 0, intensity = 0;  // intensity relative to the other lines of its initial level
};

struct MaterialEntry {
  std::string name, formula;  // "water", "H2O"
  double density = 0;         // g/cm3
};

// The element's edges and lines in the data's order (an element without
// any gives none); Usage for a symbol that names no element.
std::vector<AbsorptionEdge> EdgesOf(std::string_view symbol);
// Only the lines from `edge`'s level ("K", "L3") when one is given; Usage
// for a level the element has no edge of.
std::vector<EmissionLine> LinesOf(std::string_view symbol,
                                  std::optional<std::string_view> edge = std::nullopt);

// An energy named by a line or an edge: the symbol, case-sensitive as in a
// formula, then the line's Siegbahn or IUPAC name or the edge's, with or
// without a "-" between ("CuKa1", "Cu-Ka1", "Cu-K-L3", "Fe-K", "FeK").
struct NamedEnergy {
  double keV = 0;       // the tabulated eV with the point moved three places
  std::string meaning;  // "CuKa1 = 8.0463 keV: the Cu Ka1 (K-L3) emission line"
};
// Nothing where the text does not start with an element's symbol followed
// by more (a number, say); Usage where it does but the element has no such
// line or edge, listing those it has.
std::optional<NamedEnergy> FindNamedEnergy(std::string_view text);

// Where the edges, lines and materials come from, one line each.
const std::vector<std::string>& XrayDataSource();

// The built-in materials, in the list's order.
const std::vector<MaterialEntry>& BuiltInMaterials();
// A user's list: one material a line, "NAME | FORMULA | DENSITY" (g/cm3),
// blank lines and lines starting with "#" aside. UnreadableData naming
// `file`, the line and what is wrong: not three fields, an empty name, a
// formula that does not read, a density that is not a positive number, a
// name given twice.
std::vector<MaterialEntry> ReadMaterialList(std::string_view text, const std::string& file);
// The material named `name` in any case and spacing ("Kapton", "carbon
// dioxide"): the user's list first, then the built-in one; Usage naming
// the closest names where there is none.
MaterialEntry FindMaterial(std::string_view name, const std::vector<MaterialEntry>& user);

// The page loads the data after the module (tools/pack_chantler_web.py);
// elsewhere it is built in and this is not needed. False when the text
// holds no such data.
bool SetXrayDataText(std::string text);

}  // namespace yex
