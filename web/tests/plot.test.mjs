// The page's plotting helpers (site/plot_series.js, site/plot.js) in Node: what a result's CSV
// becomes, and which plots each computation offers with which series.
import assert from "node:assert/strict";
import fs from "node:fs";
import path from "node:path";
import { test } from "node:test";
import vm from "node:vm";

import { random, site } from "./common.mjs";

const context = { window: {}, setTimeout };
vm.createContext(context);
for (const script of ["plot_series.js", "plot.js"]) vm.runInContext(fs.readFileSync(path.join(site, script), "utf8"), context);
// Plain values of this realm (the script's arrays are another's).
const plain = (f) => (...a) => JSON.parse(JSON.stringify(f(...a)));
const parse = plain(context.window.YexPlot.parse), groups = plain(context.window.YexPlot.groups);
const linearLabels = plain(context.window.YexPlot.linearLabels);
const decades = plain(context.window.YexPlot.decades);
const thin = plain(context.window.YexPlot.thin);

test("a narrow log axis keeps its decades", () => {
  assert.deepEqual(decades(null, 0, 0.005, 1000), [0.01, 0.1, 1, 10, 100, 1000]);
  assert.deepEqual(decades(null, 0, 1e-3, 1e3).length, 7);
});

test("a large series is thinned to what the plot's pixel columns show: extremes, ends and gaps of every column kept", async () => {
  const rnd = random(5), n = 20000, columns = 50;
  const cases = [
    // log x ascending, a wiggle and a series with gaps and values at or below 0
    ["log", Array.from({ length: n }, (_, i) => 0.005 * 2e5 ** (i / (n - 1))), [(x) => Math.sin(7 * Math.log(x)) + 2, (x, i) => (i % 997 < 3 ? null : i % 1500 === 0 ? 0 : x)]],
    // linear x in random order, a spike one point wide
    ["lin", Array.from({ length: n }, () => rnd() * 10), [(x, i) => (i === 12345 ? 1e6 : x * x)]],
  ];
  for (const [axes, xs, makers] of cases) {
    const log = axes === "log", ys = makers.map((m) => xs.map(m));
    const lo = Math.min(...xs), hi = Math.max(...xs);
    const kept = thin(xs, ys, log, log, lo, hi, columns);
    for (let k = 1; k < kept.length; k++) assert.ok(xs[kept[k - 1]] <= xs[kept[k]], "ascending x");
    assert.ok(kept.length <= 5 * columns * ys.length && kept.length < n / 20, String(kept.length));
    const f = log ? Math.log : (v) => v;
    const column = (x) => Math.min(columns - 1, Math.floor(((f(x) - f(lo)) / (f(hi) - f(lo))) * columns));
    const ok = (v) => v != null && Number.isFinite(v) && !(log && v <= 0);
    for (const y of ys) {
      const stats = (idx) => {
        const s = {};
        for (const i of idx) {
          const c = column(xs[i]), t = (s[c] = s[c] || { gap: false, lo: Infinity, hi: -Infinity, first: Infinity, last: -Infinity });
          if (!ok(y[i])) t.gap = true;
          else Object.assign(t, { lo: Math.min(t.lo, y[i]), hi: Math.max(t.hi, y[i]), first: Math.min(t.first, xs[i]), last: Math.max(t.last, xs[i]) });
        }
        return s;
      };
      assert.deepEqual(stats(kept), stats(xs.keys()), axes);
    }
    // Thinned a series at a time for a first plot: the very same points.
    const steps = await context.window.YexPlot.prepare({ clientWidth: 300 }, { columns: [xs, ...ys] },
      { series: ys.map((_, k) => ({ column: k + 1 })) }, axes);
    if (ys.length > 1) assert.deepEqual(JSON.parse(JSON.stringify(steps.kept)), thin(xs, ys, log, log, lo, hi, 300), axes);
    else assert.equal(steps, null);  // one curve: thinned at once
  }
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
