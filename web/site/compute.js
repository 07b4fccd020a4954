// Running a computation: in a worker made from the page's own module, or on
// the page's thread where a browser refuses one; Chantler's data fetched
// when first needed; a result's download fetched from whoever holds it.
"use strict";

(function (page) {
  const $ = page.$;

  // Computations run in a worker, so the page keeps answering and a long
  // one can be cancelled. The worker is made from the page's own module (a
  // blob: a page opened from file:// may not load a script as a worker);
  // where a browser refuses even that, the module computes on the page's
  // thread, with the same results.
  function workerMain() {
    const ready = createYexModule();
    let last = null; // the request whose result the module holds
    self.onmessage = async (event) => {
      const yex = await ready;
      if (event.data.want === "bytes") {
        // A download: the whole text of the result on screen, if it is still the last.
        const bytes = event.data.id === last ? yex.resultBytes() : null;
        self.postMessage({ id: event.data.id, want: "bytes", bytes }, bytes ? [bytes.buffer] : []);
        return;
      }
      const { id, kind, request, tables } = event.data;
      for (const t of yex.listTables()) if (!t.shipped) yex.removeTable(t.file);
      for (const t of tables) yex.addTable(t.file, t.bytes);
      let told = 0;
      request.onProgress = (lines) => {
        if (Date.now() - told < 100) return;
        told = Date.now();
        self.postMessage({ id, lines });
      };
      if (event.data.anomalous) yex.setChantlerData(await unpackChantler(event.data.anomalous));
      if (event.data.xray) yex.setXrayData(await unpackChantler(event.data.xray));
      const run = { curve: yex.curve, average: yex.average, dispersion: yex.dispersion, attenuation: yex.attenuation, index: yex.index, reflectivity: yex.reflectivity }[kind] || yex.crossSection;
      const result = run(request);
      last = id;
      // A result without its numbers (the window's patterns, cross sections)
      // is plotted from its text: all of it.
      if (result.ok && !result.columns) result.bytes = yex.resultBytes();
      const transfer = (result.columns || []).map((c) => c.buffer);
      for (const b of [result.head, result.bytes]) if (b) transfer.push(b.buffer);
      self.postMessage({ id, result }, transfer);
    };
  }

  // chantler.js's base64 of gzip to text, in the worker (or, without one, here).
  async function unpackChantler(packed) {
    if (!packed || typeof DecompressionStream === "undefined") return "";
    const binary = atob(packed), bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; i++) bytes[i] = binary.charCodeAt(i);
    return new Response(new Blob([bytes]).stream().pipeThrough(new DecompressionStream("gzip"))).text().catch(() => "");
  }

  let worker = null, workerUrl = null, job = 0;
  let pendingDownload = null; // what to do with the bytes the worker sends
  function startWorker() {
    try {
      // The factory refers to the script's address, which a blob has none of.
      workerUrl = workerUrl || URL.createObjectURL(new Blob(
        ["var _scriptDir;\nvar createYexModule = (" + createYexModule.toString() + ");\n" + unpackChantler.toString() + "\n(" + workerMain.toString() + ")();\n"],
        { type: "text/javascript" }));
      worker = new Worker(workerUrl);
    } catch (e) {
      worker = null;
    }
  }

  function stopComputing(message) {
    job++;
    if (worker) worker.terminate();
    // The worker held the text of the result on screen: it cannot be
    // downloaded any more, and the summary says so.
    if (page.resultJob !== null && !page.resultBytes) {
      $("download-result").hidden = true;
      if ($("compute-summary").textContent) $("compute-summary").textContent = $("compute-summary").textContent.replace(/, the download holds all\.$|\.$/, "; compute it again to download it.");
    }
    startWorker();  // ready for the next request
    $("compute-cancel").hidden = true;
    $("compute-button").disabled = false;
    $("compute-progress").textContent = message || "";
    delete document.body.dataset.computing;
  }

  // Chantler's f', f'' and photoabsorption (1-100 keV), packed in
  // chantler.js (a compressed script loads from file:// as from a host),
  // fetched when a computation first needs it: most visits never do.
  let chantlerText = null, chantlerLoad = null;
  function loadChantler() {
    if (!chantlerLoad)
      chantlerLoad = new Promise((resolve) => {
        if (window.YEX_CHANTLER) return resolve(window.YEX_CHANTLER);
        const script = document.createElement("script");
        script.src = "chantler.js";
        script.onload = () => resolve(window.YEX_CHANTLER || null);
        script.onerror = () => resolve(null);
        document.head.appendChild(script);
      });
    return chantlerLoad;
  }

  async function compute() {
    const kind = $("compute-kind").value;
    const req = page.computeRequest();
    page.computeStart = performance.now();
    page.unsay("compute");
    page.markField(null);
    const id = ++job;
    let chantler = null;
    // Chantler's data, and Elam's edges and lines for an energy named by one (CuKa1).
    const named = /[A-Za-z]/.test(req.energy + " " + (req.energies || []).join(" "));
    if (["dispersion", "attenuation", "index", "reflectivity"].includes(kind) || (kind === "average" && req.anomalous) || named) {
      document.body.dataset.computing = "1";
      chantler = await loadChantler();
      if (id !== job) return; // cancelled meanwhile
    }
    const w = worker;
    if (!w) {
      if (chantler && !chantlerText) {
        const text = await unpackChantler(chantler);
        if (page.yex.setChantlerData(text)) chantlerText = text;
        if (window.YEX_XRAY) page.yex.setXrayData(await unpackChantler(window.YEX_XRAY));
      }
      const run = { curve: page.yex.curve, average: page.yex.average, dispersion: page.yex.dispersion, attenuation: page.yex.attenuation, index: page.yex.index, reflectivity: page.yex.reflectivity }[kind] || page.yex.crossSection;
      const r = run(req);
      if (r.ok && !r.columns) r.bytes = page.yex.resultBytes();
      page.resultJob = null;
      await page.showResult(r, kind);
      delete document.body.dataset.computing;
      return;
    }
    $("download-result").hidden = true; // the worker will hold another result
    const tables = page.yex
      .listTables()
      .filter((t) => !t.shipped)
      .map((t) => ({ file: t.file, bytes: page.yex.tableView(t.file).bytes }));
    $("compute-button").disabled = true;
    $("compute-cancel").hidden = false;
    $("compute-progress").textContent = "Computing…";
    document.body.dataset.computing = "1";
    w.onmessage = (e) => {
      if (e.data.want === "bytes") {
        const f = pendingDownload;
        pendingDownload = null;
        if (f) f(e.data.bytes);
        return;
      }
      if (e.data.id !== job) return;
      if (e.data.lines !== undefined) {
        $("compute-progress").textContent = "Computing… " + e.data.lines.toLocaleString("en") + " lines so far";
        return;
      }
      $("compute-cancel").hidden = true;
      $("compute-button").disabled = false;
      $("compute-progress").textContent = "";
      page.resultJob = id;
      // Busy until the plot is drawn (a long one is thinned in steps).
      Promise.resolve(page.showResult(e.data.result, kind)).then(() => {
        if (e.data.id === job) delete document.body.dataset.computing;
      });
    };
    w.onerror = (e) => {
      e.preventDefault();
      stopComputing("");
      page.say("The computation stopped: " + (e.message || "an error in the worker"), "error", "compute-form");
    };
    // Chantler's data goes to each worker once, packed: the worker unpacks it.
    const anomalous = chantler && !w.yexHasAnomalous ? chantler : null;
    w.yexHasAnomalous = w.yexHasAnomalous || !!anomalous;
    w.postMessage({ id, kind, request: req, tables, anomalous, xray: anomalous && window.YEX_XRAY });
  }

  function wireCompute() {
    $("compute-form").addEventListener("submit", (e) => {
      e.preventDefault();
      compute();
    });
    $("compute-cancel").addEventListener("click", () => stopComputing("Cancelled: nothing was computed."));
    // The result's text is fetched when it is downloaded: from the page's
    // own module at once, or from the worker, which holds it.
    $("download-result").addEventListener("click", (e) => {
      if (page.resultUrl) return;
      const link = $("download-result");
      const make = (bytes) => {
        page.resultUrl = URL.createObjectURL(new Blob([bytes], { type: "text/csv" }));
        link.href = page.resultUrl;
      };
      if (page.resultBytes || page.resultJob === null) return make(page.resultBytes || page.yex.resultBytes());
      e.preventDefault();
      if (!worker) return;
      pendingDownload = (bytes) => {
        if (!bytes) return page.say("That result is no longer held; compute it again to download it.", "error", "compute-form");
        make(bytes);
        link.click();
      };
      worker.postMessage({ want: "bytes", id: page.resultJob });
    });
  }

  Object.assign(page, { compute, startWorker, stopComputing, loadChantler, unpackChantler, wireCompute });
})(window.YexPage);
