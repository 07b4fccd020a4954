// The page around YEX's module: lists, forms, the chart's canvas, downloads
// and the address. Every number shown comes from the module.
"use strict";

(function () {
  const $ = (id) => document.getElementById(id);
  const STORE = "yex.tables";
  // The chart's drawing protocol (operation codes, their arguments, the
  // user scale, the curves' colours), from the module at start.
  let CHART = null;
  const CHART_MAX = 525;
  // The colours of further tables on the chart's navy ground, F solid and S
  // dashed; the first table keeps the window's red and yellow.
  const OVERLAY_COLOURS = ["#00e5ff", "#7cfc00", "#ff77ff", "#ffa500", "#ffffff", "#b0a0ff"];

  let yex = null;
  let current = null; // file name of the table on screen
  let overlays = []; // further tables drawn on the chart: {file, name, ops}
  let chartShown = null; // the last drawing, to draw again at a new width
  let resultUrl = null, resultBytes = null; // the result's download
  let tableUrl = null;

  // A message in the page's log at the top and, when it concerns a form
  // (`near`, its id), also right below that form, scrolled into view and
  // announced there, so that it is seen where the user is.
  function say(text, kind, near) {
    const box = $("messages");
    const p = document.createElement("p");
    p.className = kind || "info";
    p.textContent = text;
    box.appendChild(p);
    while (box.children.length > 6) box.removeChild(box.firstChild);
    if (!near) return;
    const slot = inlineSlot(near);
    slot.className = "inline-message " + (kind || "info");
    slot.textContent = text;
    slot.hidden = false;
    slot.scrollIntoView({ block: "nearest" });
  }

  function inlineSlot(near) {
    let slot = $(near + "-message");
    if (!slot) {
      slot = document.createElement("p");
      slot.id = near + "-message";
      slot.setAttribute("role", "status");
      slot.setAttribute("aria-live", "polite");
      $(near).insertAdjacentElement("afterend", slot);
    }
    return slot;
  }

  // A section's own messages gone once what they were about succeeds.
  function unsay(section) {
    for (const slot of $(section).querySelectorAll(".inline-message")) slot.hidden = true;
  }

  // ---- tables kept in this browser

  function stored() {
    try {
      return JSON.parse(localStorage.getItem(STORE) || "{}");
    } catch (e) {
      return {};
    }
  }
  function store(file, bytes) {
    try {
      const all = stored();
      if (bytes === null) delete all[file];
      else all[file] = bytes;
      localStorage.setItem(STORE, JSON.stringify(all));
    } catch (e) {
      // Storage may be off (private windows, some file:// pages): the table
      // stays for this visit.
    }
  }

  function fillList(select) {
    const list = $("table-list");
    list.textContent = "";
    for (const t of yex.listTables()) {
      const o = document.createElement("option");
      o.value = t.file;
      o.textContent = t.shipped ? t.file : t.file + " (yours)";
      o.dataset.shipped = t.shipped ? "1" : "";
      list.appendChild(o);
    }
    if (select) list.value = select;
  }

  // ---- the chart: the module's drawing operations on a canvas

  function colour(rgb) {
    return "#" + (rgb >>> 0).toString(16).padStart(6, "0");
  }

  // The window's chart at the width the page gives it (up to 525 pixels),
  // at the screen's resolution; the overlays' curves (their own drawing's
  // curve operations, recoloured) go in before the frame's masks, as the
  // window's own curves do.
  function drawChart(ops, texts) {
    chartShown = { ops, texts };
    const canvas = $("chart");
    const ratio = window.devicePixelRatio || 1;
    const room = canvas.parentElement.clientWidth || CHART_MAX;
    const CHART_PIXELS = Math.max(200, Math.min(CHART_MAX, Math.floor(room - 4)));
    // Text at the window's point sizes, scaled with the chart.
    const textScale = CHART_PIXELS / CHART_MAX;
    // A band above the chart for the top label's exponent, which rises
    // above the drawing's first row.
    const TOP = Math.ceil(12 * textScale);
    canvas.style.width = CHART_PIXELS + "px";
    canvas.style.height = CHART_PIXELS + TOP + "px";
    canvas.width = Math.round(CHART_PIXELS * ratio);
    canvas.height = Math.round((CHART_PIXELS + TOP) * ratio);
    const g = canvas.getContext("2d");
    g.setTransform(ratio, 0, 0, ratio, 0, TOP * ratio);
    g.lineCap = "square";
    const SCALE = CHART.scale, OP = CHART.ops;
    const px = (x, y) => [((x - SCALE.left) / SCALE.width) * CHART_PIXELS, ((y - SCALE.top) / SCALE.height) * CHART_PIXELS];
    const st = { width: 1, points: 12, fore: "#ffffff", x: 0, y: 0 };
    const font = () => (st.points * 96 * textScale) / 72 + 'px "Times New Roman", "Liberation Serif", Times, serif';
    const line = (x1, y1, x2, y2, rgb) => {
      const a = px(x1, y1), b = px(x2, y2);
      g.strokeStyle = colour(rgb);
      g.lineWidth = st.width;
      g.beginPath();
      g.moveTo(a[0], a[1]);
      g.lineTo(b[0], b[1]);
      g.stroke();
      st.x = x2;
      st.y = y2;
    };
    const rect = (x1, y1, x2, y2) => {
      const a = px(x1, y1), b = px(x2, y2);
      return [Math.min(a[0], b[0]), Math.min(a[1], b[1]), Math.abs(a[0] - b[0]), Math.abs(a[1] - b[1])];
    };
    let overlaid = false;
    const drawOverlays = () => {
      overlaid = true;
      overlays.forEach((o, k) => {
        const c = OVERLAY_COLOURS[k % OVERLAY_COLOURS.length];
        const saved = st.width;
        st.width = 2;
        for (let i = 0; i < o.ops.length; ) {
          const op = o.ops[i++];
          const n = CHART.arguments[op];
          if (op === OP.LineTo || op === OP.PSet) {
            const curve = o.ops[i + 2];
            if (curve === CHART.curves.F || curve === CHART.curves.S) {
              g.setLineDash(curve === CHART.curves.S ? [5, 4] : []);
              if (op === OP.LineTo) line(st.x, st.y, o.ops[i], o.ops[i + 1], parseInt(c.slice(1), 16));
              else {
                st.x = o.ops[i];
                st.y = o.ops[i + 1];
              }
            }
          }
          i += n;
        }
        g.setLineDash([]);
        st.width = saved;
      });
    };
    for (let i = 0; i < ops.length; ) {
      const op = ops[i++];
      if (op === OP.FilledBox && !overlaid) drawOverlays();
      switch (op) {
        case OP.Cls:
          g.fillStyle = colour(CHART.background);
          g.fillRect(0, -TOP, CHART_PIXELS, CHART_PIXELS + TOP);
          st.x = st.y = 0;
          break;
        case OP.DrawWidth:
          st.width = Math.max(1, ops[i++]);
          break;
        case OP.Line:
          line(ops[i], ops[i + 1], ops[i + 2], ops[i + 3], ops[i + 4]);
          i += 5;
          break;
        case OP.LineTo:
          line(st.x, st.y, ops[i], ops[i + 1], ops[i + 2]);
          i += 3;
          break;
        case OP.PSet: {
          const c = px(ops[i], ops[i + 1]);
          g.fillStyle = colour(ops[i + 2]);
          g.fillRect(c[0] - st.width / 2, c[1] - st.width / 2, st.width, st.width);
          st.x = ops[i];
          st.y = ops[i + 1];
          i += 3;
          break;
        }
        case OP.Box: {
          const r = rect(ops[i], ops[i + 1], ops[i + 2], ops[i + 3]);
          g.strokeStyle = colour(ops[i + 4]);
          g.lineWidth = st.width;
          g.strokeRect(r[0], r[1], r[2], r[3]);
          st.x = ops[i + 2];
          st.y = ops[i + 3];
          i += 5;
          break;
        }
        case OP.FilledBox: { // the fill covers its outline too
          const r = rect(ops[i], ops[i + 1], ops[i + 2], ops[i + 3]);
          const h = st.width / 2;
          g.fillStyle = colour(ops[i + 4]);
          g.fillRect(r[0] - h, r[1] - h, r[2] + 2 * h, r[3] + 2 * h);
          st.x = ops[i + 2];
          st.y = ops[i + 3];
          i += 5;
          break;
        }
        case OP.FontSize:
          st.points = ops[i++];
          break;
        case OP.ForeColor:
          st.fore = colour(ops[i++]);
          break;
        case OP.TextPos:
          st.x = ops[i];
          st.y = ops[i + 1];
          i += 2;
          break;
        case OP.Print: {
          const text = texts[ops[i]];
          const stay = ops[i + 1] === 1;
          i += 2;
          g.font = font();
          g.fillStyle = st.fore;
          g.textBaseline = "alphabetic";
          const m = g.measureText(text);
          const ascent = m.fontBoundingBoxAscent || st.points;
          const descent = m.fontBoundingBoxDescent || st.points / 4;
          const p = px(st.x, st.y);
          g.fillText(text, p[0], p[1] + ascent);
          if (stay) st.x += (m.width * SCALE.width) / CHART_PIXELS;
          else {
            st.x = SCALE.left;
            st.y += ((ascent + descent) * SCALE.height) / CHART_PIXELS;
          }
          break;
        }
        default:
          throw new Error("unknown drawing operation " + op);
      }
    }
  }

  // ---- the periodic table of the shipped elements

  const ELEMENT_NAMES = ("Hydrogen Helium Lithium Beryllium Boron Carbon Nitrogen Oxygen Fluorine Neon Sodium Magnesium " +
    "Aluminium Silicon Phosphorus Sulfur Chlorine Argon Potassium Calcium Scandium Titanium Vanadium Chromium Manganese " +
    "Iron Cobalt Nickel Copper Zinc Gallium Germanium Arsenic Selenium Bromine Krypton Rubidium Strontium Yttrium " +
    "Zirconium Niobium Molybdenum Technetium Ruthenium Rhodium Palladium Silver Cadmium Indium Tin Antimony Tellurium " +
    "Iodine Xenon Caesium Barium Lanthanum Cerium Praseodymium Neodymium Promethium Samarium Europium Gadolinium " +
    "Terbium Dysprosium Holmium Erbium Thulium Ytterbium Lutetium Hafnium Tantalum Tungsten Rhenium Osmium Iridium " +
    "Platinum Gold Mercury Thallium Lead Bismuth Polonium Astatine Radon Francium Radium Actinium Thorium Protactinium " +
    "Uranium Neptunium Plutonium Americium Curium Berkelium Californium").split(" ");

  // Row and column of element z (1..98): periods 1 to 7, the lanthanides
  // and actinides in rows 9 and 10.
  function place(z) {
    if (z === 1) return [1, 1];
    if (z === 2) return [1, 18];
    const starts = [[3, 2], [11, 3], [19, 4], [37, 5], [55, 6], [87, 7]];
    if (z >= 57 && z <= 71) return [9, z - 57 + 3];
    if (z >= 89) return [10, z - 89 + 3];
    for (let k = starts.length - 1; k >= 0; k--) {
      const [first, row] = starts[k];
      if (z < first) continue;
      let n = z - first; // 0-based within the period
      if (row <= 3) return [row, n < 2 ? n + 1 : n + 11];
      if (row >= 6 && n >= 2) n -= 14; // the f-block sits below
      return [row, n + 1];
    }
    return [1, 1];
  }

  // An element by its symbol, name or atomic number ("Fe", "iron", "26").
  const ELEMENT_ALIASES = { aluminum: "Al", cesium: "Cs", sulphur: "S" };
  function findElement(text) {
    const t = text.trim().toLowerCase();
    if (ELEMENT_ALIASES[t]) return ELEMENT_ALIASES[t];
    for (let z = 1; z <= 98; z++)
      if (String(z) === t || yex.elementSymbol(z).toLowerCase() === t || ELEMENT_NAMES[z - 1].toLowerCase() === t)
        return yex.elementSymbol(z);
    return null;
  }

  // Where the periodic table is cut by a narrow screen, a line says it scrolls.
  function showTableCue() {
    const box = $("ptable");
    $("ptable-cue").hidden = box.scrollWidth <= box.clientWidth + 1;
  }

  function buildPeriodicTable() {
    const box = $("ptable");
    const shipped = new Set(yex.listTables().filter((t) => t.shipped).map((t) => t.file.replace(/\.yex$/i, "")));
    const cells = [];
    for (let z = 1; z <= 98; z++) {
      const symbol = yex.elementSymbol(z);
      const b = document.createElement("button");
      b.type = "button";
      b.textContent = symbol;
      b.setAttribute("aria-label", ELEMENT_NAMES[z - 1] + " (" + symbol + ", Z = " + z + ")");
      const [row, col] = place(z);
      b.style.gridRow = String(row);
      b.style.gridColumn = String(col);
      b.dataset.row = row;
      b.dataset.col = col;
      b.dataset.file = symbol + ".yex";
      b.tabIndex = -1;
      b.disabled = !shipped.has(symbol);
      b.addEventListener("click", () => {
        formulaShown = null;
        overlays = [];
        if (show(symbol)) {
          picked();
          $("chart").scrollIntoView({ block: "nearest" });
        }
      });
      cells.push(b);
      box.appendChild(b);
    }
    cells[0].tabIndex = 0;
    // One stop in the tab order; arrows move within the table.
    box.addEventListener("keydown", (e) => {
      const moves = { ArrowLeft: [0, -1], ArrowRight: [0, 1], ArrowUp: [-1, 0], ArrowDown: [1, 0] };
      const here = document.activeElement;
      if (!moves[e.key] || !here || here.parentElement !== box) {
        if (e.key === "Home" || e.key === "End") {
          e.preventDefault();
          focusCell(e.key === "Home" ? cells[0] : cells[cells.length - 1]);
        }
        return;
      }
      e.preventDefault();
      const [dr, dc] = moves[e.key];
      let best = null, bestScore = Infinity;
      const r0 = Number(here.dataset.row), c0 = Number(here.dataset.col);
      for (const b of cells) {
        const r = Number(b.dataset.row), c = Number(b.dataset.col);
        const along = dr ? (r - r0) * dr : (c - c0) * dc, across = dr ? Math.abs(c - c0) : Math.abs(r - r0);
        if (along <= 0) continue;
        const score = along + 3 * across;
        if (score < bestScore) (best = b), (bestScore = score);
      }
      if (best) focusCell(best);
    });
    function focusCell(b) {
      for (const c of cells) c.tabIndex = -1;
      b.tabIndex = 0;
      b.focus();
    }
  }

  // The element on screen stands out, and is the table's stop in the Tab
  // order (another table on screen leaves the stop where it was).
  function markPicked(file) {
    const cells = Array.from($("ptable").children);
    const picked = cells.find((b) => b.dataset.file.toLowerCase() === String(file).toLowerCase());
    for (const b of cells) {
      b.classList.toggle("picked", b === picked);
      if (b === picked) b.setAttribute("aria-pressed", "true");
      else b.removeAttribute("aria-pressed");
      if (picked) b.tabIndex = b === picked ? 0 : -1;
    }
  }

  // ---- the table on screen

  // The text's characters are the file's bytes (tables are read as such),
  // so a download gives back exactly the bytes that came in.
  function blobUrl(old, text, type) {
    if (old) URL.revokeObjectURL(old);
    if (text instanceof Uint8Array) return URL.createObjectURL(new Blob([text], { type: type }));
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; i++) bytes[i] = text.charCodeAt(i) & 0xff;
    return URL.createObjectURL(new Blob([bytes], { type: type }));
  }

  function show(file) {
    const v = yex.tableView(file);
    if (!v.ok) {
      say(v.error, "error");
      return false;
    }
    current = v.file;
    $("table-list").value = v.file;
    $("view-heading").textContent = v.name;
    $("table-lines").textContent = v.lines.join("\n");
    $("table-lines").setAttribute("aria-label", "The 45 lines of " + v.file);
    overlays = overlays.filter((o) => o.file !== v.file);
    drawChart(v.chart, v.texts);
    legend(v.name);
    markPicked(v.file);
    const link = $("download-table");
    tableUrl = blobUrl(tableUrl, v.bytes, "text/plain");
    link.href = tableUrl;
    link.download = v.file;
    link.textContent = "Download " + v.file;
    const opt = $("table-list").selectedOptions[0];
    $("remove-button").disabled = !opt || opt.dataset.shipped === "1";
    for (const id of ["out-x", "out-f", "out-s"]) $(id).textContent = "";
    showXrayCard();
    return true;
  }

  // ---- edges and lines (Elam, Ravel and Sieber), loaded with Chantler's data

  let xrayReady = null;
  function loadXray() {
    if (!xrayReady)
      xrayReady = loadChantler().then(async () => (window.YEX_XRAY ? yex.setXrayData(await unpackChantler(window.YEX_XRAY)) : false));
    return xrayReady;
  }

  // An element's card: its edges and lines, fetched when the card is opened.
  function showXrayCard() {
    const symbol = current && yex.elementOfTable(current);
    const card = $("xray-card");
    card.hidden = !symbol;
    card.dataset.symbol = symbol || "";
    if (symbol && card.open) fillXrayCard(symbol);
  }

  async function fillXrayCard(symbol) {
    const box = $("xray-lists");
    if (!(await loadXray())) {
      box.textContent = "The edges and lines could not be loaded (chantler.js).";
      return;
    }
    if ($("xray-card").dataset.symbol !== symbol) return;
    const r = yex.edgeList(symbol);
    box.textContent = "";
    if (!r.ok) return say(r.error, "error");
    const keV = (v) => String(v);
    const table = (caption, head, rows) => {
      const t = document.createElement("table");
      t.className = "result";
      const c = t.createCaption();
      c.textContent = caption;
      for (const cells of [head, ...rows]) {
        const tr = t.insertRow();
        cells.forEach((v) => {
          const td = document.createElement(cells === head ? "th" : "td");
          td.textContent = v;
          tr.appendChild(td);
        });
      }
      box.appendChild(t);
    };
    table(symbol + ": absorption edges", ["edge", "E (keV)", "fluorescence yield", "jump ratio"],
      r.edges.map((e) => [e.edge, keV(e.keV), String(e.yield), String(e.jump)]));
    table(symbol + ": emission lines (as energies: " + symbol + "Ka1, " + symbol + "-K)", ["line", "IUPAC", "E (keV)", "intensity"],
      r.lines.map((l) => [l.line, l.iupac, keV(l.keV), String(l.intensity)]));
  }

  // The K and L edges of the elements a result is about, to mark on its plot.
  async function edgesToMark(kind, req) {
    if (kind !== "dispersion" && kind !== "attenuation") return [];
    if (!(await loadXray())) return [];
    const text = (req.formula || "") + " " + (req.tables || []).join(" ");
    const symbols = [...new Set((text.match(/[A-Z][a-z]?/g) || []).filter((s) => yex.elementOfTable(s) === s))];
    const marks = [];
    for (const s of symbols) {
      const r = yex.edgeList(s);
      if (r.ok) for (const e of r.edges) if (/^(K|L[123])$/.test(e.edge)) marks.push({ x: e.keV, label: s + " " + e.edge });
    }
    return marks;
  }

  // The chart's legend and description: the first table as the window
  // draws it, then each overlay's colour.
  function legend(name) {
    const list = $("chart-legend");
    list.textContent = "";
    const item = (text, colour, file) => {
      const li = document.createElement("li");
      const swatch = document.createElement("span");
      swatch.className = "swatch";
      swatch.style.background = colour;
      li.append(swatch, text);
      if (file) {
        const b = document.createElement("button");
        b.type = "button";
        b.textContent = "×";
        b.setAttribute("aria-label", "Take " + text + " off the chart");
        b.addEventListener("click", () => {
          overlays = overlays.filter((o) => o.file !== file);
          redraw();
          remember();
        });
        li.append(b);
      }
      list.appendChild(li);
    };
    item(name + ": F red, S yellow", "linear-gradient(90deg, #ff0000 50%, #ffff00 50%)");
    overlays.forEach((o, k) => item(o.name + ": F solid, S dashed", OVERLAY_COLOURS[k % OVERLAY_COLOURS.length], o.file));
    $("chart").setAttribute(
      "aria-label",
      "Log-log chart of F(x) in red and S(x) in yellow of " + name + (overlays.length ? ", with " + overlays.map((o) => o.name).join(", ") : "")
    );
  }

  function redraw() {
    if (!chartShown) return;
    drawChart(chartShown.ops, chartShown.texts);
    legend($("view-heading").textContent);
  }

  // Adds the tables named in `text` to the chart; false and a message when
  // one is not there.
  function overlay(names) {
    for (const typed of names) {
      const v = yex.tableView(typed);
      if (!v.ok) {
        say("Compare with: " + v.error, "error");
        return false;
      }
      if (v.file === current || overlays.some((o) => o.file === v.file)) continue;
      overlays.push({ file: v.file, name: v.name, ops: v.chart });
    }
    redraw();
    return true;
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
    if (!current) return;
    const r = yex.lookup(current, lookupRequest());
    for (const id of ["out-x", "out-f", "out-s"]) $(id).textContent = "";
    // The address follows what the screen shows, a refused value too.
    remember();
    if (!r.ok) {
      say(r.error, "error", "lookup-form");
      return;
    }
    if (!r.inRange) {
      say(r.message, "warning", "lookup-form");
      return;
    }
    unsay("view");
    $("out-x").textContent = r.x;
    $("out-f").textContent = r.f;
    $("out-s").textContent = r.s;
  }

  // ---- the address: what is on screen, so a link reopens it

  let formulaShown = null, formulaShownFile = null; // the formula a table on screen was built from, and its file

  function remember() {
    const p = new URLSearchParams();
    const shown = [current, ...overlays.map((o) => o.file)].filter((f) => f).map((f) => f.replace(/\.yex$/i, ""));
    if (formulaShown && current === formulaShownFile) {
      p.set("formula", formulaShown);
      if (shown.length > 1) p.set("table", shown.slice(1).join(","));
    } else if (current) p.set("table", shown.join(","));
    const value = $("lookup-value").value.trim();
    if (value) {
      p.set("value", value);
      const unit = $("lookup-unit").value;
      if (unit !== "x") p.set("unit", unit);
      const e = $("lookup-energy").value.trim();
      if (e) p.set($("lookup-energy-kind").value, e);
    }
    // A computed result: the request, so that the link computes it again.
    if (computed) for (const [key, v] of Object.entries(computed)) if (v !== "" && v !== false) p.set(key, v);
    history.replaceState(null, "", "#" + p.toString().replace(/%28/g, "(").replace(/%29/g, ")"));
  }

  // The address's keys of a computation and the form's fields they fill.
  const COMPUTE_KEYS = {
    ctables: "compute-tables", cformula: "compute-formula", points: "compute-points", grid: "compute-grid",
    cunit: "compute-unit", cenergy: "compute-energy", energykind: "compute-energy-kind", energies: "compute-energies",
    bd: "compute-bd", format: "compute-format", density: "compute-density", thickness: "compute-thickness",
    material: "compute-material", angles: "compute-angles", roughness: "compute-roughness", polarization: "compute-polarization",
  };
  let computed = null; // the request of the result on screen, as address keys
  const KINDS = ["curve", "cross-section", "average", "dispersion", "attenuation", "index", "reflectivity"];

  function computedKeys(kind) {
    const keys = { compute: kind };
    for (const [key, id] of Object.entries(COMPUTE_KEYS)) {
      const field = $(id).closest(".field");
      if (!field || !field.hidden) keys[key] = $(id).value.trim();
    }
    if (kind === "curve" && $("compute-dcs").checked) keys.dcs = "1";
    if (kind === "average" && $("compute-anomalous").checked) keys.anomalous = "1";
    // A list of points stays on this page: only grids go into a link.
    return keys.points === "list" ? null : keys;
  }

  function openComputation(p) {
    const kind = p.get("compute");
    if (!KINDS.includes(kind)) {
      say("The address’s computation “" + kind + "” is not " + KINDS.slice(0, -1).join(", ") + " or " + KINDS.at(-1) + ".", "error");
      return;
    }
    $("compute-kind").value = kind;
    for (const [key, id] of Object.entries(COMPUTE_KEYS)) if (p.has(key)) $(id).value = p.get(key);
    $("compute-dcs").checked = p.get("dcs") === "1";
    $("compute-anomalous").checked = p.get("anomalous") === "1";
    showFields();
    compute();
  }

  // A table picked: a value in the lookup box is looked up in it, so that
  // the screen and the address show the new table's answer, not the old one's.
  function picked() {
    if ($("lookup-value").value.trim()) lookup();
    else remember();
  }

  // A table built from a formula in the address is named after it.
  function formulaFile(formula) {
    return formula.replace(/[\\/:*?"<>|\x00-\x1f]/g, "_") + ".yex";
  }

  function openFromAddress() {
    const hash = location.hash.replace(/^#/, "");
    if (!hash) return false;
    let p;
    try {
      p = new URLSearchParams(hash);
    } catch (e) {
      say("The address could not be read: " + hash, "error");
      return false;
    }
    const known = ["table", "formula", "value", "unit", "energy", "wavelength", "compute", "dcs", "anomalous", ...Object.keys(COMPUTE_KEYS)];
    for (const key of p.keys())
      if (!known.includes(key)) say("The address holds “" + key + "”, which this page does not know; it is ignored.", "warning");
    let opened = false;
    const named = p.has("table") ? p.get("table").split(",").map((t) => t.trim()).filter((t) => t) : [];
    overlays = [];
    if (p.has("formula")) {
      const formula = p.get("formula");
      // A table the user keeps under the formula's name stays as it is: the
      // link's compound gets a name of its own.
      const kept = Object.keys(stored()).map((f) => f.toLowerCase());
      const base = formulaFile(formula).replace(/\.yex$/, "");
      let name = base;
      for (let k = 1; kept.includes((name + ".yex").toLowerCase()); k++) name = base + "_link" + (k > 1 ? k : "");
      const r = yex.compoundFromFormula(name, formula);
      if (r.ok) {
        fillList(r.file);
        formulaShown = formula;
        formulaShownFile = r.file;
        opened = show(r.file);
        if (name !== base) say("The link’s formula " + formula + " is shown as " + r.file + "; your own " + base + ".yex is kept as it was.", "warning");
        if (r.note) say(r.note, "warning");
      } else say("The address’s formula: " + r.error, "error");
    } else if (named.length) {
      opened = show(named[0]);
      if (!opened) say("The address names no table " + named[0] + ".", "error");
      named.shift();
    }
    if (!opened) {
      // A computation's link needs no table of its own on screen.
      if (!p.has("compute")) return false;
      show("C");
      openComputation(p);
      return true;
    }
    if (named.length) overlay(named);
    const unit = p.get("unit") || "x";
    if (!["x", "q", "qnm", "theta"].includes(unit)) {
      say("The address’s unit “" + unit + "” is not x, q, qnm or theta.", "error");
      return true;
    }
    if (p.has("value")) {
      $("lookup-unit").value = unit;
      $("lookup-value").value = p.get("value");
      if (p.has("wavelength")) {
        $("lookup-energy-kind").value = "wavelength";
        $("lookup-energy").value = p.get("wavelength");
      } else if (p.has("energy")) {
        $("lookup-energy-kind").value = "energy";
        $("lookup-energy").value = p.get("energy");
      }
      lookup();
    }
    if (p.has("compute")) openComputation(p);
    return true;
  }

  // ---- adding files

  function addFiles(files) {
    let last = null;
    const reads = Array.from(files).map(
      (file) =>
        new Promise((resolve) => {
          if (file.size > 1024 * 1024) {
            say(file.name + ": it holds " + file.size + " bytes, far more than a table of 45 lines", "error");
            return resolve();
          }
          const reader = new FileReader();
          reader.onload = () => {
            const bytes = new Uint8Array(reader.result);
            let text = "";
            for (let i = 0; i < bytes.length; i++) text += String.fromCharCode(bytes[i]);
            const r = yex.addTable(file.name, text);
            if (r.ok) {
              store(r.file, text);
              last = r.file;
              say("Added " + r.file + ".");
            } else say(r.error, "error");
            resolve();
          };
          reader.onerror = () => {
            say(file.name + ": it cannot be read", "error");
            resolve();
          };
          reader.readAsArrayBuffer(file);
        })
    );
    return Promise.all(reads).then(() => {
      fillList(last || current);
      if (last) show(last);
    });
  }

  // ---- building tables

  function lines(text) {
    return text
      .split(/\r?\n/)
      .map((l) => l.trim())
      .filter((l) => l);
  }

  function built(r, kind) {
    const form = kind === "mixture" ? "mixture-form" : "compound-form";
    if (!r.ok) {
      say(r.error, "error", form);
      return;
    }
    unsay("build");
    store(r.file, r.bytes);
    formulaShown = null;
    fillList(r.file);
    show(r.file);
    const parts = r.parts
      .map((p) =>
        kind === "mixture"
          ? p.file + " r = " + Number(p.ratio.toPrecision(10)) + " (atomic weight " + Number(p.atomicWeight.toPrecision(10)) + ")"
          : p.file + " × " + p.amount
      )
      .join(", ");
    say("Built " + r.file + ": " + parts + ".");
    if (r.note) say(r.note, "warning");
    remember();
  }

  // ---- curves, cross sections, averages

  function words(text) {
    return text.split(/[\s,]+/).filter((w) => w);
  }

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
    const tables = words($("compute-tables").value);
    const formulaField = $("compute-formula").closest(".field");
    req.formula = formulaField.hidden ? "" : $("compute-formula").value.trim();
    req.material = $("compute-material").closest(".field").hidden ? "" : $("compute-material").value.trim();
    // No table typed: the one on screen, unless a formula or a material says what to compute.
    if (tables.length === 0 && current && !req.formula && !req.material) tables.push(current.replace(/\.yex$/i, ""));
    req.tables = tables;
    req.entries = tables;
    const energies = $("compute-energies").value.trim();
    if (/^[^:\s]+:[^:\s]+:[^:\s]+$/.test(energies)) req.energyGrid = energies;
    else req.energies = words(energies);
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
      loadXray().then((ok) => {
        const r = ok && yex.materialList();
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
    const groups = YexPlot.groups(kind, parsed.header, (name) => yex.amountOf(name)).filter((g) => g.series.length);
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
    edgesToMark(kind, computeRequest()).then((marks) => {
      if (plotted !== shown || !marks.length) return;
      plotted.result.marks = marks;
      plotResult();
    });
    return drawn;
  }

  function download(name, url) {
    const a = document.createElement("a");
    a.href = url;
    a.download = name;
    document.body.appendChild(a);
    a.click();
    a.remove();
  }

  // The header and data lines at the start of a result's UTF-8 bytes: only
  // the start is decoded, so a result of a million lines costs no more.
  function firstLines(bytes, count) {
    for (let size = 65536; ; size *= 4) {
      const lines = new TextDecoder().decode(bytes.subarray(0, size)).split("\n");
      if (size < bytes.length) lines.pop(); // cut short
      const kept = lines.filter((l) => l && !l.startsWith("#"));
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
      computed = null;
      remember();
      const id = fieldOf(r.error);
      markField(id);
      const tag = id ? document.querySelector('label[for="' + id + '"]') : null;
      const label = tag ? tag.dataset.short || tag.textContent : null;
      // Below the field it is about, or the form.
      say((label ? label + ": " : "") + r.error, "error", id || "compute-form");
      if (id) $(id).focus();
      return;
    }
    markField(null);
    unsay("compute");
    computed = computedKeys(kind);
    remember();
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
    if (r.warning) say(r.warning, "warning", "compute-form");
    if (r.note) say(r.note, "warning", "compute-form");
    table.tabIndex = 0;  // a Tab stop only where there is something to read
    const link = $("download-result");
    // The download's blob is made when it is asked for: for a large result
    // that takes longer than a page should stop for.
    if (resultUrl) URL.revokeObjectURL(resultUrl);
    resultUrl = null;
    resultBytes = r.bytes || null;
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
      if (computeStart !== null) document.body.dataset.computeMs = (performance.now() - computeStart).toFixed(1);
      computeStart = null;
    });
  }

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

  let worker = null, workerUrl = null, job = 0, computeStart = null;
  let resultJob = null, pendingDownload = null; // whose result is on screen (null: the page's module)
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
    if (resultJob !== null && !resultBytes) {
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
    const req = computeRequest();
    computeStart = performance.now();
    unsay("compute");
    markField(null);
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
        if (yex.setChantlerData(text)) chantlerText = text;
        if (window.YEX_XRAY) yex.setXrayData(await unpackChantler(window.YEX_XRAY));
      }
      const run = { curve: yex.curve, average: yex.average, dispersion: yex.dispersion, attenuation: yex.attenuation, index: yex.index, reflectivity: yex.reflectivity }[kind] || yex.crossSection;
      const r = run(req);
      if (r.ok && !r.columns) r.bytes = yex.resultBytes();
      resultJob = null;
      await showResult(r, kind);
      delete document.body.dataset.computing;
      return;
    }
    $("download-result").hidden = true; // the worker will hold another result
    const tables = yex
      .listTables()
      .filter((t) => !t.shipped)
      .map((t) => ({ file: t.file, bytes: yex.tableView(t.file).bytes }));
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
      resultJob = id;
      // Busy until the plot is drawn (a long one is thinned in steps).
      Promise.resolve(showResult(e.data.result, kind)).then(() => {
        if (e.data.id === job) delete document.body.dataset.computing;
      });
    };
    w.onerror = (e) => {
      e.preventDefault();
      stopComputing("");
      say("The computation stopped: " + (e.message || "an error in the worker"), "error", "compute-form");
    };
    // Chantler's data goes to each worker once, packed: the worker unpacks it.
    const anomalous = chantler && !w.yexHasAnomalous ? chantler : null;
    w.yexHasAnomalous = w.yexHasAnomalous || !!anomalous;
    w.postMessage({ id, kind, request: req, tables, anomalous, xray: anomalous && window.YEX_XRAY });
  }

  // ---- start

  function wire() {
    $("table-list").addEventListener("change", () => {
      formulaShown = null;
      overlays = [];
      if (show($("table-list").value)) picked();
    });
    // The result's text is fetched when it is downloaded: from the page's
    // own module at once, or from the worker, which holds it.
    $("download-result").addEventListener("click", (e) => {
      if (resultUrl) return;
      const link = $("download-result");
      const make = (bytes) => {
        resultUrl = URL.createObjectURL(new Blob([bytes], { type: "text/csv" }));
        link.href = resultUrl;
      };
      if (resultBytes || resultJob === null) return make(resultBytes || yex.resultBytes());
      e.preventDefault();
      if (!worker) return;
      pendingDownload = (bytes) => {
        if (!bytes) return say("That result is no longer held; compute it again to download it.", "error", "compute-form");
        make(bytes);
        link.click();
      };
      worker.postMessage({ want: "bytes", id: resultJob });
    });
    $("add-button").addEventListener("click", () => $("file-input").click());
    $("file-input").addEventListener("change", (e) => {
      addFiles(e.target.files);
      e.target.value = "";
    });
    $("remove-button").addEventListener("click", () => {
      if (!current || !yex.removeTable(current)) return;
      store(current, null);
      say("Removed " + current + ".");
      fillList();
      show("C");
      remember();
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
      built(formula ? yex.compoundFromFormula(name, formula) : yex.compoundFromCounts(name, lines($("compound-entries").value)), "compound");
    });
    $("mixture-form").addEventListener("submit", (e) => {
      e.preventDefault();
      built(yex.mixture($("mixture-name").value.trim(), lines($("mixture-entries").value)), "mixture");
    });
    $("compute-form").addEventListener("submit", (e) => {
      e.preventDefault();
      compute();
    });
    $("compute-cancel").addEventListener("click", () => stopComputing("Cancelled: nothing was computed."));
    $("element-form").addEventListener("submit", (e) => {
      e.preventDefault();
      const symbol = findElement($("element-search").value);
      if (!symbol) {
        say("No element " + $("element-search").value.trim() + ": give a symbol, a name or an atomic number 1 to 98.", "warning", "element-form");
        return;
      }
      unsay("tables");
      formulaShown = null;
      overlays = [];
      if (show(symbol)) {
        picked();
        $("chart").scrollIntoView({ block: "nearest" });
      }
    });
    window.addEventListener("resize", showTableCue);
    $("xray-card").addEventListener("toggle", () => $("xray-card").open && fillXrayCard($("xray-card").dataset.symbol));
    // A form's messages are about what it held: they go once it changes.
    for (const form of document.querySelectorAll("form"))
      form.addEventListener("input", () => {
        for (const slot of form.parentElement.querySelectorAll(".inline-message")) slot.hidden = true;
        if (form.id === "compute-form") markField(null);
      });
    $("compute-kind").addEventListener("change", showFields);
    $("compute-points").addEventListener("change", showFields);
    showFields();
    $("plot-group").addEventListener("change", plotResult);
    $("plot-axes").addEventListener("change", plotResult);
    $("plot-png").addEventListener("click", () => plotted && download("yex-plot.png", YexPlot.png(plotted.plot)));
    $("plot-svg").addEventListener("click", () => {
      if (!plotted) return;
      const url = URL.createObjectURL(new Blob([YexPlot.svg(plotted.plot)], { type: "image/svg+xml" }));
      download("yex-plot.svg", url);
      setTimeout(() => URL.revokeObjectURL(url), 10000);
    });
    $("overlay-form").addEventListener("submit", (e) => {
      e.preventDefault();
      if (overlay(words($("overlay-tables").value))) {
        $("overlay-tables").value = "";
        remember();
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
        redraw();
        plotResult();
      }, 100);
    });
    window.addEventListener("hashchange", () => openFromAddress());
  }

  function start(module) {
    yex = module;
    CHART = yex.chartProtocol();
    // The module for the browser's console and for measuring it.
    window.yexModule = module;
    $("version").textContent = "YEX " + yex.version() + " in your browser: every number is computed on this page by YEX’s own code, and nothing is sent anywhere.";
    $("build-line").textContent = "Built from YEX " + yex.version() + ".";
    $("source-lines").textContent = "";
    yex.dataSource().forEach((l, n) => {
      const span = document.createElement(n === 0 ? "em" : "span");
      span.textContent = l;
      $("source-lines").appendChild(span);
      $("source-lines").appendChild(document.createElement("br"));
    });
    const kept = stored();
    for (const file of Object.keys(kept)) {
      const r = yex.addTable(file, kept[file]);
      if (!r.ok) say("A kept table was refused: " + r.error, "error");
    }
    fillList();
    buildPeriodicTable();
    wire();
    showTableCue();
    // The worker first, so that a link's computation runs there too (its
    // request waits in the worker until the module is ready).
    startWorker();
    if (!openFromAddress()) show("C");
    // Milliseconds from the start of navigation to a listed, drawn page.
    document.body.dataset.readyMs = performance.now().toFixed(1);
    document.body.dataset.ready = "1";
  }

  createYexModule()
    .then(start)
    .catch((e) => say("YEX could not start: " + e, "error"));
})();
