// edges, lines and materials: what Elam's tables and the materials list say.
#include "core/elements/elements.h"
#include "core/elements/xray_data.h"
#include "core/numbers/numeric.h"
#include "core/requests/report.h"
#include "core/requests/request.h"
#include "core/tables/table_store.h"

namespace yex {
namespace {

void SourceComments(RecordWriter& w, const std::string& command, const Provenance& who) {
  w.Comment(who.program + " " + command);
  for (const std::string& line : XrayDataSource()) w.Comment(line);
}

}  // namespace

RunSummary WriteEdges(const XrayListRequest& r, const Provenance& who, RecordWriter& w) {
  std::vector<std::vector<AbsorptionEdge>> edges;
  for (const std::string& e : r.elements) edges.push_back(EdgesOf(e));
  SourceComments(w, "edges", who);
  w.Comment("E_keV: the edge's energy; fluorescence_yield and jump_ratio as Elam et al. give them");
  w.Header({"element", "edge", "E_keV", "fluorescence_yield", "jump_ratio"});
  RunSummary s;
  for (const std::vector<AbsorptionEdge>& list : edges)
    for (const AbsorptionEdge& e : list) {
      w.Line({e.element, e.name}, {MovedDecimal(e.energyEv, -3), e.fluorescenceYield, e.jumpRatio});
      ++s.points;
    }
  return s;
}

RunSummary WriteLines(const XrayListRequest& r, const Provenance& who, RecordWriter& w) {
  std::vector<std::vector<EmissionLine>> lines;
  for (const std::string& e : r.elements)
    lines.push_back(LinesOf(e, r.edge ? std::optional<std::string_view>(*r.edge) : std::nullopt));
  SourceComments(w, "lines", who);
  w.Comment(
      "line: Siegbahn's name (IUPAC's in the # line of each); intensity relative to the other lines "
      "from the same initial level; initial and final: the levels of the transition");
  w.Header({"element", "line", "E_keV", "intensity", "initial", "final"});
  RunSummary s;
  for (const std::vector<EmissionLine>& list : lines)
    for (const EmissionLine& l : list) {
      w.Line({l.element, l.name}, {MovedDecimal(l.energyEv, -3), l.intensity}, {l.initial, l.final});
      ++s.points;
    }
  return s;
}

RunSummary WriteMaterials(const TableStore& store, const Provenance& who, RecordWriter& w) {
  const std::vector<MaterialEntry> own = store.Materials();
  SourceComments(w, "materials", who);
  if (const std::optional<std::string> where = store.MaterialsOrigin())
    w.Comment(*where + ": " + std::to_string(own.size()) + " materials, listed first");
  w.Comment("density in g/cm3; names in any case where a --material is taken");
  w.Header({"name", "formula", "density_gcm3"});
  RunSummary s;
  for (const std::vector<MaterialEntry>* list : {&own, &BuiltInMaterials()})
    for (const MaterialEntry& m : *list) {
      // A name or formula holding the separator is quoted, as CSV does.
      const auto field = [](const std::string& t) {
        return t.find(',') == std::string::npos && t.find('"') == std::string::npos ? t : "\"" + t + "\"";
      };
      w.Line({field(m.name), field(m.formula)}, {m.density});
      ++s.points;
    }
  return s;
}

}  // namespace yex
