// The page's compiled module against yex-cli, a native build of the same
// core: lookups bit for bit, new tables byte for byte, the CSV of curve,
// cross-section and average line for line, and the refusals.
import assert from "node:assert/strict";
import fs from "node:fs";
import path from "node:path";
import { before, test } from "node:test";

import { dataLines, loadModule, random, site, workFolder, yexCli } from "./common.mjs";

let yex, work;

before(async () => {
  yex = await loadModule();
  work = workFolder();
});

// The double next to x towards +inf (up) or 0.
function nextDouble(x, up) {
  const b = new BigInt64Array(new Float64Array([x]).buffer);
  b[0] += up ? 1n : -1n;
  return new Float64Array(b.buffer)[0];
}

test("the chart's protocol comes from the module: walking a chart by its argument counts ends on its last number", () => {
  const p = yex.chartProtocol();
  assert.deepEqual(p.scale, { left: -2, top: 14, width: 16, height: -15.5 });
  assert.deepEqual([p.background, p.curves.F, p.curves.S], [0x000080, 0xff0000, 0xffff00]);
  for (const table of ["C", "U", "H"]) {
    const ops = yex.tableView(table).chart;
    let i = 0, lineTos = 0;
    while (i < ops.length) {
      const op = ops[i++];
      assert.ok(op in p.arguments, `${table}: code ${op}`);
      if (op === p.ops.LineTo && (ops[i + 2] === p.curves.F || ops[i + 2] === p.curves.S)) lineTos++;
      i += p.arguments[op];
    }
    assert.equal(i, ops.length, table);
    assert.ok(lineTos > 60, `${table}: ${lineTos} curve segments`);  // F and S across the rows
  }
});

test("lookups are yex-cli's bit for bit on 100,000 random points of several tables", () => {
  // The vector kernel is what runs; the native one is checked lane by lane
  // against the scalar code in the C++ tests.
  assert.equal(yex.lookupKernel(), "simd128");
  const next = random(20261207);
  const xs = new Float64Array(100000);
  // Log-uniform over the range and a little beyond it, and every row's x.
  for (let i = 0; i < xs.length; i++) xs[i] = Math.exp(Math.log(0.003) + (Math.log(1500) - Math.log(0.003)) * next());
  const rowXs = fs
    .readFileSync(path.join(work, "YEX-data", "U.yex"), "latin1")
    .split("\n")
    .filter((l) => l.trim())
    .map((l) => Number(l.slice(0, 10).trim()));
  // Each row's x and its neighbours, powers of two and theirs (Ln's other
  // cases), then the random points.
  const edges = [...rowXs, 0.5, 1, 2, 4, 64, 512].flatMap((x) => (x > 0 ? [x, nextDouble(x, true), nextDouble(x, false)] : [x]));
  const points = Float64Array.from([...edges, ...xs]);
  fs.writeFileSync(path.join(work, "points.txt"), Array.from(points, String).join("\n") + "\n");
  // A table whose pairs hit every edge a table may hold: a zero, values
  // that interpolate to a subnormal and to near the largest value a table
  // may hold (1e100).
  const lines = fs.readFileSync(path.join(work, "YEX-data", "U.yex"), "latin1").split("\r\n");
  const edit = { 9: ["  .00000E+00", null], 30: [" 1.0000E-307", null], 31: [null, " 1.0000E+100"] };
  for (const [row, [f, sv]] of Object.entries(edit))
    lines[row] = lines[row].slice(0, 10) + (f ?? lines[row].slice(10, 22)) + (sv ?? lines[row].slice(22, 34));
  fs.writeFileSync(path.join(work, "YEX-data", "Edges.yex"), lines.join("\r\n"), "latin1");
  assert.ok(yex.addTable("Edges.yex", lines.join("\r\n")).ok);
  for (const table of ["H", "O", "Fe", "U", "Cf", "Edges"]) {
    const r = yexCli(work, ["curve", table, "--from", "points.txt"]);
    assert.equal(r.status, 1, r.err); // some points lie outside the range
    const rows = dataLines(r.out).slice(1, -1);
    assert.equal(rows.length, points.length);
    const got = yex.lookupMany(table, points);
    for (let i = 0; i < rows.length; i++) {
      const [x, f, s] = rows[i].split(",");  // in x, the point is its x
      assert.ok(Object.is(Number(x), points[i]), `x of line ${i}`);
      const want = [f === "" ? NaN : Number(f), s === "" ? NaN : Number(s)];
      if (!Object.is(want[0], got.f[i]) || !Object.is(want[1], got.s[i]))
        assert.fail(`${table} at x = ${points[i]}: yex-cli ${want}, page ${got.f[i]},${got.s[i]}`);
    }
  }
});

test("new tables hold the bytes yex-cli writes", () => {
  const cases = [
    ["compound", "Water", { formula: "H2O" }],
    ["compound", "Apatite", { formula: "Ca5(PO4)3OH" }],
    ["compound", "Vitriol", { formula: "CuSO4*5H2O" }],
    ["compound", "Wustite", { formula: "Fe0.95O" }],
    ["compound", "Dioxide", { entries: ["C:1", "O.yex:2"] }],
    ["mixture", "Brine", { entries: ["H:10.8", "O:85.7", "Na:1.36", "Cl:2.14"] }],
    ["mixture", "Blend", { entries: ["Water:40:18.015", "C:60"] }],
  ];
  for (const [kind, name, input] of cases) {
    const args = input.formula ? [kind, name, "--formula", input.formula] : [kind, name, ...input.entries];
    const r = yexCli(work, args);
    assert.equal(r.status, 0, r.err);
    const page =
      kind === "mixture"
        ? yex.mixture(name, input.entries)
        : input.formula
          ? yex.compoundFromFormula(name, input.formula)
          : yex.compoundFromCounts(name, input.entries);
    assert.ok(page.ok, page.error);
    assert.equal(page.file, name + ".yex");
    assert.equal(page.bytes, fs.readFileSync(path.join(work, "YEX-data", name + ".yex"), "latin1"), name);
    assert.equal(yex.tableView(name).bytes, page.bytes);
  }
});

test("curve, cross-section, average, dispersion and attenuation lines are yex-cli's", () => {
  const list = "# two-theta\n\n0.001\n0.5\n 1.5, ignored\n2e1\n250\n12000\n";
  fs.writeFileSync(path.join(work, "list.txt"), list);
  const cases = [
    ["curve", { tables: ["C", "O"], points: "grid", grid: "0.01:2:0.01" }, ["C", "O", "--grid", "0.01:2:0.01"]],
    ["curve", { tables: ["Si"], unit: "q", points: "grid", grid: "0.5:25:0.05", format: "tsv" },
      ["Si", "--unit", "q", "--grid", "0.5:25:0.05", "--tsv"]],
    ["curve", { tables: ["Cu", "Apatite"], unit: "theta", points: "log", grid: "5:170:50", energyKind: "wavelength", energy: "1.5406", dcs: true },
      ["Cu", "Apatite", "--unit", "theta", "--log-grid", "5:170:50", "--wavelength", "1.5406", "--dcs"]],
    ["curve", { tables: ["C"], unit: "theta", points: "grid", grid: "1:179:1", energyKind: "energy", energy: "59.54", dcs: true, display: true },
      ["C", "--unit", "theta", "--grid", "1:179:1", "--energy", "59.54", "--dcs", "--display"]],
    ["curve", { tables: ["H", "Brine"], unit: "qnm", points: "list", list }, ["H", "Brine", "--unit", "qnm", "--from", "list.txt"]],
    ["average", { formula: "SiO2", unit: "q", points: "grid", grid: "1:25:8", energyKind: "energy", energy: "61.3", breitDirac: "2" },
      ["--formula", "SiO2", "--unit", "q", "--grid", "1:25:8", "--energy", "61.3", "--breit-dirac", "2"]],
    ["average", { entries: ["Ca:5", "P:3", "O:13", "H:1"], points: "log", grid: "0.005:1000:200", energyKind: "wavelength", energy: "0.7", breitDirac: "3" },
      ["Ca:5", "P:3", "O:13", "H:1", "--log-grid", "0.005:1000:200", "--wavelength", "0.7", "--breit-dirac", "3"]],
    ["cross-section", { tables: ["C", "Water:18.015"], energies: ["17.48", "59.54"] }, ["C", "Water:18.015", "--energy", "17.48", "--energy", "59.54"]],
    ["cross-section", { tables: ["Pb", "Vitriol"], energyGrid: "1:1000:40", format: "tsv" }, ["Pb", "Vitriol", "--energy-grid", "1:1000:40", "--tsv"]],
    // Across edges, at the ends of the page's 1-100 keV, tabulated energies.
    ["dispersion", { tables: ["Fe", "pb"], energyGrid: "1:100:997" }, ["Fe", "pb", "--energy-grid", "1:100:997"]],
    ["dispersion", { formula: "CuSO4*5H2O", energies: ["7.1128179", "8.04778", "17.479"] },
      ["--formula", "CuSO4*5H2O", "--energy", "7.1128179", "--energy", "8.04778", "--energy", "17.479"]],
    ["attenuation", { tables: ["H:11.19", "O:88.81"], energyGrid: "1:100:61", density: "1", thickness: "0.5" },
      ["H:11.19", "O:88.81", "--energy-grid", "1:100:61", "--density", "1", "--thickness", "0.5"]],
    ["average", { formula: "Fe2O3", points: "grid", grid: "0.01:2:0.01", energyKind: "energy", energy: "7.1", anomalous: true },
      ["--formula", "Fe2O3", "--grid", "0.01:2:0.01", "--energy", "7.1", "--anomalous"]],
  ];
  for (const [command, request, args] of cases) {
    const r = yexCli(work, [command, ...args]);
    const run = { curve: yex.curve, average: yex.average, dispersion: yex.dispersion, attenuation: yex.attenuation }[command] ?? yex.crossSection;
    const page = run(request);
    assert.ok(page.ok, page.error);
    assert.equal(page.outside > 0, r.status === 1, `${command} ${args.join(" ")}: ${r.err}`);
    assert.deepEqual(dataLines(new TextDecoder().decode(yex.resultBytes())), dataLines(r.out), `${command} ${args.join(" ")}`);
  }
  // The page carries 1-100 keV: beyond, and above Z = 92, refused with the reason.
  for (const [request, reason] of [[{ tables: ["Fe"], energies: ["0.5"] }, /outside Chantler's tabulated energies for Fe, 0\.9\d* keV to 10\d\.\d* keV/],
                                   [{ formula: "NpO2", energies: ["10"] }, /Z = 1 to 92/]])
    assert.match(yex.dispersion(request).error, reason);
});

test("bad tables, names, formulas and requests are refused with their reason, and nothing changes", () => {
  const table = fs.readFileSync(path.join(work, "YEX-data", "C.yex"), "latin1");
  const lines44 = table.split("\r\n").slice(0, 44).join("\r\n") + "\r\n";
  const files = [
    ["short.yex", lines44, /^short\.yex: it holds 44 lines, a table needs 45$/],
    ["binary.yex", "\x00\x01\x02\xff".repeat(500), /^binary\.yex line 1: "\\x00\\x01\\x02.* is not a table line$/],
    ["csv.yex", "x,F,S\n0,6,0\n", /^csv\.yex line 1: "x,F,S" is not a table line$/],
    ["nan.yex", table.replace(" .59974E+01", "        NaN"), /^nan\.yex line 2: F " {9}NaN" is not a number$/],
    ["huge.yex", table.repeat(6500), /^huge\.yex: it holds 10530000 bytes/],
    ["notes.txt", table, /^notes\.txt: not a table file name/],
    ["C.yex", table, /^C\.yex: a shipped table has this name/],
    ["fe.yex", table, /^fe\.yex: a shipped table has this name/],
  ];
  const listed = yex.listTables().length;
  for (const [name, bytes, reason] of files) {
    const r = yex.addTable(name, bytes);
    assert.equal(r.ok, false, name);
    assert.match(r.error, reason);
  }
  assert.equal(yex.listTables().length, listed);
  // The same refusals as yex-cli, in its words (without its data folder).
  const builds = [
    [() => yex.compoundFromFormula("X", "Xx2"), ["compound", "X", "--formula", "Xx2"]],
    [() => yex.compoundFromFormula("X", "H2O)"), ["compound", "X", "--formula", "H2O)"]],
    [() => yex.compoundFromFormula("a*b", "H2O"), ["compound", "a*b", "--formula", "H2O"]],
    [() => yex.compoundFromFormula("../up", "H2O"), ["compound", "../up", "--formula", "H2O"]],
    [() => yex.compoundFromCounts("Q", ["Nope:1"]), ["compound", "Q", "Nope:1"]],
    [() => yex.compoundFromCounts("Q", ["C:0"]), ["compound", "Q", "C:0"]],
    [() => yex.mixture("M", ["Water:40", "C:60"]), ["mixture", "M", "Water:40", "C:60"]],
    [() => yex.mixture("M", ["C:60:abc"]), ["mixture", "M", "C:60:abc"]],
  ];
  for (const [page, args] of builds) {
    const r = yexCli(work, args);
    assert.notEqual(r.status, 0);
    const want = r.err.split("\n")[0].replace(/^yex-cli: /, "").replace("YEX-data/", "");
    const got = page();
    assert.equal(got.ok, false);
    assert.equal(got.error, want);
  }
  assert.equal(yex.listTables().length, listed);
  for (const [request, reason] of [
    [{ tables: ["C"], points: "grid", grid: "1:0:1" }, /STOP lies below START/],
    [{ tables: ["C"], points: "log", grid: "1:10:1.5" }, /N must be a whole number/],
    [{ tables: ["C"], points: "list", list: "0.1\nabc\n" }, /your list:2: "abc" is not a number/],
    [{ tables: ["C"], unit: "theta", points: "grid", grid: "1:2:1" }, /theta needs an energy/],
    [{ tables: ["C"], points: "grid", grid: "1:2:1", dcs: true }, /needs an energy/],
    [{ tables: ["Nope"], points: "grid", grid: "1:2:1" }, /no table Nope/],
  ])
    assert.match(yex.curve(request).error, reason);
});
