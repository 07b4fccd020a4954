// The address: what is on screen, so that a link reopens it, and opening
// a link's tables, lookup and computation.
"use strict";

(function (page) {
  const $ = page.$;

  function remember() {
    const p = new URLSearchParams();
    const shown = [page.current, ...page.overlays.map((o) => o.file)].filter((f) => f).map((f) => f.replace(/\.yex$/i, ""));
    if (page.formulaShown && page.current === page.formulaShownFile) {
      p.set("formula", page.formulaShown);
      if (shown.length > 1) p.set("table", shown.slice(1).join(","));
    } else if (page.current) p.set("table", shown.join(","));
    const value = $("lookup-value").value.trim();
    if (value) {
      p.set("value", value);
      const unit = $("lookup-unit").value;
      if (unit !== "x") p.set("unit", unit);
      const e = $("lookup-energy").value.trim();
      if (e) p.set($("lookup-energy-kind").value, e);
    }
    // A computed result: the request, so that the link computes it again.
    if (page.computed) for (const [key, v] of Object.entries(page.computed)) if (v !== "" && v !== false) p.set(key, v);
    history.replaceState(null, "", "#" + p.toString().replace(/%28/g, "(").replace(/%29/g, ")"));
  }

  // The address's keys of a computation and the form's fields they fill.
  const COMPUTE_KEYS = {
    ctables: "compute-tables", cformula: "compute-formula", points: "compute-points", grid: "compute-grid",
    cunit: "compute-unit", cenergy: "compute-energy", energykind: "compute-energy-kind", energies: "compute-energies",
    bd: "compute-bd", format: "compute-format", density: "compute-density", thickness: "compute-thickness",
    material: "compute-material", angles: "compute-angles", roughness: "compute-roughness", polarization: "compute-polarization",
  };
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
      page.say("The address’s computation “" + kind + "” is not " + KINDS.slice(0, -1).join(", ") + " or " + KINDS.at(-1) + ".", "error");
      return;
    }
    $("compute-kind").value = kind;
    for (const [key, id] of Object.entries(COMPUTE_KEYS)) if (p.has(key)) $(id).value = p.get(key);
    $("compute-dcs").checked = p.get("dcs") === "1";
    $("compute-anomalous").checked = p.get("anomalous") === "1";
    page.showFields();
    page.compute();
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
      page.say("The address could not be read: " + hash, "error");
      return false;
    }
    const known = ["table", "formula", "value", "unit", "energy", "wavelength", "compute", "dcs", "anomalous", ...Object.keys(COMPUTE_KEYS)];
    for (const key of p.keys())
      if (!known.includes(key)) page.say("The address holds “" + key + "”, which this page does not know; it is ignored.", "warning");
    let opened = false;
    const named = p.has("table") ? p.get("table").split(",").map((t) => t.trim()).filter((t) => t) : [];
    page.overlays = [];
    if (p.has("formula")) {
      const formula = p.get("formula");
      // A table the user keeps under the formula's name stays as it is: the
      // link's compound gets a name of its own.
      const kept = Object.keys(page.stored()).map((f) => f.toLowerCase());
      const base = formulaFile(formula).replace(/\.yex$/, "");
      let name = base;
      for (let k = 1; kept.includes((name + ".yex").toLowerCase()); k++) name = base + "_link" + (k > 1 ? k : "");
      const r = page.yex.compoundFromFormula(name, formula);
      if (r.ok) {
        page.fillList(r.file);
        page.formulaShown = formula;
        page.formulaShownFile = r.file;
        opened = page.show(r.file);
        if (name !== base) page.say("The link’s formula " + formula + " is shown as " + r.file + "; your own " + base + ".yex is kept as it was.", "warning");
        if (r.note) page.say(r.note, "warning");
      } else page.say("The address’s formula: " + r.error, "error");
    } else if (named.length) {
      opened = page.show(named[0]);
      if (!opened) page.say("The address names no table " + named[0] + ".", "error");
      named.shift();
    }
    if (!opened) {
      // A computation's link needs no table of its own on screen.
      if (!p.has("compute")) return false;
      page.show("C");
      openComputation(p);
      return true;
    }
    if (named.length) page.overlay(named);
    const unit = p.get("unit") || "x";
    if (!["x", "q", "qnm", "theta"].includes(unit)) {
      page.say("The address’s unit “" + unit + "” is not x, q, qnm or theta.", "error");
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
      page.lookup();
    }
    if (p.has("compute")) openComputation(p);
    return true;
  }

  Object.assign(page, { remember, computedKeys, openComputation, openFromAddress });
})(window.YexPage);
