#include "core/elements/xray_data.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>
#include <mutex>

#include "core/elements/elements.h"
#include "core/elements/formula.h"
#include "core/error.h"
#include "core/numbers/numeric.h"

namespace yex {

#ifdef YEX_XRAY_DATA_BUILT_IN
const char* EmbeddedXrayDataText();  // generated from data/elam/xray_data.txt
#else
static const char* EmbeddedXrayDataText() { return nullptr; }
#endif

namespace {

struct XrayData {
  std::vector<std::string> source;
  std::vector<AbsorptionEdge> edges;
  std::vector<EmissionLine> lines;
  std::vector<MaterialEntry> materials;
};

double Number(std::string_view word) {
  double v = 0;
  if (!ParseWholeNumber(word, &v) || !std::isfinite(v))
    Fail(ErrorKind::UnreadableData, "X-ray data: \"" + std::string(word) + "\" is not a number");
  return v;
}

std::unique_ptr<XrayData> Parse(std::string_view text) {
  auto d = std::make_unique<XrayData>();
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    const std::string_view line = text.substr(at, end - at);
    at = end + 1;
    if (line.rfind("# ", 0) == 0) {
      if (line.rfind("# sha256", 0) != 0) d->source.emplace_back(line.substr(2));
      continue;
    }
    const std::vector<std::string_view> w = Words(line);
    if (w.empty()) continue;
    if (w[0] == "edge" && w.size() == 6) {
      d->edges.push_back({std::string(w[1]), std::string(w[2]), Number(w[3]), Number(w[4]), Number(w[5])});
    } else if (w[0] == "line" && w.size() == 8) {
      d->lines.push_back({std::string(w[1]), std::string(w[2]), std::string(w[3]), std::string(w[4]),
                          std::string(w[5]), Number(w[6]), Number(w[7])});
    } else if (w[0] == "material" && w.size() >= 3) {
      const std::string_view rest = line.substr(w[2].data() - line.data());
      const std::size_t bar = rest.find('|');
      if (bar == std::string_view::npos)
        Fail(ErrorKind::UnreadableData, "X-ray data: a material without a name");
      d->materials.push_back(
          {std::string(rest.substr(bar + 1)), std::string(rest.substr(0, bar)), Number(w[1])});
    } else {
      Fail(ErrorKind::UnreadableData, "X-ray data: cannot read \"" + std::string(line) + "\"");
    }
  }
  return d;
}

std::mutex& Lock() {
  static std::mutex lock;
  return lock;
}
std::unique_ptr<XrayData>& Loaded() {
  static std::unique_ptr<XrayData> data;
  return data;
}

const XrayData& Data() {
  const std::lock_guard<std::mutex> hold(Lock());
  std::unique_ptr<XrayData>& data = Loaded();
  if (!data) {
    const char* text = EmbeddedXrayDataText();
    if (!text)
      Fail(ErrorKind::MissingTable, "the edges, lines and materials have not been loaded into the page");
    data = Parse(text);
  }
  return *data;
}

int Element(std::string_view symbol) {
  const int z = AtomicNumber(symbol);
  if (!z)
    Fail(ErrorKind::Usage, std::string(symbol) + ": not an element's symbol (symbols are case-sensitive)");
  return z;
}

// "Kapton", "carbon  dioxide" as the list writes names.
std::string NameKey(std::string_view name) {
  std::string out;
  for (const char c : name) {
    if (c == ' ' || c == '\t') {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else {
      out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

}  // namespace

bool SetXrayDataText(std::string text) {
  std::unique_ptr<XrayData> parsed;
  try {
    parsed = Parse(text);
  } catch (const Error&) {
    return false;
  }
  if (parsed->edges.empty() || parsed->lines.empty()) return false;
  const std::lock_guard<std::mutex> hold(Lock());
  Loaded() = std::move(parsed);
  return true;
}

const std::vector<std::string>& XrayDataSource() { return Data().source; }

std::vector<AbsorptionEdge> EdgesOf(std::string_view symbol) {
  Element(symbol);
  std::vector<AbsorptionEdge> out;
  for (const AbsorptionEdge& e : Data().edges)
    if (e.element == symbol) out.push_back(e);
  return out;
}

std::vector<EmissionLine> LinesOf(std::string_view symbol, std::optional<std::string_view> edge) {
  Element(symbol);
  if (edge) {
    const std::vector<AbsorptionEdge> edges = EdgesOf(symbol);
    if (std::none_of(edges.begin(), edges.end(), [&](const AbsorptionEdge& e) { return e.name == *edge; }))
      Fail(ErrorKind::Usage, std::string(symbol) + " has no edge " + std::string(*edge));
  }
  std::vector<EmissionLine> out;
  for (const EmissionLine& l : Data().lines)
    if (l.element == symbol && (!edge || l.initial == *edge)) out.push_back(l);
  return out;
}

std::optional<NamedEnergy> FindNamedEnergy(std::string_view text) {
  if (text.empty() || !std::isupper(static_cast<unsigned char>(text[0]))) return std::nullopt;
  std::string symbol, asked;  // the first reading that looked like a name, for the message
  for (const std::size_t n : {std::size_t{2}, std::size_t{1}}) {
    if (text.size() <= n || !AtomicNumber(text.substr(0, n))) continue;
    std::string_view rest = text.substr(n);
    if (rest.front() == '-') rest.remove_prefix(1);
    // Every line's and edge's name starts with its shell's capital letter.
    if (rest.empty() || !std::isupper(static_cast<unsigned char>(rest.front()))) continue;
    const std::string element(text.substr(0, n));
    const XrayData& d = Data();
    for (const EmissionLine& l : d.lines)
      if (l.element == element && (l.name == rest || l.iupac == rest))
        return NamedEnergy{MovedDecimal(l.energyEv, -3),
                           std::string(text) + " = " + ShortestText(MovedDecimal(l.energyEv, -3)) +
                               " keV: the " + element + " " + l.name + " (" + l.iupac + ") emission line"};
    for (const AbsorptionEdge& e : d.edges)
      if (e.element == element && e.name == rest)
        return NamedEnergy{MovedDecimal(e.energyEv, -3),
                           std::string(text) + " = " + ShortestText(MovedDecimal(e.energyEv, -3)) +
                               " keV: the " + element + " " + e.name + " absorption edge"};
    if (symbol.empty()) symbol = element, asked = std::string(rest);
  }
  if (symbol.empty()) return std::nullopt;
  std::string lines, edges;
  for (const EmissionLine& l : LinesOf(symbol)) lines += " " + l.name;
  for (const AbsorptionEdge& e : EdgesOf(symbol)) edges += " " + e.name;
  Fail(ErrorKind::Usage, std::string(text) + ": " + symbol + " has no emission line or absorption edge " +
                             asked + " (lines:" + (lines.empty() ? " none" : lines) +
                             "; edges:" + (edges.empty() ? " none" : edges) + ")");
}

const std::vector<MaterialEntry>& BuiltInMaterials() { return Data().materials; }

std::vector<MaterialEntry> ReadMaterialList(std::string_view text, const std::string& file) {
  std::vector<MaterialEntry> out;
  int number = 0;
  for (std::size_t at = 0; at <= text.size();) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    const std::string_view line = Trim(text.substr(at, end - at));
    at = end + 1;
    ++number;
    if (line.empty() || line.front() == '#') continue;
    const auto bad = [&](const std::string& why) {
      Fail(ErrorKind::UnreadableData, file + " line " + std::to_string(number) + ": " + why);
    };
    std::vector<std::string_view> fields;
    for (std::size_t from = 0;;) {
      const std::size_t bar = line.find('|', from);
      fields.push_back(
          Trim(line.substr(from, bar == std::string_view::npos ? std::string_view::npos : bar - from)));
      if (bar == std::string_view::npos) break;
      from = bar + 1;
    }
    if (fields.size() != 3) bad("expected NAME | FORMULA | DENSITY");
    if (fields[0].empty()) bad("a material needs a name");
    const FormulaResult f = ParseFormula(fields[1]);
    if (!f.ok) bad("formula " + std::string(fields[1]) + ": " + f.error);
    double density = 0;
    if (!ParseWholeNumber(fields[2], &density) || !std::isfinite(density) || !(density > 0))
      bad("density " + std::string(fields[2]) + " is not a positive number of g/cm3");
    const std::string key = NameKey(fields[0]);
    for (const MaterialEntry& m : out)
      if (NameKey(m.name) == key) bad(std::string(fields[0]) + " is named twice");
    out.push_back({std::string(fields[0]), std::string(fields[1]), density});
    if (end == text.size()) break;
  }
  return out;
}

MaterialEntry FindMaterial(std::string_view name, const std::vector<MaterialEntry>& user) {
  const std::string key = NameKey(name);
  for (const std::vector<MaterialEntry>* list : {&user, &BuiltInMaterials()})
    for (const MaterialEntry& m : *list)
      if (NameKey(m.name) == key) return m;
  // The names sharing the first letters, to say what there is.
  std::string near;
  for (const MaterialEntry& m : BuiltInMaterials())
    if (!key.empty() && NameKey(m.name).compare(0, 2, key, 0, 2) == 0)
      near += (near.empty() ? "" : ", ") + m.name;
  Fail(ErrorKind::Usage, "material " + std::string(name) + ": not in the list (yex-cli materials lists them" +
                             (near.empty() ? std::string() : "; near it: " + near) + ")");
}

}  // namespace yex
