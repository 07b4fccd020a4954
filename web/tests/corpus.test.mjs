// The standing cross-front-end check: several hundred requests, part written
// out and part drawn from a fixed seed (ambiguous symbols, entries in every
// form, extreme weights and counts, energies at and beyond the range,
// malformed numbers), each run through yex-cli, the page's module and the
// Python package. The same data lines, or the same refusal (the front end's
// prefix and the data folder's name aside). Every new request kind joins it.
import assert from "node:assert/strict";
import { spawnSync } from "node:child_process";
import fs from "node:fs";
import path from "node:path";
import { before, test } from "node:test";

import { cli, dataLines, loadModule, random, root, workFolder, yexCli } from "./common.mjs";

let yex, work;

before(async () => {
  yex = await loadModule();
  work = workFolder();
});

// ---- the requests

const ambiguous = ["CO", "HF", "CS", "PO", "SN", "HO", "BI", "NB", "YB", "SC"];
const proper = ["Co", "Hf", "Cs", "Po", "Sn", "Ho", "Bi", "Nb", "Yb", "Sc", "Fe", "H", "O", "Pb", "U", "Np"];
const caseVariants = ["fe", "FE", "co", "pB", "Fe.yex", "fe.YEX", "Water", "Nope", "", "a|b"];
const formulas = ["H2O", "CuSO4*5H2O", "CuSO4.5H2O", "Ca5(PO4)3OH", "Fe0.95O", "NpO2", "H2O)", "Xx2", "h2o", "C", "co",
  "SiO2", "Fe2O3", "H" + "9".repeat(307) + "O", "(H2O)1e2", "Gd3Ga5O12"];
// Within the 1-100 keV the page carries, tabulated or not, and malformed.
const energies = ["8", "17.48", "8.04778", "59.54", "1.5", "99", "7.1128179", "3.6083", "20"];
const badEnergies = ["0", "-1", "abc", "1e400", "8,17.5", "8x", "", "1e-400"];
const percents = ["11.19", "88.81", "50", "1e308", "1e-300", "0", "-5", "x", "33.3"];

function pick(next, list) {
  return list[Math.floor(next() * list.length)];
}

function generated(seed, count) {
  const next = random(seed);
  const out = [];
  const someEnergies = () => {
    const n = 1 + Math.floor(next() * 3);
    const es = Array.from({ length: n }, () => pick(next, energies));
    if (next() < 0.15) es.push(pick(next, badEnergies));
    return es;
  };
  const element = () => pick(next, next() < 0.3 ? ambiguous : next() < 0.5 ? caseVariants : proper);
  for (let i = 0; i < count; i++) {
    const kind = pick(next, ["attenuation", "attenuation", "attenuation", "dispersion", "dispersion", "cross-section",
      "average", "curve", "mixture", "compound"]);
    if (kind === "attenuation" || kind === "dispersion") {
      const r = { kind, energies: someEnergies() };
      const form = next();
      if (form < 0.35) r.formula = pick(next, [...formulas, ...ambiguous, ...proper]);
      else if (form < 0.7 || kind === "dispersion") r.tables = Array.from({ length: 1 + Math.floor(next() * 2) }, element);
      else
        r.tables = Array.from({ length: 1 + Math.floor(next() * 3) }, () =>
          `${element()}:${pick(next, percents)}${next() < 0.2 ? ":" + pick(next, ["55.845", "2.014", "0", "y"]) : ""}`);
      if (kind === "attenuation" && next() < 0.3 && (r.formula !== undefined || r.tables.length === 1 || r.tables[0].includes(":"))) {
        r.density = pick(next, ["1", "2.5", "1e-300", "0"]);
        if (next() < 0.5) r.thickness = pick(next, ["0.1", "3", "1e300"]);
      }
      out.push(r);
    } else if (kind === "cross-section") {
      out.push({ kind, tables: Array.from({ length: 1 + Math.floor(next() * 2) }, () => pick(next, [...proper, "fe", "Water", "C"])),
        energies: someEnergies() });
    } else if (kind === "average" || kind === "curve") {
      const r = { kind, points: "grid", grid: pick(next, ["0.01:2:0.25", "0.5:30:3.5", "0:1:0.5"]), unit: pick(next, ["x", "q"]) };
      if (kind === "average") {
        if (next() < 0.5) r.formula = pick(next, ["SiO2", "H2O", "CO", "Co", "CuSO4.5H2O", "co"]);
        else r.entries = [`${element()}:${pick(next, ["1", "2", "1e308", "0", "-1"])}`, `O:${pick(next, ["1", "3", "1e-300"])}`];
        if (next() < 0.4) Object.assign(r, { energyKind: "energy", energy: pick(next, ["8", "17.48", "59.54"]) });
        if (r.energy && next() < 0.5) r.anomalous = true;
        if (r.energy && next() < 0.3) r.breitDirac = pick(next, ["2", "3"]);
      } else {
        r.tables = [pick(next, [...proper.slice(0, 15), "fe", "C"])];
      }
      out.push(r);
    } else {
      const name = `T${seed}x${i}`;
      if (kind === "compound")
        out.push(next() < 0.5 ? { kind, name, formula: pick(next, formulas) }
          : { kind, name, entries: [`${element()}:${pick(next, ["1", "2", "0.5", "0", "1e308"])}`, "O:1"] });
      else
        out.push({ kind, name, entries: [`${element()}:${pick(next, percents)}`, `O:${pick(next, ["50", "1e308", "20:15.999"])}`] });
    }
  }
  return out;
}

const written = [
  // One string, one meaning: a formula is read case-sensitively, a table name by the store's rule.
  ...ambiguous.map((s) => ({ kind: "attenuation", formula: s, energies: ["8"] })),
  ...ambiguous.map((s) => ({ kind: "dispersion", formula: s, energies: ["8"] })),
  { kind: "attenuation", tables: ["fe:50", "o:50"], energies: ["20"] },
  { kind: "attenuation", tables: ["Fe:50:55.845", "O:50"], energies: ["20"] },
  { kind: "attenuation", tables: ["H:1e308", "O:1e308"], energies: ["10"] },
  { kind: "attenuation", tables: ["Water:50", "O:50"], energies: ["10"] },
  { kind: "attenuation", formula: "CuSO4.5H2O", energies: ["8"] },
  { kind: "attenuation", formula: "H" + "1".repeat(300) + "O", energies: ["10"] },
  { kind: "attenuation", formula: "H2O", energies: ["10", "20"], density: "2", thickness: "0.1" },
  { kind: "mixture", name: "Mlower", entries: ["fe:50", "o:50"] },
  { kind: "dispersion", formula: "H" + "9".repeat(307) + "O" + "9".repeat(307), energies: ["10"] },
  { kind: "cross-section", tables: ["C"], energies: ["8", "17.5"] },
  // Where the rows step, and what --steps refuses.
  { kind: "dispersion", tables: ["U", "bi", "Fe"], steps: true },
  { kind: "dispersion", formula: "H2O", steps: true },
  { kind: "dispersion", tables: ["U"], energies: ["5.548"], steps: true },
  { kind: "dispersion", tables: ["U"], energies: ["5.547", "5.549", "8", "1e3"] },
  // What yex-cli refuses, the page refuses: a formula with tables, the
  // window's patterns where they do not apply.
  { kind: "dispersion", tables: ["Fe"], formula: "H2O", energies: ["8"] },
  { kind: "attenuation", tables: ["Fe"], formula: "H2O", energies: ["8"] },
  { kind: "average", entries: ["H:2"], formula: "H2O", points: "grid", grid: "0.1:1:0.3" },
  { kind: "dispersion", tables: ["Fe"], energies: ["8"], display: true },
  { kind: "attenuation", tables: ["Fe"], energies: ["8"], display: true },
  // Edges, lines and materials; lines and edges as energies; the index and
  // a mirror's reflectivity.
  { kind: "edges", elements: ["Fe", "cu"] },
  { kind: "edges", elements: ["Xx"] },
  { kind: "lines", elements: ["Cu", "Mo"], edge: "K" },
  { kind: "lines", elements: ["Cu"], edge: "Q" },
  { kind: "materials" },
  { kind: "dispersion", tables: ["Fe"], energies: ["Cu-Ka1", "FeK", "Cu-K-L3"] },
  { kind: "dispersion", tables: ["Fe"], energies: ["Fe-Kz"] },
  { kind: "cross-section", tables: ["Pb"], energies: ["MoKa1", "8"] },
  { kind: "attenuation", formula: "H2O", energies: ["CuKa1,MoKa1"] },
  { kind: "index", tables: ["Si"], energies: ["CuKa1", "17.48"] },
  { kind: "attenuation", material: "Water", energies: ["17.48"], thickness: "0.1" },
  { kind: "attenuation", material: "water", formula: "H2O", energies: ["17.48"] },
  { kind: "index", tables: ["Si"], energies: ["8", "17.48", "30"] },
  { kind: "index", material: "Kapton", energies: ["8", "20"] },
  { kind: "index", material: "water", density: "0.5", energies: ["10"] },
  { kind: "index", formula: "SiO2", density: "2.2", energies: ["8"] },
  { kind: "index", formula: "SiO2", energies: ["8"] },
  { kind: "index", tables: ["C"], energies: ["8"] },
  { kind: "index", tables: ["H:11.19", "O:88.81"], density: "1", energies: ["10"] },
  { kind: "index", material: "unobtainium", energies: ["8"] },
  { kind: "index", material: "water", formula: "H2O", energies: ["8"] },
  { kind: "reflectivity", material: "silicon", energies: ["CuKa1"], angleGrid: "1:8:8" },
  { kind: "reflectivity", tables: ["Au"], energies: ["17.48"], angleGrid: "0.5:6:12", roughness: "5", polarization: "p" },
  { kind: "reflectivity", tables: ["Au"], energies: ["17.48"], angleGrid: "0.5:6:12", polarization: "unpolarized" },
  { kind: "reflectivity", formula: "Ni", density: "8.9", energies: ["8"], angleGrid: "2:2:1" },
  { kind: "reflectivity", tables: ["Au"], energies: ["17.48", "8"], angleGrid: "1:2:2" },
  { kind: "reflectivity", tables: ["Au"], energies: ["17.48"], angleGrid: "0:2:2" },
  { kind: "reflectivity", tables: ["Au"], energies: ["17.48"], angleGrid: "1:2:3", polarization: "x" },
  { kind: "reflectivity", tables: ["Au"], energies: ["17.48"], angleGrid: "1:2:3", roughness: "-1" },
];

const requests = [...written, ...generated(20261209, 420)];

// ---- the three front ends

function cliArgs(r) {
  const e = (r.energies ?? []).flatMap((v) => ["--energy", v]);
  const material = [...(r.formula !== undefined ? ["--formula", r.formula] : []), ...(r.tables ?? []),
    ...(r.material !== undefined ? ["--material", r.material] : [])];
  const display = r.display ? ["--display"] : [];
  const points = r.points ? [r.points === "log" ? "--log-grid" : "--grid", r.grid, ...(r.unit ? ["--unit", r.unit] : [])] : [];
  const beam = r.energy ? [r.energyKind === "wavelength" ? "--wavelength" : "--energy", r.energy] : [];
  switch (r.kind) {
    case "attenuation":
      return [r.kind, ...material, ...e, ...(r.density ? ["--density", r.density] : []), ...(r.thickness ? ["--thickness", r.thickness] : []), ...display];
    case "dispersion":
      return [r.kind, ...material, ...e, ...(r.steps ? ["--steps"] : []), ...display];
    case "cross-section":
      return [r.kind, ...material, ...e];
    case "edges":
    case "lines":
      return [r.kind, ...r.elements, ...(r.edge ? ["--edge", r.edge] : [])];
    case "materials":
      return [r.kind];
    case "index":
    case "reflectivity":
      return [r.kind, ...material, ...e, ...(r.density ? ["--density", r.density] : []),
        ...(r.angleGrid ? ["--angle-grid", r.angleGrid] : []), ...(r.roughness ? ["--roughness", r.roughness] : []),
        ...(r.polarization ? ["--polarization", r.polarization] : [])];
    case "average":
      return [r.kind, ...(r.formula !== undefined ? ["--formula", r.formula] : []), ...(r.entries ?? []), ...points, ...beam,
        ...(r.breitDirac ? ["--breit-dirac", r.breitDirac] : []), ...(r.anomalous ? ["--anomalous"] : [])];
    case "curve":
      return [r.kind, ...r.tables, ...points, ...beam];
    case "compound":
      return [r.kind, r.name, ...(r.formula !== undefined ? ["--formula", r.formula] : r.entries)];
    case "mixture":
      return [r.kind, r.name, ...r.entries];
  }
  throw new Error(r.kind);
}

function page(r) {
  switch (r.kind) {
    case "attenuation":
      return yex.attenuation(r);
    case "dispersion":
      return yex.dispersion(r);
    case "cross-section":
      return yex.crossSection(r);
    case "edges":
      return yex.edges(r);
    case "lines":
      return yex.lines(r);
    case "materials":
      return yex.materials(r);
    case "index":
      return yex.index(r);
    case "reflectivity":
      return yex.reflectivity(r);
    case "average":
      return yex.average(r);
    case "curve":
      return yex.curve(r);
    case "compound":
      return r.formula !== undefined ? yex.compoundFromFormula(r.name, r.formula) : yex.compoundFromCounts(r.name, r.entries);
    case "mixture":
      return yex.mixture(r.name, r.entries);
  }
  throw new Error(r.kind);
}

function python(list) {
  const pythonPath = process.env.YEX_PYTHONPATH || path.join(path.dirname(path.dirname(cli)), "python");
  const r = spawnSync("/usr/bin/python3", [path.join(root, "python", "tests", "corpus_python.py"), work], {
    input: JSON.stringify(list), encoding: "utf8", maxBuffer: 1 << 28, env: { ...process.env, PYTHONPATH: pythonPath },
  });
  if (r.status !== 0) throw new Error(r.stderr);
  return JSON.parse(r.stdout);
}

// A refusal's reason: the message without the front end's prefix, the data
// folder's name, or the range of energies each front end carries.
function reason(text) {
  return text
    .replace(/^yex-cli: /, "")
    .replace(/YEX-data\//g, "")
    .replace(/(outside Chantler's tabulated energies for \S+),.*/, "$1")
    .trim();
}

function cliReason(err) {
  const line = err.split("\n").find((l) => l.startsWith("yex-cli: ") && !l.startsWith("yex-cli: note:"));
  return line === undefined ? undefined : reason(line);
}

const rowsOf = (lines) => lines.slice(1).filter((l) => l !== "").map((l) => l.split(",").map((v) => (v === "" ? null : Number(v))));

test("every request gives the same lines or the same refusal in yex-cli, the page and Python", (t) => {
  assert.ok(requests.length >= 300, `${requests.length} requests`);
  const runs = [];
  for (const r of requests) {
    const c = yexCli(work, cliArgs(r));
    const p = page(r);
    const where = cliArgs(r).join(" ");
    const refused = cliReason(c.err);
    const lines = dataLines(c.out).filter((l) => l !== "");
    if (r.kind === "compound" || r.kind === "mixture") {
      assert.equal(p.ok, c.status === 0, `${where}: ${c.err} / ${p.error}`);
      if (p.ok) assert.equal(p.bytes, fs.readFileSync(path.join(work, "YEX-data", r.name + ".yex"), "latin1"), where);
      else assert.equal(reason(p.error), refused, where);
    } else if (p.ok) {
      assert.ok(refused === undefined || p.outside > 0, `${where}: yex-cli ${c.err}`);
      assert.deepEqual(dataLines(new TextDecoder().decode(yex.resultBytes())).filter((l) => l !== ""), lines, where);
    } else {
      assert.equal(reason(p.error), refused, `${where}: ${c.out.slice(0, 300)}`);
    }
    const header = lines[0]?.split(",") ?? [];
    const xAt = header.indexOf("x");
    const forPython = { ...r, xs: xAt >= 0 ? rowsOf(lines).map((row) => row[xAt]) : undefined,
      angles: header[0] === "angle_mrad" ? rowsOf(lines).map((row) => row[0]) : undefined,
      cliFile: c.status === 0 && (r.kind === "compound" || r.kind === "mixture") ? path.join(work, "YEX-data", r.name + ".yex") : undefined };
    runs.push({ r, where, refused, lines, header, forPython });
  }
  const answers = python(runs.map((x) => x.forPython));
  let compared = 0;
  for (const [i, { r, where, refused, lines, header }] of runs.entries()) {
    const py = answers[i];
    if (py.skip) continue;
    compared++;
    if (py.error !== undefined) {
      assert.equal(reason(py.error), refused, `${where}: Python refused, yex-cli did not`);
      continue;
    }
    assert.ok(refused === undefined || ["average", "curve"].includes(r.kind), `${where}: yex-cli refused (${refused}), Python did not`);
    if (py.cliRows) {
      assert.deepEqual(py.rows, py.cliRows, where);
      continue;
    }
    let rows = rowsOf(lines);
    if (r.kind === "cross-section") {
      const keep = header.map((h, k) => k === 0 || /^(coh|incoh)\(/.test(h));
      rows = rows.map((row) => row.filter((_, k) => keep[k]));
    } else if (r.kind === "average" || r.kind === "curve") {
      const width = py.rows[0]?.length ?? 0;
      rows = rows.map((row) => row.slice(row.length - width));
    }
    assert.deepEqual(py.rows, rows, where);
  }
  assert.ok(compared >= 300, `${compared} requests compared with Python`);
  t.diagnostic(`${requests.length} requests through yex-cli and the page, ${compared} of them through Python too`);
});

test("invariants: weights times 2^k, and a table name in any case, give the same lines", () => {
  const next = random(7);
  for (let i = 0; i < 12; i++) {
    const k = Math.floor(next() * 2000) - 1000;
    const [h, o] = [next() * 100, next() * 100];
    const scaled = (w) => String(w * 2 ** k);
    const base = yexCli(work, ["attenuation", `H:${h}`, `O:${o}`, "--energy", "8"]);
    const moved = yexCli(work, ["attenuation", `h:${scaled(h)}`, `o:${scaled(o)}`, "--energy", "8"]);
    assert.equal(base.status, 0, base.err);
    assert.deepEqual(dataLines(moved.out), dataLines(base.out), `2^${k}`);
    const avg = (w) => yexCli(work, ["average", `Si:${w(1)}`, `O:${w(2)}`, "--grid", "0.1:1:0.3"]);
    assert.deepEqual(dataLines(avg((n) => String(n * 2 ** k)).out), dataLines(avg(String).out), `average 2^${k}`);
  }
  for (const name of ["Fe", "fe", "FE", "fE", "Fe.yex", "FE.YEX"]) {
    const r = yexCli(work, ["cross-section", name, "--energy", "8,17.5"]);
    const lines = dataLines(r.out);
    assert.deepEqual(lines.slice(1), dataLines(yexCli(work, ["cross-section", "Fe", "--energy", "8", "--energy", "17.5"]).out).slice(1), name);
  }
});
