// The periodic table of the shipped elements, the element search, and an
// element's card of edges and lines.
"use strict";

(function (page) {
  const $ = page.$;

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
      if (String(z) === t || page.yex.elementSymbol(z).toLowerCase() === t || ELEMENT_NAMES[z - 1].toLowerCase() === t)
        return page.yex.elementSymbol(z);
    return null;
  }

  // Where the periodic table is cut by a narrow screen, a line says it scrolls.
  function showTableCue() {
    const box = $("ptable");
    $("ptable-cue").hidden = box.scrollWidth <= box.clientWidth + 1;
  }

  function buildPeriodicTable() {
    const box = $("ptable");
    const shipped = new Set(page.yex.listTables().filter((t) => t.shipped).map((t) => t.file.replace(/\.yex$/i, "")));
    const cells = [];
    for (let z = 1; z <= 98; z++) {
      const symbol = page.yex.elementSymbol(z);
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
      b.addEventListener("click", () => page.showElement(symbol));
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
    const chosen = cells.find((b) => b.dataset.file.toLowerCase() === String(file).toLowerCase());
    for (const b of cells) {
      b.classList.toggle("picked", b === chosen);
      if (b === chosen) b.setAttribute("aria-pressed", "true");
      else b.removeAttribute("aria-pressed");
      if (chosen) b.tabIndex = b === chosen ? 0 : -1;
    }
  }

  // ---- edges and lines (Elam, Ravel and Sieber), loaded with Chantler's data

  let xrayReady = null;
  function loadXray() {
    if (!xrayReady)
      xrayReady = page.loadChantler().then(async () => (window.YEX_XRAY ? page.yex.setXrayData(await page.unpackChantler(window.YEX_XRAY)) : false));
    return xrayReady;
  }

  // An element's card: its edges and lines, fetched when the card is opened.
  function showXrayCard() {
    const symbol = page.current && page.yex.elementOfTable(page.current);
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
    const r = page.yex.edgeList(symbol);
    box.textContent = "";
    if (!r.ok) return page.say(r.error, "error");
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
    const symbols = [...new Set((text.match(/[A-Z][a-z]?/g) || []).filter((s) => page.yex.elementOfTable(s) === s))];
    const marks = [];
    for (const s of symbols) {
      const r = page.yex.edgeList(s);
      if (r.ok) for (const e of r.edges) if (/^(K|L[123])$/.test(e.edge)) marks.push({ x: e.keV, label: s + " " + e.edge });
    }
    return marks;
  }

  Object.assign(page, { findElement, showTableCue, buildPeriodicTable, markPicked, loadXray, showXrayCard, fillXrayCard, edgesToMark });
})(window.YexPage);
