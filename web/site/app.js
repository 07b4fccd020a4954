// The page around YEX's module: the table on screen, its lookup, adding and
// building tables, and the start. Every number shown comes from the module;
// the page's other scripts (page.js first) hold the rest.
"use strict";

(function (page) {
  const $ = page.$;
  let tableUrl = null; // the table on screen's download

  // ---- the table on screen

  function show(file) {
    const v = page.yex.tableView(file);
    if (!v.ok) {
      page.say(v.error, "error");
      return false;
    }
    page.current = v.file;
    $("table-list").value = v.file;
    $("view-heading").textContent = v.name;
    $("table-lines").textContent = v.lines.join("\n");
    $("table-lines").setAttribute("aria-label", "The 45 lines of " + v.file);
    page.overlays = page.overlays.filter((o) => o.file !== v.file);
    page.drawChart(v.chart, v.texts);
    page.legend(v.name);
    page.markPicked(v.file);
    const link = $("download-table");
    tableUrl = page.blobUrl(tableUrl, v.bytes, "text/plain");
    link.href = tableUrl;
    link.download = v.file;
    link.textContent = "Download " + v.file;
    const opt = $("table-list").selectedOptions[0];
    $("remove-button").disabled = !opt || opt.dataset.shipped === "1";
    for (const id of ["out-x", "out-f", "out-s"]) $(id).textContent = "";
    page.showXrayCard();
    return true;
  }

  // An element's table on its own, from the periodic table or the search.
  function showElement(symbol) {
    page.formulaShown = null;
    page.overlays = [];
    if (show(symbol)) {
      picked();
      $("chart").scrollIntoView({ block: "nearest" });
    }
  }

  function lookupRequest() {
    return {
      value: $("lookup-value").value,
      unit: $("lookup-unit").value,
      energy: $("lookup-energy").value,
      energyKind: $("lookup-energy-kind").value,
    };
  }

  function lookup() {
    if (!page.current) return;
    const r = page.yex.lookup(page.current, lookupRequest());
    for (const id of ["out-x", "out-f", "out-s"]) $(id).textContent = "";
    // The address follows what the screen shows, a refused value too.
    page.remember();
    if (!r.ok) {
      page.say(r.error, "error", "lookup-form");
      return;
    }
    if (!r.inRange) {
      page.say(r.message, "warning", "lookup-form");
      return;
    }
    page.unsay("view");
    $("out-x").textContent = r.x;
    $("out-f").textContent = r.f;
    $("out-s").textContent = r.s;
  }

  // A table picked: a value in the lookup box is looked up in it, so that
  // the screen and the address show the new table's answer, not the old one's.
  function picked() {
    if ($("lookup-value").value.trim()) lookup();
    else page.remember();
  }

  // ---- adding files

  function addFiles(files) {
    let last = null;
    const reads = Array.from(files).map(
      (file) =>
        new Promise((resolve) => {
          if (file.size > 1024 * 1024) {
            page.say(file.name + ": it holds " + file.size + " bytes, far more than a table of 45 lines", "error");
            return resolve();
          }
          const reader = new FileReader();
          reader.onload = () => {
            const bytes = new Uint8Array(reader.result);
            let text = "";
            for (let i = 0; i < bytes.length; i++) text += String.fromCharCode(bytes[i]);
            const r = page.yex.addTable(file.name, text);
            if (r.ok) {
              page.store(r.file, text);
              last = r.file;
              page.say("Added " + r.file + ".");
            } else page.say(r.error, "error");
            resolve();
          };
          reader.onerror = () => {
            page.say(file.name + ": it cannot be read", "error");
            resolve();
          };
          reader.readAsArrayBuffer(file);
        })
    );
    return Promise.all(reads).then(() => {
      page.fillList(last || page.current);
      if (last) show(last);
    });
  }

  function built(r, kind) {
    const form = kind === "mixture" ? "mixture-form" : "compound-form";
    if (!r.ok) {
      page.say(r.error, "error", form);
      return;
    }
    page.unsay("build");
    page.store(r.file, r.bytes);
    page.formulaShown = null;
    page.fillList(r.file);
    show(r.file);
    const parts = r.parts
      .map((p) =>
        kind === "mixture"
          ? p.file + " r = " + Number(p.ratio.toPrecision(10)) + " (atomic weight " + Number(p.atomicWeight.toPrecision(10)) + ")"
          : p.file + " × " + p.amount
      )
      .join(", ");
    page.say("Built " + r.file + ": " + parts + ".");
    if (r.note) page.say(r.note, "warning");
    page.remember();
  }

  // ---- start

  function wire() {
    $("table-list").addEventListener("change", () => {
      page.formulaShown = null;
      page.overlays = [];
      if (show($("table-list").value)) picked();
    });
    $("add-button").addEventListener("click", () => $("file-input").click());
    $("file-input").addEventListener("change", (e) => {
      addFiles(e.target.files);
      e.target.value = "";
    });
    $("remove-button").addEventListener("click", () => {
      if (!page.current || !page.yex.removeTable(page.current)) return;
      page.store(page.current, null);
      page.say("Removed " + page.current + ".");
      page.fillList();
      show("C");
      page.remember();
    });
    document.addEventListener("dragover", (e) => e.preventDefault());
    document.addEventListener("drop", (e) => {
      e.preventDefault();
      if (e.dataTransfer && e.dataTransfer.files.length) addFiles(e.dataTransfer.files);
    });
    $("lookup-form").addEventListener("submit", (e) => {
      e.preventDefault();
      lookup();
    });
    $("compound-form").addEventListener("submit", (e) => {
      e.preventDefault();
      const name = $("compound-name").value.trim();
      const formula = $("compound-formula").value.trim();
      built(formula ? page.yex.compoundFromFormula(name, formula) : page.yex.compoundFromCounts(name, page.lines($("compound-entries").value)), "compound");
    });
    $("mixture-form").addEventListener("submit", (e) => {
      e.preventDefault();
      built(page.yex.mixture($("mixture-name").value.trim(), page.lines($("mixture-entries").value)), "mixture");
    });
    $("element-form").addEventListener("submit", (e) => {
      e.preventDefault();
      const symbol = page.findElement($("element-search").value);
      if (!symbol) {
        page.say("No element " + $("element-search").value.trim() + ": give a symbol, a name or an atomic number 1 to 98.", "warning", "element-form");
        return;
      }
      page.unsay("tables");
      showElement(symbol);
    });
    window.addEventListener("resize", page.showTableCue);
    $("xray-card").addEventListener("toggle", () => $("xray-card").open && page.fillXrayCard($("xray-card").dataset.symbol));
    // A form's messages are about what it held: they go once it changes.
    for (const form of document.querySelectorAll("form"))
      form.addEventListener("input", () => {
        for (const slot of form.parentElement.querySelectorAll(".inline-message")) slot.hidden = true;
        if (form.id === "compute-form") page.markField(null);
      });
    $("overlay-form").addEventListener("submit", (e) => {
      e.preventDefault();
      if (page.overlay(page.words($("overlay-tables").value))) {
        $("overlay-tables").value = "";
        page.remember();
      }
    });
    // The chart and the plot follow the page's width (only its width: a
    // phone's bar that comes and goes changes the height, and a redrawn
    // plot would lose its zoom).
    let resizing = null, drawnWidth = innerWidth;
    window.addEventListener("resize", () => {
      if (innerWidth === drawnWidth) return;
      drawnWidth = innerWidth;
      clearTimeout(resizing);
      resizing = setTimeout(() => {
        page.redraw();
        page.plotResult();
      }, 100);
    });
    window.addEventListener("hashchange", () => page.openFromAddress());
    page.wireResults();
    page.wireCompute();
  }

  function start(module) {
    page.yex = module;
    page.startChart();
    // The module for the browser's console and for measuring it.
    window.yexModule = module;
    $("version").textContent = "YEX " + page.yex.version() + " in your browser: every number is computed on this page by YEX’s own code, and nothing is sent anywhere.";
    $("build-line").textContent = "Built from YEX " + page.yex.version() + ".";
    $("source-lines").textContent = "";
    page.yex.dataSource().forEach((l, n) => {
      const span = document.createElement(n === 0 ? "em" : "span");
      span.textContent = l;
      $("source-lines").appendChild(span);
      $("source-lines").appendChild(document.createElement("br"));
    });
    const kept = page.stored();
    for (const file of Object.keys(kept)) {
      const r = page.yex.addTable(file, kept[file]);
      if (!r.ok) page.say("A kept table was refused: " + r.error, "error");
    }
    page.fillList();
    page.buildPeriodicTable();
    wire();
    page.showTableCue();
    // The worker first, so that a link's computation runs there too (its
    // request waits in the worker until the module is ready).
    page.startWorker();
    if (!page.openFromAddress()) show("C");
    // Milliseconds from the start of navigation to a listed, drawn page.
    document.body.dataset.readyMs = performance.now().toFixed(1);
    document.body.dataset.ready = "1";
  }

  Object.assign(page, { show, showElement, lookup, picked });

  createYexModule()
    .then(start)
    .catch((e) => page.say("YEX could not start: " + e, "error"));
})(window.YexPage);
