// The computation form's request and fields, and a result on screen: its
// table, summary, download and plot.
"use strict";

(function (page) {
  const $ = page.$;

  function computeRequest() {
    const format = $("compute-format").value;
    const req = {
      format: format === "tsv" ? "tsv" : "csv",
      display: format === "display",
      unit: $("compute-unit").value,
      points: $("compute-points").value,
      grid: $("compute-grid").value.trim(),
      list: $("compute-list").value,
      energy: $("compute-energy").value.trim(),
      energyKind: $("compute-energy-kind").value,
      dcs: $("compute-dcs").checked,
      breitDirac: $("compute-bd").value,
      anomalous: $("compute-anomalous").checked,
      density: $("compute-density").value.trim(),
      thickness: $("compute-thickness").value.trim(),
    };
    // A mirror's own fields go only with its request.
    if (!$("compute-angles").closest(".field").hidden)
      Object.assign(req, { angleGrid: $("compute-angles").value.trim(), roughness: $("compute-roughness").value.trim(),
        polarization: $("compute-polarization").value });
    const tables = page.words($("compute-tables").value);
    const formulaField = $("compute-formula").closest(".field");
    req.formula = formulaField.hidden ? "" : $("compute-formula").value.trim();
    req.material = $("compute-material").closest(".field").hidden ? "" : $("compute-material").value.trim();
    // No table typed: the one on screen, unless a formula or a material says what to compute.
    if (tables.length === 0 && page.current && !req.formula && !req.material) tables.push(page.current.replace(/\.yex$/i, ""));
    req.tables = tables;
    req.entries = tables;
    const energies = $("compute-energies").value.trim();
    if (/^[^:\s]+:[^:\s]+:[^:\s]+$/.test(energies)) req.energyGrid = energies;
    else req.energies = page.words(energies);
    return req;
  }

  const TABLES_EXAMPLE = {
    curve: "C O Si", "cross-section": "C O Si:28.085", average: "Si:1 O:2",
    dispersion: "Fe Cu", attenuation: "H:11.19 O:88.81", index: "Si", reflectivity: "Au",
  };

  // The request form shows the fields of the chosen computation and point
  // source; the others hide (out of the tab order) and keep their values.
  function showFields() {
    const kind = $("compute-kind").value, points = $("compute-points").value;
    for (const f of document.querySelectorAll("#compute-form .field")) {
      const kinds = f.dataset.kinds.split(" "), sources = f.dataset.points ? f.dataset.points.split(" ") : null;
      f.hidden = !kinds.includes(kind) || (sources !== null && !sources.includes(points));
    }
    const label = document.querySelector('label[for="compute-tables"]');
    label.textContent = kind === "average" ? label.dataset.labelAverage : "Tables";
    // Each placeholder a request the computation takes on a fresh page.
    $("compute-tables").placeholder = TABLES_EXAMPLE[kind];
    // The picker's materials come with the edges and lines, when first needed.
    if (["attenuation", "index", "reflectivity"].includes(kind) && !$("material-names").children.length)
      page.loadXray().then((ok) => {
        const r = ok && page.yex.materialList();
        if (!r || !r.ok || $("material-names").children.length) return;
        for (const m of r.materials) $("material-names").appendChild(new Option(m.formula + ", " + m.density + " g/cm³", m.name));
      });
    $("compute-energies").placeholder = kind === "reflectivity" ? "17.48" : "17.48 59.54";
  }

  // The field an error is about, from its wording, so the message names it
  // and the field is marked.
  const ERROR_FIELDS = [
    [/--display/, "compute-format"],
    [/energy grid|--energy-grid/i, "compute-energies"],
    [/log grid|^grid|START:STOP|--grid|--log-grid|too many points|step/i, "compute-grid"],
    [/formula|element symbol|parenthes/i, "compute-formula"],
    [/breit|--breit-dirac/i, "compute-bd"],
    [/energ|wavelength|lambda|λ/i, "compute-energy"],
    [/point|value|list|line \d+/i, "compute-list"],
    [/table|\.yex|count|weight/i, "compute-tables"],
  ];

  function fieldOf(message) {
    for (const [re, id] of ERROR_FIELDS) {
      if (!re.test(message)) continue;
      const field = $(id).closest(".field");
      if (field && !field.hidden) return id;
      if (id === "compute-energy" && !$("compute-energies").closest(".field").hidden) return "compute-energies";
    }
    return null;
  }

  function markField(id) {
    for (const el of document.querySelectorAll("#compute-form [aria-invalid]")) el.removeAttribute("aria-invalid");
    if (id) $(id).setAttribute("aria-invalid", "true");
  }

  let plotted = null; // {result, plot}

  // Plots the result on screen; a long one is thinned in steps first, and a
  // newer plot asked meanwhile wins.
  let plotting = 0;
  async function plotResult() {
    if (!plotted) return;
    const mine = ++plotting, shown = plotted, axesValue = $("plot-axes").value;
    const group = shown.groups[Number($("plot-group").value) || 0];
    const prepared = await YexPlot.prepare($("plot"), shown.result, group, axesValue);
    if (mine !== plotting || plotted !== shown) return;
    plotted.plot = YexPlot.draw($("plot"), plotted.result, group, axesValue, prepared);
    const axes = { log: "Log-log", linx: "Linear-x, log-y", lin: "Linear" }[$("plot-axes").value];
    $("plot").setAttribute(
      "aria-label",
      axes + " plot of " + group.series.map((s) => s.label).join(", ") + " against " + plotted.result.header[0] + "; the table below holds the numbers"
    );
    window.yexPlot = plotted.plot; // for the page's tests and the console
  }

  function showPlot(r, kind, sep) {
    // At full precision the module hands the numbers over as it printed
    // them; the window's patterns are read back from the text.
    const parsed = r.columns
      ? { header: (firstLines(r.head, 1)[0] || "").split(sep), columns: r.columns }
      : YexPlot.parse(new TextDecoder().decode(r.bytes), sep);
    const groups = YexPlot.groups(kind, parsed.header, (name) => page.yex.amountOf(name)).filter((g) => g.series.length);
    $("plot-box").hidden = groups.length === 0;
    if (!groups.length) return Promise.resolve();
    const select = $("plot-group");
    select.textContent = "";
    groups.forEach((g, n) => select.appendChild(new Option(g.title, String(n))));
    // θ runs over a linear range; the other units and energies span decades.
    // f' is negative near an edge: linear axes.
    // A mirror's reflectivity over a linear range of angles: linear x, log y.
    $("plot-axes").value = kind === "dispersion" ? "lin" : ["theta", "angle_mrad"].includes(parsed.header[0]) ? "linx" : "log";
    plotted = { result: { kind, header: parsed.header, columns: parsed.columns }, groups };
    const drawn = plotResult();
    // The elements' edges marked on f', f'' and mu/rho against energy.
    const shown = plotted;
    page.edgesToMark(kind, computeRequest()).then((marks) => {
      if (plotted !== shown || !marks.length) return;
      plotted.result.marks = marks;
      plotResult();
    });
    return drawn;
  }

  // The header and data lines at the start of a result's UTF-8 bytes: only
  // the start is decoded, so a result of a million lines costs no more.
  function firstLines(bytes, count) {
    for (let size = 65536; ; size *= 4) {
      const found = new TextDecoder().decode(bytes.subarray(0, size)).split("\n");
      if (size < bytes.length) found.pop(); // cut short
      const kept = found.filter((l) => l && !l.startsWith("#"));
      if (kept.length >= count || size >= bytes.length) return kept.slice(0, count);
    }
  }

  function showResult(r, kind) {
    const table = $("compute-table");
    table.textContent = "";
    table.removeAttribute("tabindex");
    if (!r.ok) {
      $("compute-summary").textContent = "";
      $("download-result").hidden = true;
      $("plot-box").hidden = true;
      plotted = null;
      page.computed = null;
      page.remember();
      const id = fieldOf(r.error);
      markField(id);
      const tag = id ? document.querySelector('label[for="' + id + '"]') : null;
      const label = tag ? tag.dataset.short || tag.textContent : null;
      // Below the field it is about, or the form.
      page.say((label ? label + ": " : "") + r.error, "error", id || "compute-form");
      if (id) $(id).focus();
      return;
    }
    markField(null);
    page.unsay("compute");
    page.computed = page.computedKeys(kind);
    page.remember();
    const sep = computeRequest().format === "tsv" ? "\t" : ",";
    const shown = firstLines(r.bytes || r.head, 101);
    const t = document.createElement("table");
    shown.forEach((l, n) => {
      const tr = document.createElement("tr");
      for (const cell of l.split(sep)) {
        const td = document.createElement(n === 0 ? "th" : "td");
        td.textContent = cell;
        tr.appendChild(td);
      }
      t.appendChild(tr);
    });
    table.appendChild(t);
    const count = r.points;
    $("compute-summary").textContent =
      count + " line" + (count === 1 ? "" : "s") + (count > 100 ? "; the first 100 are shown, the download holds all" : "") + ".";
    if (r.warning) page.say(r.warning, "warning", "compute-form");
    if (r.note) page.say(r.note, "warning", "compute-form");
    table.tabIndex = 0;  // a Tab stop only where there is something to read
    const link = $("download-result");
    // The download's blob is made when it is asked for: for a large result
    // that takes longer than a page should stop for.
    if (page.resultUrl) URL.revokeObjectURL(page.resultUrl);
    page.resultUrl = null;
    page.resultBytes = r.bytes || null;
    link.href = "#";
    link.download = "yex-" + kind + (computeRequest().format === "tsv" ? ".tsv" : ".csv");
    link.textContent = "Download " + link.download;
    link.hidden = false;
    const start = performance.now();
    const drawn = showPlot(r, kind, sep);
    // On a small screen the result starts below the form: bring it up.
    const top = $("compute-progress").getBoundingClientRect().top;
    if (top < 0 || top > innerHeight / 2) $("compute-progress").scrollIntoView({ block: "start" });
    // Milliseconds from the result (and from Compute) to its drawn plot
    // (uPlot draws in a microtask queued before this one), for the benchmark.
    return drawn.then(() => Promise.resolve()).then(() => {
      document.body.dataset.plotMs = (performance.now() - start).toFixed(1);
      if (page.computeStart !== null) document.body.dataset.computeMs = (performance.now() - page.computeStart).toFixed(1);
      page.computeStart = null;
    });
  }

  function wireResults() {
    $("compute-kind").addEventListener("change", showFields);
    $("compute-points").addEventListener("change", showFields);
    showFields();
    $("plot-group").addEventListener("change", plotResult);
    $("plot-axes").addEventListener("change", plotResult);
    $("plot-png").addEventListener("click", () => plotted && page.download("yex-plot.png", YexPlot.png(plotted.plot)));
    $("plot-svg").addEventListener("click", () => {
      if (!plotted) return;
      const url = URL.createObjectURL(new Blob([YexPlot.svg(plotted.plot)], { type: "image/svg+xml" }));
      page.download("yex-plot.svg", url);
      setTimeout(() => URL.revokeObjectURL(url), 10000);
    });
  }

  Object.assign(page, { computeRequest, showFields, markField, showResult, plotResult, wireResults });
})(window.YexPage);
