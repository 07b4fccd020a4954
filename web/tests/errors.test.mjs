// The same wrong request gives the same message and the same kind of error
// in yex-cli (exit status), Python (exception class) and the page (kind).
import assert from "node:assert/strict";
import fs from "node:fs";
import { createRequire } from "node:module";
import path from "node:path";
import { test } from "node:test";

import { python, site, workFolder, yexCli } from "./common.mjs";

const require = createRequire(import.meta.url);
const status = { usage: 2, "missing table": 1, "unreadable data": 1, "out of range": 1, "i/o": 1 };
const pythonClass = {
  usage: "ValueError",
  "missing table": "FileNotFoundError",
  "unreadable data": "ValueError",
  "out of range": "ValueError",
  "i/o": "OSError",
};

test("ten bad requests: one message and one kind in every front end", async () => {
  const yex = await require(path.join(site, "yex.js"))();
  const work = workFolder();
  const c = fs.readFileSync(path.join(work, "YEX-data", "C.yex"), "latin1");
  const short = c.split("\r\n").slice(0, 44).join("\r\n") + "\r\n";
  fs.writeFileSync(path.join(work, "YEX-data", "Short.yex"), short, "latin1");
  const grid = { points: "grid", grid: "0.1:1:0.1" };
  // [kind, yex-cli arguments, Python call, page call]
  const cases = [
    ["usage", ["compound", "X", "--formula", "H2Xx"], 'yex.compound("H2Xx")', () => yex.compoundFromFormula("X", "H2Xx")],
    ["usage", ["compound", "X", "--formula", "Ca(OH2"], 'yex.compound("Ca(OH2")', () => yex.compoundFromFormula("X", "Ca(OH2")],
    ["missing table", ["compound", "X", "Nope:1"], 'yex.compound({"Nope": 1})', () => yex.compoundFromCounts("X", ["Nope:1"])],
    ["usage", ["compound", "X", "H:0"], 'yex.compound({"H": 0})', () => yex.compoundFromCounts("X", ["H:0"])],
    ["usage", ["mixture", "X", "Water:40", "C:60"], 'yex.mixture([("Water", 40), ("C", 60)])', () => yex.mixture("X", ["Water:40", "C:60"])],
    ["usage", ["mixture", "X", "H:50:0", "O:50"], 'yex.mixture([("H", 50, 0), ("O", 50)])', () => yex.mixture("X", ["H:50:0", "O:50"])],
    ["usage", ["average", "--formula", "SiO2", "--grid", "0.1:1:0.1", "--energy", "10", "--breit-dirac", "4"],
      'yex.average("SiO2", 0.3, energy_kev=10, breit_dirac=4)', () => yex.average({ formula: "SiO2", ...grid, energy: "10", breitDirac: "4" })],
    ["usage", ["cross-section", "C", "--energy", "-1"], 'yex.cross_section(yex.read_table("YEX-data/C.yex"), -1)',
      () => yex.crossSection({ tables: ["C"], energies: ["-1"] })],
    ["missing table", ["average", "Nope:1", "--grid", "0.1:1:0.1"], 'yex.average({"Nope": 1}, 0.3)', () => yex.average({ entries: ["Nope:1"], ...grid })],
    ["unreadable data", ["curve", "Short", "--grid", "0.1:1:0.1"], 'yex.read_table("YEX-data/Short.yex")', () => yex.addTable("Short.yex", short)],
  ];
  const code = [
    "import json, yex",
    "out = []",
    ...cases.map(([, , call]) => `try:\n    ${call}\n    out.append(None)\nexcept Exception as e:\n    out.append([type(e).__name__, str(e)])`),
    "print(json.dumps(out))",
  ].join("\n");
  const fromPython = JSON.parse(python(work, code));
  cases.forEach(([kind, args], i) => {
    const cli = yexCli(work, args);
    const message = cli.err.split("\n")[0].replace(/^yex-cli: /, "");
    const page = cases[i][3]();
    const what = args.join(" ");
    assert.equal(cli.status, status[kind], `${what}: ${cli.err}`);
    assert.equal(cli.out, "", what);
    assert.deepEqual(fromPython[i], [pythonClass[kind], message], what);
    assert.equal(page.ok, false, what);
    // The page has no data folder: its tables are named by file alone.
    assert.equal(page.error, message.replace("YEX-data/", ""), what);
    assert.equal(page.kind, kind, what);
  });
});
