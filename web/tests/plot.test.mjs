// The page's plotting helpers (site/plot.js) in Node: what a result's CSV
// becomes, and which plots each computation offers with which series.
import assert from "node:assert/strict";
import fs from "node:fs";
import path from "node:path";
import { test } from "node:test";
import vm from "node:vm";

import { site } from "./common.mjs";

const context = { window: {} };
vm.runInNewContext(fs.readFileSync(path.join(site, "plot.js"), "utf8"), context);
// Plain values of this realm (the script's arrays are another's).
const plain = (f) => (...a) => JSON.parse(JSON.stringify(f(...a)));
const parse = plain(context.window.YexPlot.parse), groups = plain(context.window.YexPlot.groups);
const linearLabels = plain(context.window.YexPlot.linearLabels);
const decades = plain(context.window.YexPlot.decades);

test("a narrow log axis keeps its decades", () => {
  assert.deepEqual(decades(null, 0, 0.005, 1000), [0.01, 0.1, 1, 10, 100, 1000]);
  assert.deepEqual(decades(null, 0, 1e-3, 1e3).length, 7);
});

test("linear tick labels tell neighbouring ticks apart", () => {
  const cases = [
    [[0, 0.0025, 0.005, 0.0075, 0.01], 0.0025, ["0.0000", "0.0025", "0.0050", "0.0075", "0.0100"]],
    [[-0.2, -1e-17, 0.2], 0.2, ["-0.2", "0.0", "0.2"]],
    [[0, 5, 10], 5, ["0", "5", "10"]],
    [[2e9, 4e9], 2e9, ["2000000000", "4000000000"]],
  ];
  for (const [splits, step, want] of cases) assert.deepEqual(linearLabels(splits, step), want, String(splits));
});

test("a result's text becomes its columns: comments skipped, an empty cell null, CSV and TSV", () => {
  const cases = [
    ["# yex-cli\nx,F(C),S(C)\n0.1,5.1,1.0\n2000,,\n", ",", ["x", "F(C)", "S(C)"], [[0.1, 2000], [5.1, null], [1.0, null]]],
    ["E_keV\tcoh(C)\n17.48\t1.5767785014393092\n", "\t", ["E_keV", "coh(C)"], [[17.48], [1.5767785014393092]]],
    ["x,f2_mean\n1e-3,8.1E+01", ",", ["x", "f2_mean"], [[0.001], [81]]],
  ];
  for (const [text, sep, header, columns] of cases) {
    const r = parse(text, sep);
    assert.deepEqual(r.header, header);
    assert.deepEqual(r.columns, columns);
  }
});

test("each computation offers its plots: one series per column, a colour per table, S and incoherent dashed", () => {
  const amountOf = (name) => (name === "C" ? "atom" : "amount the table describes");
  // What the values are per: a water table is no atom.
  assert.deepEqual(groups("cross-section", ["E_keV", "coh(C)", "coh(Water)"], amountOf)[0].y,
                   "σ (barn per atom of an element, per amount another table describes)");
  assert.equal(groups("curve", ["x", "F(Water)", "dcoh(Water)"], amountOf)[1].y, "dσ/dΩ (barn/sr per amount the table describes)");
  const cases = [
    ["curve", "x,F(C),S(C),F(Water),S(Water)", [["F and S", ["F(C)", "S(C)", "F(Water)", "S(Water)"]]]],
    ["curve", "theta,x,F(C),S(C),dcoh(C),dincoh(C)", [["F and S", ["F(C)", "S(C)"]], ["dσ/dΩ", ["dσ_coh/dΩ(C)", "dσ_incoh/dΩ(C)"]]]],
    ["cross-section", "E_keV,coh(C),incoh(C),coh_cm2g(C),incoh_cm2g(C)",
     [["σ per atom", ["σ_coh(C)", "σ_incoh(C)"]], ["σ per mass", ["σ_coh(C)", "σ_incoh(C)"]]]],
    ["average", "x,f2_mean,f_mean_sq,S_mean,S_mean_BD", [["averages", ["⟨f²⟩", "⟨f⟩²", "⟨S⟩", "⟨S⟩ Breit–Dirac"]]]],
  ];
  for (const [kind, header, want] of cases) {
    const got = groups(kind, header.split(","), amountOf);
    assert.deepEqual(got.map((g) => [g.title, g.series.map((s) => s.label)]), want, `${kind} ${header}`);
    for (const g of got)
      for (const s of g.series) {
        const name = header.split(",")[s.column];
        assert.equal(s.dashed, /^(S|dincoh|incoh)/.test(name), name);
        // The same table, the same colour; another table, another.
        for (const o of g.series)
          if (kind !== "average") assert.equal(s.colour === o.colour, name.replace(/^.*\(/, "") === header.split(",")[o.column].replace(/^.*\(/, ""));
      }
  }
});
