// Plots of a result's CSV with uPlot (bundled from npm at build time):
// log or linear axes, a legend that reads out the nearest point, zoom on a
// drag and back on a double-click, and the plot as PNG or SVG. The numbers
// plotted are the CSV's own, read back with Number().
"use strict";

window.YexPlot = (function () {
  // One colour a table (or a column of an average), on white.
  const COLOURS = ["#c00000", "#0050c8", "#008a00", "#b000b0", "#d07000", "#007c80", "#5a3c00", "#505050"];

  const UNITS = {
    x: "x = sin(θ/2)/λ (Å⁻¹)",
    q: "Q = 4πx (Å⁻¹)",
    qnm: "Q (nm⁻¹)",
    theta: "θ, scattering angle (degrees)",
    E_keV: "photon energy (keV)",
  };

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

  // The header of a result: its first line that is not a comment.
  function header(text, sep) {
    for (let at = 0; at < text.length; ) {
      let end = text.indexOf("\n", at);
      if (end < 0) end = text.length;
      if (end > at && text[at] !== "#") return text.slice(at, end).split(sep);
      at = end + 1;
    }
    return [];
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
    if (kind === "cross-section") {
      const barn = pick(/^(coh|incoh)\(/, (h) => h.startsWith("incoh"), (h) => h.replace(/^coh/, "σ_coh").replace(/^incoh/, "σ_incoh"));
      const cm2g = pick(/_cm2g\(/, (h) => h.startsWith("incoh"), (h) => h.replace(/^coh_cm2g/, "σ_coh").replace(/^incoh_cm2g/, "σ_incoh"));
      return [
        { title: "σ " + (amounts.length === 1 && amounts[0] === "atom" ? "per atom" : "in barn"), y: "σ (barn " + per + ")", series: barn },
        { title: "σ per mass", y: "σ (cm²/g)", series: cm2g },
      ];
    }
    const labels = { f2_mean: "⟨f²⟩", f_mean_sq: "⟨f⟩²", S_mean: "⟨S⟩", S_mean_BD: "⟨S⟩ Breit–Dirac" };
    const series = header.flatMap((h, c) => (labels[h] ? [{ column: c, label: labels[h], colour: COLOURS[c % COLOURS.length], dashed: h.startsWith("S") }] : []));
    return [{ title: "averages", y: "⟨f²⟩, ⟨f⟩², ⟨S⟩ (per atom of the composition)", series }];
  }

  // Full precision in the read-out: the CSV's number, or that the point has
  // none (a dash while the cursor is off the plot).
  const exact = (u, v, series, idx) => (idx == null ? "—" : v == null ? "no value" : String(v));

  // A linear axis's labels with the digits their step needs, so that
  // neighbouring ticks never read alike (0.0025, 0.0050, 0.0075, …).
  function linearLabels(splits, step) {
    let d = 0;
    while (d < 12 && Math.abs(step * 10 ** d - Math.round(step * 10 ** d)) > 1e-6 * step * 10 ** d) d++;
    const big = splits.some((v) => v != null && Math.abs(v) >= 1e9);
    return splits.map((v) => {
      if (v == null) return "";
      if (Math.abs(v) < step / 2) v = 0; // no "-0.00" from rounding
      return big || d > 9 ? String(Number(v.toPrecision(12))) : v.toFixed(d);
    });
  }

  // Tick labels: on a log axis the decades only (1e-5 … 0.01, 0.1, 1, 10,
  // … 1e5), on a linear one as many digits as the step needs.
  function tickLabels(log) {
    if (!log) return (u, splits, axis, space, step) => linearLabels(splits, step);
    return (u, splits) =>
      splits.map((v) => {
        if (v == null || !(v > 0)) return "";
        const e = Math.round(Math.log10(v));
        if (Math.abs(v / Math.pow(10, e) - 1) > 1e-9) return "";
        return e >= -3 && e <= 4 ? String(Number(Math.pow(10, e).toPrecision(1))) : "1e" + e;
      });
  }

  // The powers of ten from min to max, for a log axis's lines.
  function decades(u, axis, min, max) {
    const out = [];
    for (let e = Math.ceil(Math.log10(min) - 1e-9); e <= Math.floor(Math.log10(max) + 1e-9); e++) out.push(Math.pow(10, e));
    return out;
  }

  // Draws `group` of `result` ({kind, header, columns}) into `box`; axes
  // "log", "linx" or "lin". Returns the uPlot.
  function draw(box, result, group, axes) {
    box.textContent = "";
    const logX = axes === "log", logY = axes !== "lin";
    // A log axis has no place for zero or below.
    const keep = (v, log) => (v == null || !Number.isFinite(v) || (log && v <= 0) ? null : v);
    // uPlot draws along ascending x: a list of points is put in order. Plain
    // arrays: a typed one would turn a missing value (null) into 0.
    const order = Array.from(result.columns[0], (_, n) => n).filter((n) => keep(result.columns[0][n], logX) !== null);
    order.sort((a, b) => result.columns[0][a] - result.columns[0][b]);
    const column = (c, log) => order.map((n) => keep(result.columns[c][n], log));
    const data = [column(0, logX), ...group.series.map((s) => column(s.column, logY))];
    const xName = result.header[0];
    const width = Math.max(260, box.clientWidth || 600);
    // On a narrow plot a log axis keeps its decades only: nine lines a
    // decade would merge into grey bands.
    const narrow = width < 500;
    const opts = {
      width,
      height: Math.round(Math.min(480, Math.max(240, width * 0.62))),
      scales: { x: { time: false, distr: logX ? 3 : 1, log: 10 }, y: { distr: logY ? 3 : 1, log: 10 } },
      axes: [
        { label: UNITS[xName] || xName, stroke: "#111", grid: { stroke: "#e2e2e2" }, ticks: { stroke: "#999" }, values: tickLabels(logX), splits: narrow && logX ? decades : undefined },
        { label: group.y, stroke: "#111", grid: { stroke: "#e2e2e2" }, ticks: { stroke: "#999" }, size: 64, values: tickLabels(logY), splits: narrow && logY ? decades : undefined },
      ],
      series: [
        { label: xName, value: exact },
        ...group.series.map((s) => ({ label: s.label, stroke: s.colour, width: 1.5, dash: s.dashed ? [6, 4] : undefined, value: exact, points: { show: false } })),
      ],
      cursor: { drag: { x: true, y: true, uni: 30 } },
      // Markers drawn as their lines are: S and the incoherent dashed.
      legend: { live: true, markers: { dash: (u, i) => (i > 0 && group.series[i - 1].dashed ? "dashed" : "solid") } },
    };
    const u = new uPlot(opts, data, box);
    u.yexGroup = group;
    return u;
  }

  function escape(t) {
    return String(t).replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;").replace(/"/g, "&quot;");
  }

  // The plot as SVG: frame, uPlot's own ticks and labels of the present
  // zoom, the series clipped to the frame, and a legend below.
  function svg(u) {
    const left = u.bbox.left / devicePixelRatio, top = u.bbox.top / devicePixelRatio;
    const w = u.bbox.width / devicePixelRatio, h = u.bbox.height / devicePixelRatio;
    const series = u.yexGroup.series;
    const legendTop = u.height + 8, height = legendTop + 18 * series.length + 8;
    const out = [`<svg xmlns="http://www.w3.org/2000/svg" width="${u.width}" height="${height}" viewBox="0 0 ${u.width} ${height}" font-family="Liberation Sans, Arial, sans-serif" font-size="12">`];
    out.push(`<rect width="100%" height="100%" fill="#fff"/>`, `<defs><clipPath id="frame"><rect x="${left}" y="${top}" width="${w}" height="${h}"/></clipPath></defs>`);
    u.axes.forEach((axis, i) => {
      const key = i === 0 ? "x" : "y";
      (axis._splits || []).forEach((v, n) => {
        const p = u.valToPos(v, key);
        if (!(p >= -0.5 && p <= (i === 0 ? w : h) + 0.5)) return;
        const label = axis._values && axis._values[n] != null ? axis._values[n] : "";
        if (i === 0) {
          out.push(`<line x1="${left + p}" y1="${top}" x2="${left + p}" y2="${top + h}" stroke="#e2e2e2"/>`);
          out.push(`<text x="${left + p}" y="${top + h + 16}" text-anchor="middle">${escape(label)}</text>`);
        } else {
          out.push(`<line x1="${left}" y1="${top + p}" x2="${left + w}" y2="${top + p}" stroke="#e2e2e2"/>`);
          out.push(`<text x="${left - 6}" y="${top + p + 4}" text-anchor="end">${escape(label)}</text>`);
        }
      });
    });
    out.push(`<rect x="${left}" y="${top}" width="${w}" height="${h}" fill="none" stroke="#111"/>`);
    out.push(`<text x="${left + w / 2}" y="${top + h + 38}" text-anchor="middle">${escape(u.axes[0].label)}</text>`);
    out.push(`<text transform="translate(14 ${top + h / 2}) rotate(-90)" text-anchor="middle">${escape(u.axes[1].label)}</text>`);
    series.forEach((s, k) => {
      const xs = u.data[0], ys = u.data[k + 1];
      let d = "", pen = "M";
      for (let n = 0; n < xs.length; n++) {
        if (xs[n] == null || ys[n] == null) {
          pen = "M";
          continue;
        }
        d += `${pen}${(left + u.valToPos(xs[n], "x")).toFixed(2)} ${(top + u.valToPos(ys[n], "y")).toFixed(2)}`;
        pen = "L";
      }
      out.push(`<path d="${d}" fill="none" stroke="${s.colour}" stroke-width="1.5"${s.dashed ? ' stroke-dasharray="6 4"' : ""} clip-path="url(#frame)"/>`);
      const y = legendTop + 18 * k + 9;
      out.push(`<line x1="${left}" y1="${y}" x2="${left + 28}" y2="${y}" stroke="${s.colour}" stroke-width="2"${s.dashed ? ' stroke-dasharray="6 4"' : ""}/>`);
      out.push(`<text x="${left + 36}" y="${y + 4}">${escape(s.label)}</text>`);
    });
    out.push("</svg>");
    return out.join("\n");
  }

  // The plot as PNG at the screen's resolution, with the legend below.
  function png(u) {
    const r = devicePixelRatio || 1, series = u.yexGroup.series;
    const canvas = document.createElement("canvas");
    const legend = 18 * series.length + 16;
    canvas.width = u.ctx.canvas.width;
    canvas.height = u.ctx.canvas.height + Math.round(legend * r);
    const g = canvas.getContext("2d");
    g.fillStyle = "#fff";
    g.fillRect(0, 0, canvas.width, canvas.height);
    g.drawImage(u.ctx.canvas, 0, 0);
    g.scale(r, r);
    g.font = "12px Liberation Sans, Arial, sans-serif";
    const left = u.bbox.left / r;
    series.forEach((s, k) => {
      const y = u.ctx.canvas.height / r + 8 + 18 * k + 9;
      g.strokeStyle = s.colour;
      g.lineWidth = 2;
      g.setLineDash(s.dashed ? [6, 4] : []);
      g.beginPath();
      g.moveTo(left, y);
      g.lineTo(left + 28, y);
      g.stroke();
      g.fillStyle = "#111";
      g.fillText(s.label, left + 36, y + 4);
    });
    return canvas.toDataURL("image/png");
  }

  return { parse, header, groups, draw, svg, png, linearLabels, decades, COLOURS };
})();
