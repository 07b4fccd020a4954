// Plots of a result's CSV with uPlot (bundled from npm at build time):
// log or linear axes, a legend that reads out the nearest point, zoom on a
// drag and back on a double-click, and the plot as PNG or SVG. The numbers
// plotted are the CSV's own, read back with Number().
"use strict";

window.YexPlot = (function () {
  const { COLOURS, LOG_DEPTH, usable, parse, groups, thin, nearest, prepare, extent } = window.YexSeries;

  const UNITS = {
    x: "x = sin(θ/2)/λ (Å⁻¹)",
    q: "Q = 4πx (Å⁻¹)",
    qnm: "Q (nm⁻¹)",
    theta: "θ, scattering angle (degrees)",
    E_keV: "photon energy (keV)",
    angle_mrad: "grazing angle (mrad)",
  };

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
    return logLines(min, max, Infinity, true);
  }

  // A log axis's lines between min and max on `pixels` of axis: 1-9 times
  // each power of ten where they stay 12 pixels apart (and `decadesOnly` is
  // not asked), else the powers of ten, every k-th of them where they would
  // come closer than 40 pixels. However many decades: never more lines than
  // the axis has room for.
  function logLines(min, max, pixels, decadesOnly) {
    const out = [];
    if (!(min > 0) || !(max >= min) || !Number.isFinite(max)) return out;
    const first = Math.ceil(Math.log10(min) - 1e-9), last = Math.floor(Math.log10(max) + 1e-9);
    const span = Math.max(1e-9, Math.log10(max / min));
    if (!decadesOnly && (9 * span) / pixels <= 1 / 12) {
      for (let e = first - 1; e <= last; e++)
        for (let m = 1; m <= 9; m++) {
          const v = m * Math.pow(10, e);
          if (v >= min * (1 - 1e-12) && v <= max * (1 + 1e-12)) out.push(v);
        }
      return out;
    }
    const step = Math.max(1, Math.ceil((40 * span) / Math.max(pixels, 1)));
    for (let e = Math.ceil(first / step) * step; e <= last; e += step) out.push(Math.pow(10, e));
    return out;
  }

  // Draws `group` of `result` ({kind, header, columns}) into `box`; axes
  // "log", "linx" or "lin"; `prepared` what prepare gave. Returns the uPlot.
  function draw(box, result, group, axes, prepared) {
    box.textContent = "";
    const logX = axes === "log", logY = axes !== "lin";
    const xs = result.columns[0], ys = group.series.map((s) => result.columns[s.column]);
    const width = Math.max(260, box.clientWidth || 600);
    let top = -Infinity;
    // (A plain comparison: null, NaN and infinities never pass; millions of values.)
    if (logY)
      for (const y of ys)
        for (let i = 0; i < y.length; i++) {
          const v = y[i];
          if (v > top && v < Infinity) top = v;
        }
    const floor = logY && top > 0 ? top / LOG_DEPTH : -Infinity;
    let clipped = false;
    const drawable = (v) => {
      if (!usable(v, logY)) return false;
      if (v >= floor) return true;
      clipped = true;
      return false;
    };
    // Plain arrays: a typed one would turn a missing value (null) into 0.
    const points = (lo, hi, given) => {
      const kept = given || thin(xs, ys, logX, logY, lo, hi, width);
      return [kept.map((i) => xs[i]), ...ys.map((y) => kept.map((i) => (drawable(y[i]) ? y[i] : null)))];
    };
    const { lo, hi, up } = extent(xs, logX);
    xs.yexAscending = up;
    const ready = prepared && prepared.width === width && prepared.lo === lo && prepared.hi === hi;
    const whole = points(lo, hi, ready ? prepared.kept : null);
    let shown = [lo, hi]; // the x range the data drawn was thinned for
    // The read-out: the nearest computed point at full precision, or that
    // it has none (a dash while the cursor is off the plot).
    const readOut = (column) => (u, v, series, idx) => {
      if (idx == null || u.cursor.left == null || u.cursor.left < 0) return "—";
      const i = nearest(xs, u.posToVal(u.cursor.left, "x"), logX);
      const value = i < 0 ? null : column[i];
      return value == null || Number.isNaN(value) ? "no value" : String(value);
    };
    const xName = result.header[0];
    // On a narrow plot a log axis keeps its decades only: nine lines a
    // decade would merge into grey bands.
    const narrow = width < 500;
    const height = Math.round(Math.min(480, Math.max(240, width * 0.62)));
    // The lines are few enough to label each decade among them.
    const everySplit = (u, splits) => splits;
    const splitsOf = (pixels) => (u, axis, min, max) => logLines(min, max, pixels, narrow);
    let thinning = false;
    const opts = {
      width,
      height,
      // The x range as given (the data's, or a zoom's), not widened to
      // decades; around a single point, some room.
      scales: { x: { time: false, distr: logX ? 3 : 1, log: 10, range: (u, min, max) => (min < max ? [min, max] : logX ? [min / 2, max * 2] : [min - 1, max + 1]) }, y: { distr: logY ? 3 : 1, log: 10 } },
      axes: [
        { label: UNITS[xName] || xName, stroke: "#111", grid: { stroke: "#e2e2e2" }, ticks: { stroke: "#999" }, values: tickLabels(logX), splits: logX ? splitsOf(width - 80) : undefined, filter: logX ? everySplit : undefined },
        { label: group.y, stroke: "#111", grid: { stroke: "#e2e2e2" }, ticks: { stroke: "#999" }, size: 64, values: tickLabels(logY), splits: logY ? splitsOf(height - 60) : undefined, filter: logY ? everySplit : undefined },
      ],
      series: [
        { label: xName, value: readOut(xs) },
        ...group.series.map((s, k) => ({ label: s.label, stroke: s.colour, width: 1.5, dash: s.dashed ? [6, 4] : undefined, value: readOut(ys[k]), points: { show: false } })),
      ],
      cursor: {
        drag: { x: true, y: true, uni: 30 },
        // Zooming out shows the whole result again.
        bind: {
          dblclick: (u) => () => {
            zoomOut(u);
            return null;
          },
        },
      },
      // A zoom thins the result afresh for the range shown.
      hooks: {
        // Absorption edges (result.marks: x and a label) as grey lines with their names.
        draw: [(u) => {
          const ctx = u.ctx, r = devicePixelRatio || 1;
          ctx.save();
          ctx.strokeStyle = "#888";
          ctx.fillStyle = "#555";
          ctx.font = `${11 * r}px Liberation Sans, Arial, sans-serif`;
          ctx.setLineDash([3 * r, 3 * r]);
          for (const m of result.marks || []) {
            if (!(m.x >= u.scales.x.min && m.x <= u.scales.x.max)) continue;
            const x = Math.round(u.valToPos(m.x, "x", true));
            ctx.beginPath();
            ctx.moveTo(x, u.bbox.top);
            ctx.lineTo(x, u.bbox.top + u.bbox.height);
            ctx.stroke();
            ctx.fillText(m.label, x + 3 * r, u.bbox.top + 12 * r);
          }
          ctx.restore();
        }],
        setScale: [(u, key) => {
          const { min, max } = u.scales.x;
          if (key !== "x" || thinning || whole[0].length === xs.length || (min === shown[0] && max === shown[1])) return;
          shown = [min, max];
          thinning = true;
          u.setData(points(min, max), false);
          thinning = false;
        }],
      },
      // Markers drawn as their lines are: S and the incoherent dashed.
      legend: { live: true, markers: { dash: (u, i) => (i > 0 && group.series[i - 1].dashed ? "dashed" : "solid") } },
    };
    const zoomOut = (u) => {
      shown = [lo, hi];
      u.setData(whole);
    };
    const u = new uPlot(opts, whole, box);
    u.yexGroup = group;
    u.yexMarks = result.marks || [];
    touchZoom(u, zoomOut);
    if (clipped) {
      const note = document.createElement("p");
      note.className = "hint plot-note";
      note.textContent = "Values below 1e-30 of the largest are left out of the plot; the table and the download hold them.";
      box.appendChild(note);
    }
    return u;
  }

  // A finger dragged across the plot zooms to the x range it covered, as a
  // mouse's drag does; a double tap zooms out. Up and down still scroll.
  function touchZoom(u, zoomOut) {
    let from = null, lastTap = 0;
    u.over.style.touchAction = "pan-y";
    u.over.addEventListener("touchstart", (e) => (from = e.touches.length === 1 ? e.touches[0].clientX : null), { passive: true });
    u.over.addEventListener("touchend", (e) => {
      const to = e.changedTouches[0].clientX, left = u.over.getBoundingClientRect().left;
      if (from !== null && Math.abs(to - from) > 10) {
        const a = u.posToVal(Math.min(from, to) - left, "x"), b = u.posToVal(Math.max(from, to) - left, "x");
        u.setScale("x", { min: a, max: b });
        lastTap = 0;
      } else if (from !== null) {
        if (e.timeStamp - lastTap < 350) {
          zoomOut(u);
          lastTap = 0;
        } else lastTap = e.timeStamp;
      }
      from = null;
    });
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

  return { parse, groups, prepare, draw, thin, svg, png, linearLabels, decades, logLines, COLOURS };
})();
