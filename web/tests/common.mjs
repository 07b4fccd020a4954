// What the web page's tests share: where the page and yex-cli are, a work
// folder holding the shipped tables, and yex-cli's output to compare with.
import { spawnSync } from "node:child_process";
import { createRequire } from "node:module";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { fileURLToPath } from "node:url";
import zlib from "node:zlib";

export const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), "../..");
export const site = process.env.YEX_SITE || path.join(root, "build-web", "site");
export const cli = process.env.YEX_CLI || path.join(root, "build", "cli", "yex-cli");

// A fresh work folder whose YEX-data holds the shipped tables.
export function workFolder() {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), "yex-web-"));
  fs.mkdirSync(path.join(dir, "YEX-data"));
  for (const f of fs.readdirSync(path.join(root, "data", "YEX-data")))
    fs.copyFileSync(path.join(root, "data", "YEX-data", f), path.join(dir, "YEX-data", f));
  return dir;
}

export function yexCli(work, args) {
  const r = spawnSync(cli, args, { cwd: work, encoding: "latin1", maxBuffer: 1 << 30 });
  return { status: r.status, out: r.stdout, err: r.stderr };
}

// The header and data lines of CSV output: everything but the # lines.
export function dataLines(text) {
  return text.split("\n").filter((l) => !l.startsWith("#"));
}

// A repeatable stream of numbers in [0, 1).
export function random(seed) {
  let a = seed >>> 0;
  return () => {
    a = (a + 0x6d2b79f5) >>> 0;
    let t = a;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

// Runs Python code with the module built beside yex-cli (YEX_PYTHONPATH).
export function python(work, code) {
  const pythonPath = process.env.YEX_PYTHONPATH || path.join(path.dirname(path.dirname(cli)), "python");
  const r = spawnSync("/usr/bin/python3", ["-c", code], {
    cwd: work,
    encoding: "utf8",
    env: { ...process.env, PYTHONPATH: pythonPath },
  });
  if (r.status !== 0) throw new Error(r.stderr);
  return r.stdout;
}

// The page's module with Chantler's data, and Elam's edges, lines and the
// materials, as the page unpacks them from chantler.js.
export async function loadModule() {
  const yex = await createRequire(import.meta.url)(path.join(site, "yex.js"))();
  const packed = fs.readFileSync(path.join(site, "chantler.js"), "utf8").match(/"(.*)"/)[1];
  if (!yex.setChantlerData(zlib.gunzipSync(Buffer.from(packed, "base64")).toString("utf8")))
    throw new Error("chantler.js holds no data the module reads");
  const xray = fs.readFileSync(path.join(site, "chantler.js"), "utf8").match(/YEX_XRAY = "(.*)"/)[1];
  if (!yex.setXrayData(zlib.gunzipSync(Buffer.from(xray, "base64")).toString("utf8")))
    throw new Error("chantler.js holds no edges, lines and materials the module reads");
  return yex;
}
