// A result's numbers as a plot takes them: its CSV's columns, the plots
// each computation offers and their series, and a large series thinned to
// what a plot's pixel columns show. The numbers are the CSV's own, read
// back with Number().
"use strict";

window.YexSeries = (function () {
  // One colour a table (or a column of an average), on white.
  const COLOURS = ["#c00000", "#0050c8", "#008a00", "#b000b0", "#d07000", "#007c80", "#5a3c00", "#505050"];

  // Header and columns of a CSV or TSV result, comments left out; an
  // empty cell (a point out of range) is null. One pass over the text: a
  // curve of 100,000 points is parsed in tens of milliseconds.
  function parse(text, sep) {
    let header = null, columns = null, at = 0;
    while (at < text.length) {
      let end = text.indexOf("\n", at);
      if (end < 0) end = text.length;
      if (end > at && text[at] !== "#") {
        if (!header) {
          header = text.slice(at, end).split(sep);
          columns = header.map(() => []);
        } else {
          let from = at;
          for (let c = 0; c < header.length; c++) {
            let to = text.indexOf(sep, from);
            if (to < 0 || to > end) to = end;
            columns[c].push(to > from ? Number(text.slice(from, to)) : null);
            from = to + 1;
          }
        }
      }
      at = end + 1;
    }
    return { header: header || [], columns: columns || [] };
  }

  // The plots a result offers: each a y label and its series (column,
  // label, colour, dashed). `amountOf(name)` says what a table's values are
  // per ("atom", or "amount the table describes").
  function groups(kind, header, amountOf = () => "amount the table describes") {
    const table = (h) => (h.match(/\((.*)\)$/) || [])[1];
    const names = [...new Set(header.map(table).filter((t) => t))];
    const amounts = [...new Set(names.map(amountOf))];
    const per = amounts.length === 1 ? "per " + amounts[0] : "per atom of an element, per amount another table describes";
    const colourOf = (h) => COLOURS[names.indexOf(table(h)) % COLOURS.length];
    const pick = (re, dashed, label) =>
      header.flatMap((h, c) => (re.test(h) ? [{ column: c, label: label(h), colour: colourOf(h), dashed: dashed(h) }] : []));
    if (kind === "curve") {
      const out = [{ title: "F and S", y: "F(x), S(x)", series: pick(/^[FS]\(/, (h) => h[0] === "S", (h) => h) }];
      const dcs = pick(/^dcoh\(|^dincoh\(/, (h) => h.startsWith("dincoh"), (h) => h.replace("dcoh", "dσ_coh/dΩ").replace("dincoh", "dσ_incoh/dΩ"));
      if (dcs.length) out.push({ title: "dσ/dΩ", y: "dσ/dΩ (barn/sr " + per + ")", series: dcs });
      return out;
    }
    if (kind === "dispersion")
      return [{ title: "f′ and f″", y: "f′, f″ (electrons)", series: pick(/^fd?p\(/, (h) => h.startsWith("fdp"), (h) => h.replace(/^fdp/, "f″").replace(/^fp/, "f′")) }];
    if (kind === "attenuation") {
      // One colour a quantity (a material's are told apart by the legend).
      const per = header.flatMap((h, c) => {
        const m = h.match(/^(photo|coh|incoh|total)_cm2g\((.*)\)$/);
        const names = { photo: "photoabsorption", coh: "coherent", incoh: "incoherent", total: "total" };
        return m ? [{ column: c, label: names[m[1]] + " (" + m[2] + ")", colour: COLOURS[["total", "photo", "coh", "incoh"].indexOf(m[1])], dashed: m[1] === "coh" || m[1] === "incoh" }] : [];
      });
      const out = [{ title: "μ/ρ", y: "μ/ρ (cm²/g)", series: per }];
      const t = header.findIndex((h) => h.startsWith("transmission("));
      if (t > 0) out.push({ title: "transmission", y: "transmission", series: [{ column: t, label: header[t], colour: COLOURS[0], dashed: false }] });
      return out;
    }
    if (kind === "cross-section") {
      const barn = pick(/^(coh|incoh)\(/, (h) => h.startsWith("incoh"), (h) => h.replace(/^coh/, "σ_coh").replace(/^incoh/, "σ_incoh"));
      const cm2g = pick(/_cm2g\(/, (h) => h.startsWith("incoh"), (h) => h.replace(/^coh_cm2g/, "σ_coh").replace(/^incoh_cm2g/, "σ_incoh"));
      return [
        { title: "σ " + (amounts.length === 1 && amounts[0] === "atom" ? "per atom" : "in barn"), y: "σ (barn " + per + ")", series: barn },
        { title: "σ per mass", y: "σ (cm²/g)", series: cm2g },
      ];
    }
    if (kind === "index") {
      const one = (re, label) => pick(re, () => false, label);
      return [
        { title: "δ and β", y: "δ, β", series: [...one(/^delta\(/, () => "δ"), ...pick(/^beta\(/, () => true, () => "β")] },
        { title: "critical angle", y: "critical angle (mrad)", series: one(/^critical_angle_mrad\(/, (h) => h) },
        { title: "attenuation length", y: "attenuation length (cm)", series: one(/^length_cm\(/, (h) => h) },
      ];
    }
    if (kind === "reflectivity")
      return [{ title: "reflectivity", y: "reflectivity", series: pick(/^reflectivity\(/, () => false, (h) => h) }];
    const labels = { f2_mean: "⟨f²⟩", f_mean_sq: "⟨f⟩²", S_mean: "⟨S⟩", S_mean_BD: "⟨S⟩ Breit–Dirac" };
    const series = header.flatMap((h, c) => (labels[h] ? [{ column: c, label: labels[h], colour: COLOURS[c % COLOURS.length], dashed: h.startsWith("S") }] : []));
    return [{ title: "averages", y: "⟨f²⟩, ⟨f⟩², ⟨S⟩ per atom", series }];
  }

  // How far below a log plot's largest value it reaches: smaller values
  // (a transmission of 1e-300) are left out, with a note.
  const LOG_DEPTH = 1e30;

  // A value a plot can place: finite, and above zero on a log axis.
  const usable = (v, log) => v != null && Number.isFinite(v) && !(log && v <= 0);

  // The points of `xs` and `ys` (columns of numbers; null or NaN missing)
  // that a plot `columns` pixels wide between x = lo and hi can show, as
  // plotting libraries thin large series: in each pixel column, per series,
  // the first, last, lowest and highest point and one missing value (so a
  // gap stays a gap), and the nearest point beyond either end. Returns the
  // kept indices in ascending x; a short series keeps every point.
  function thin(xs, ys, logX, logY, lo, hi, columns) {
    const n = xs.length, byX = (a, b) => xs[a] - xs[b] || a - b;
    if (n <= 8 * columns) {
      const all = [];
      for (let i = 0; i < n; i++) if (usable(xs[i], logX)) all.push(i);
      return all.sort(byX);
    }
    const from = logX ? Math.log(lo) : lo, scale = columns / ((logX ? Math.log(hi) : hi) - from || 1);
    // Per series and column (0 and columns + 1 beyond the ends): first,
    // last, lowest, highest, missing; -1 for none.
    const width = columns + 2, slots = new Int32Array(5 * width * ys.length).fill(-1);
    for (let i = 0; i < n; i++) {
      const x = xs[i];
      if (!Number.isFinite(x) || (logX && x <= 0)) continue;
      const c = x < lo ? 0 : x > hi ? width - 1 : 1 + Math.min(columns - 1, Math.floor(((logX ? Math.log(x) : x) - from) * scale));
      for (let k = 0; k < ys.length; k++) {
        const at = 5 * (k * width + c), y = ys[k][i];
        if (!Number.isFinite(y) || (logY && y <= 0)) {
          if (c > 0 && c < width - 1 && slots[at + 4] < 0) slots[at + 4] = i;
        } else if (slots[at] < 0) {
          slots[at] = slots[at + 1] = slots[at + 2] = slots[at + 3] = i;
        } else {
          if (x < xs[slots[at]]) slots[at] = i;
          if (x > xs[slots[at + 1]]) slots[at + 1] = i;
          if (y < ys[k][slots[at + 2]]) slots[at + 2] = i;
          if (y > ys[k][slots[at + 3]]) slots[at + 3] = i;
        }
      }
    }
    const kept = new Set();
    for (let k = 0; k < ys.length; k++)
      for (let c = 0; c < width; c++) {
        const at = 5 * (k * width + c);
        // Beyond the ends only the nearest point: the line runs to the edge.
        const fields = c === 0 ? [1] : c === width - 1 ? [0] : [0, 1, 2, 3, 4];
        for (const j of fields) if (slots[at + j] >= 0) kept.add(slots[at + j]);
      }
    return [...kept].sort(byX);
  }

  // The computed point nearest to x, over the whole result (the plot may
  // show fewer): a binary search where x ascends, else a scan.
  function nearest(xs, x, logX) {
    let best = -1;
    if (xs.yexAscending) {
      let a = 0, b = xs.length;
      while (a < b) {
        const m = (a + b) >> 1;
        if (xs[m] < x) a = m + 1;
        else b = m;
      }
      for (const i of [a - 1, a]) if (i >= 0 && i < xs.length && (best < 0 || Math.abs(xs[i] - x) < Math.abs(xs[best] - x))) best = i;
      return best;
    }
    for (let i = 0; i < xs.length; i++)
      if (usable(xs[i], logX) && (best < 0 || Math.abs(xs[i] - x) < Math.abs(xs[best] - x))) best = i;
    return best;
  }

  // The points draw shows of the whole result, thinned a series at a time
  // with a pause between, so that the page's thread answers meanwhile and no
  // task grows with the number of series: the same points as thin at once
  // (each series keeps its own). Null where there is nothing to spread out.
  async function prepare(box, result, group, axes) {
    const logX = axes === "log", logY = axes !== "lin";
    const xs = result.columns[0], ys = group.series.map((s) => result.columns[s.column]);
    const width = Math.max(260, box.clientWidth || 600);
    if (xs.length <= 8 * width || ys.length < 2) return null;
    const { lo, hi } = extent(xs, logX);
    const kept = new Set();
    for (const y of ys) {
      await new Promise((resolve) => setTimeout(resolve, 0));
      for (const i of thin(xs, [y], logX, logY, lo, hi, width)) kept.add(i);
    }
    return { width, lo, hi, kept: [...kept].sort((a, b) => xs[a] - xs[b] || a - b) };
  }

  // The range of x a plot shows and whether x ascends.
  function extent(xs, logX) {
    let lo = Infinity, hi = -Infinity, up = true;
    for (let i = 0; i < xs.length; i++) {
      const x = xs[i];
      if (i > 0 && !(x > xs[i - 1])) up = false;
      if (!usable(x, logX)) continue;
      if (x < lo) lo = x;
      if (x > hi) hi = x;
    }
    return { lo, hi, up };
  }

  return { COLOURS, LOG_DEPTH, usable, parse, groups, thin, nearest, prepare, extent };
})();
