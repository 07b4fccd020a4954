// What a new user met, one row a trap: the same input to yex-cli, Python and
// the page, and what each must answer (status and message, exception or
// warning, the page's message).
import assert from "node:assert/strict";
import fs from "node:fs";
import { createRequire } from "node:module";
import path from "node:path";
import { test } from "node:test";

import { python, site, workFolder, yexCli } from "./common.mjs";

const require = createRequire(import.meta.url);

test("every trap answered the same way in every front end", async () => {
  const yex = await require(path.join(site, "yex.js"))();
  const work = workFolder();
  fs.writeFileSync(path.join(work, "empty.txt"), "# nothing\n");
  fs.writeFileSync(path.join(work, "YEX-data", "One.yex"), "  .000E+00  .10000E+01  .00000E+00\r\n");
  fs.writeFileSync(path.join(work, "si.csv"), yexCli(work, ["curve", "Si", "--unit", "q", "--grid", "1:3:1"]).out);
  assert.equal(yexCli(work, ["compound", "Taken", "--formula", "H2O"]).status, 0);
  const grid = { points: "grid", grid: "0.1:0.5:0.1" };
  // [trap, yex-cli [args, status, stderr], Python [code, class or warning, message], page [call, message]]
  const rows = [
    [1, [["compound", "Taken", "--formula", "H2O"], 1, /YEX-data\/Taken.yex already exists; give --force/],
      ['yex.compound("H2O").save("YEX-data/Taken.yex")', "FileExistsError", /already exists; pass overwrite=True/],
      [() => yex.compoundFromFormula("C", "H2O"), /C\.yex is a shipped table/]],
    [1, [["compound", "C", "--formula", "H2O", "--force"], 2, /C\.yex is a shipped table/],
      ['yex.compound("H2O", name="C", overwrite=True)', "ValueError", /C\.yex is a shipped table/], null],
    [2, [["curve", "Si", "--unit", "q", "--from", "si.csv"], 0, /^$/], null,
      [() => yex.curve({ tables: ["Si"], unit: "q", points: "list", list: "q,x,F(Si),S(Si)\n1,0.08,12.7,1.66\n" }), null]],
    [3, [["lookup", "Si", "--theta", "200", "--energy", "8"], 2, /theta 200: a scattering angle lies in 0\.\.180 degrees/],
      ["yex.x_from_theta(200, energy_kev=8)", "ValueError", /theta 200: a scattering angle lies in 0\.\.180/],
      [() => yex.lookup("Si", { unit: "theta", value: "200", energy: "8" }), /theta 200: a scattering angle/]],
    [4, [["lookup", "Si", "0,1"], 2, /x 0,1: not a number/],
      ['yex.table("Si").lookup("0,1")', "TypeError", /x must be a number or an array of numbers, not '0,1'/],
      [() => yex.lookup("Si", { value: "0,1" }), /x 0,1: not a number/]],
    [5, [["mixture", "M", "H:50:0", "O:50"], 2, /H:50:0: the atomic weight must be positive/],
      ['yex.mixture([("H", 50, 0), ("O", 50)])', "ValueError", /H:50:0: the atomic weight must be positive/],
      [() => yex.mixture("M", ["H:50:0", "O:50"]), /H:50:0: the atomic weight must be positive/]],
    [6, [["compound", "Vit", "--formula", "CuSO4.5H2O"], 0, /note: .*"\." is a decimal point; write a hydrate with "\*"/],
      ['yex.compound("CuSO4.5H2O")', "UserWarning", /"\." is a decimal point/],
      [() => { const r = yex.compoundFromFormula("Vit", "CuSO4.5H2O"); return { ok: false, error: r.note }; }, /"\." is a decimal point/]],
    [8, [["curve", "Si", "--from", "empty.txt"], 2, /no points in empty\.txt\n/], null,
      [() => yex.curve({ tables: ["Si"], points: "list", list: "# nothing\n" }), /no points in your list/]],
    [8, [["compound", "X", "--formula", "Es2O3"], 2, /Es at position 1 has no shipped table/],
      ['yex.compound("Es2O3")', "ValueError", /Es at position 1 has no shipped table/],
      [() => yex.compoundFromFormula("X", "Es2O3"), /Es at position 1 has no shipped table/]],
    [8, [["show", "One"], 1, /it holds 1 line, a table needs 45/],
      ['yex.read_table("YEX-data/One.yex")', "ValueError", /it holds 1 line, a table needs 45/], null],
    [8, [["curve", "Si", "--data", "YEX-data", "--grid", "1:2:1"], 2, /give --data DIR before the command/], null, null],
    [10, [["cross-section", "Pb", "--energy", "1e-160"], 1, /Pb\.yex at 1e-160 keV: the energy is too low to integrate/],
      ['yex.cross_section(yex.table("Pb"), 1e-160)', "ValueError", /Pb\.yex at 1e-160 keV: the energy is too low/],
      [() => yex.crossSection({ tables: ["Pb"], energies: ["1e-160"] }), /Pb\.yex at 1e-160 keV: the energy is too low/]],
    [11, [["lookup", "Si", "--qnm", "10"], 0, /^$/], ['yex.average("SiO2", 0.3, wavelength=0.7, breit_dirac=2)', null, null],
      [() => yex.lookup("Si", { unit: "qnm", value: "10" }), null]],
  ];
  const code = [
    "import json, warnings, yex",
    "out = []",
    ...rows.map(([, , py]) =>
      py
        ? `try:\n    with warnings.catch_warnings(record=True) as w:\n        warnings.simplefilter("always")\n        ${py[0]}\n` +
          `    out.append([w[0].category.__name__, str(w[0].message)] if w else None)\n` +
          `except Exception as e:\n    out.append([type(e).__name__, str(e)])`
        : "out.append(None)"),
    "print(json.dumps(out))",
  ].join("\n");
  const fromPython = JSON.parse(python(work, code));
  rows.forEach(([trap, [args, status, err], py, page], i) => {
    const what = `trap ${trap}: ${args.join(" ")}`;
    const r = yexCli(work, args);
    assert.equal(r.status, status, `${what}: ${r.err}`);
    assert.match(r.err, err, what);
    if (py && py[1]) {
      assert.equal(fromPython[i]?.[0], py[1], `${what}: Python ${JSON.stringify(fromPython[i])}`);
      assert.match(fromPython[i][1], py[2], what);
    } else if (py) {
      assert.equal(fromPython[i], null, `${what}: Python ${JSON.stringify(fromPython[i])}`);
    }
    if (page) {
      const got = page[0]();
      if (page[1]) assert.match(got.error, page[1], `${what}: page`);
      else assert.ok(got.ok, `${what}: page ${got.error}`);
    }
  });
  // Trap 7: what is printed. A linear grid at its decimal points, one x
  // column in x, show --csv as curve prints.
  const curve = yexCli(work, ["curve", "Si", "--grid", "0.1:0.5:0.1"]).out.split("\n").filter((l) => !l.startsWith("#"));
  assert.deepEqual(curve.map((l) => l.split(",")[0]), ["x", "0.1", "0.2", "0.3", "0.4", "0.5", ""]);
  assert.ok(yex.curve({ tables: ["Si"], ...grid }).ok);
  assert.deepEqual(new TextDecoder().decode(yex.resultBytes()).split("\n").filter((l) => !l.startsWith("#")), curve);
  assert.equal(yexCli(work, ["show", "Si", "--csv"]).out.split("\n")[2], "0.005,13.993,0.009");
});
