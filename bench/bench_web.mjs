// The web page's costs, measured in headless Chromium: time from opening
// index.html from disk to a listed table and a drawn chart, the weight of
// what it loads, and 1,000,000 lookups in the page's module against the
// native prepared lookup (bench_yex's BM_TableLookupMillion) in the same run.
// Run by bench/run.sh after tools/build-web.sh; puppeteer-core from web/.
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import http from "node:http";
import zlib from "node:zlib";
import { createRequire } from "node:module";
import os from "node:os";
import path from "node:path";
import { pathToFileURL } from "node:url";

const root = path.resolve(path.dirname(new URL(import.meta.url).pathname), "..");
const require = createRequire(path.join(root, "web", "package.json"));
const puppeteer = require("puppeteer-core");
const site = process.env.YEX_SITE || path.join(root, "build-web", "site");

const bytes = fs.readdirSync(site).reduce((n, f) => n + fs.statSync(path.join(site, f)).size, 0);
console.log(`page: ${fs.readdirSync(site).join(", ")}: ${(bytes / 1e6).toFixed(3)} MB`);
// What a first visit loads (Chantler's data comes when a computation needs
// it), as files and as a server would send them gzipped.
const first = fs.readdirSync(site).filter((f) => f !== "chantler.js" && !f.endsWith(".txt"));
const sizeOf = (files, gz) => files.reduce((n, f) => {
  const data = fs.readFileSync(path.join(site, f));
  return n + (gz ? zlib.gzipSync(data, { level: 9 }).length : data.length);
}, 0);
console.log(`first load: ${(sizeOf(first) / 1e6).toFixed(3)} MB, ${(sizeOf(first, true) / 1e6).toFixed(3)} MB gzipped; ` +
  `chantler.js when needed: ${(sizeOf(["chantler.js"]) / 1e6).toFixed(3)} MB, ${(sizeOf(["chantler.js"], true) / 1e6).toFixed(3)} MB gzipped`);

// The same site over HTTP from 127.0.0.1.
const types = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css" };
const server = http.createServer((req, res) => {
  const file = path.join(site, path.basename(decodeURIComponent(req.url.split(/[?#]/)[0])));
  if (!fs.existsSync(file)) return res.writeHead(404).end();
  res.writeHead(200, { "Content-Type": types[path.extname(file)] || "application/octet-stream" });
  fs.createReadStream(file).pipe(res);
});
await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));

const browser = await puppeteer.launch({
  executablePath: "/usr/bin/chromium",
  headless: true,
  userDataDir: fs.mkdtempSync(path.join(os.tmpdir(), "yex-bench-")),
  args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
         "--disable-component-update", "--disable-sync"],
});
const url = pathToFileURL(path.join(site, "index.html")).href;
const ready = [];
let page;
for (let i = 0; i < 7; i++) {
  page = await browser.newPage();
  await page.goto(url);
  await page.waitForSelector('body[data-ready="1"]');
  ready.push(Number(await page.$eval("body", (b) => b.dataset.readyMs)));
  if (i < 6) await page.close();
}
ready.sort((a, b) => a - b);
console.log(`interactive (tables listed, chart drawn) from file://: median ${ready[3]} ms of 7 (min ${ready[0]}, max ${ready[6]})`);

// 1e6 lookups sorted and shuffled in the page's module (SIMD128), and in
// the same module built without SIMD128 (YEX_WEB_SIMD=OFF tools/build-web.sh
// build-web-scalar) when there is one, in the same browser.
const millions = () => {
  const xs = new Float64Array(1000000);
  for (let i = 0; i < xs.length; i++) xs[i] = 0.005 * Math.pow(200000, i / 999999);
  // Warm: the browser compiles WebAssembly with a quick compiler first and
  // an optimizing one as it runs; the steady state is what a user's long
  // arrays meet.
  window.yexModule.lookupTiming("Si", xs, 5);
  const sorted = window.yexModule.lookupTiming("Si", xs, 7);
  let seed = 1;
  for (let i = xs.length - 1; i > 0; i--) {
    seed = (seed * 16807) % 2147483647;
    const j = seed % (i + 1);
    [xs[i], xs[j]] = [xs[j], xs[i]];
  }
  return { sorted, shuffled: window.yexModule.lookupTiming("Si", xs, 7), kernel: window.yexModule.lookupKernel() };
};
const timing = await page.evaluate(millions);

// A curve of 100,000 points of C at full precision: milliseconds from
// Compute to the drawn plot (the worker computes, the page plots), median of
// 5, from disk and over HTTP, against yex-cli printing the same lines to
// /dev/null (process start included) in the same run, median of 5.
const curveMs = async (page) => {
const ms = [];
for (let i = 0; i < 6; i++) {
  await page.select("#compute-kind", "curve");
  await page.$eval("#compute-tables", (e) => (e.value = "C"));
  await page.select("#compute-points", "log");
  await page.select("#compute-format", "csv");
  await page.$eval("#compute-grid", (e) => (e.value = "0.005:1000:100000"));
  await page.$eval("body", (b) => delete b.dataset.computeMs);
  await page.click("#compute-button");
  await page.waitForFunction(() => document.body.dataset.computeMs !== undefined, { timeout: 60000 });
  if (i > 0) ms.push(Number(await page.$eval("body", (b) => b.dataset.computeMs))); // the first warms the worker
}
ms.sort((a, b) => a - b);
return ms;
};
const ms = await curveMs(page);
const httpPage = await browser.newPage();
await httpPage.goto(`http://127.0.0.1:${server.address().port}/index.html`);
await httpPage.waitForSelector('body[data-ready="1"]');
const httpMs = await curveMs(httpPage);
await httpPage.close();
const cliMs = [];
const work = fs.mkdtempSync(path.join(os.tmpdir(), "yex-bench-cli-"));
for (let i = 0; i < 5; i++) {
  const t = performance.now();
  execFileSync(path.join(root, "build", "cli", "yex-cli"), ["--data", path.join(root, "data", "YEX-data"), "curve", "C", "--log-grid", "0.005:1000:100000"],
    { cwd: work, stdio: ["ignore", "ignore", "ignore"] });
  cliMs.push(performance.now() - t);
}
cliMs.sort((a, b) => a - b);
console.log(`curve of C, 100,000 points, full precision: page ${ms[2].toFixed(0)} ms from Compute to the drawn plot (median of 5, min ${ms[0].toFixed(0)}, max ${ms[4].toFixed(0)}); ` +
  `yex-cli ${cliMs[2].toFixed(0)} ms to print the same lines: ${(ms[2] / cliMs[2]).toFixed(1)}x; over HTTP ${httpMs[2].toFixed(0)} ms ` +
  `(min ${httpMs[0].toFixed(0)}, max ${httpMs[4].toFixed(0)}): ${(httpMs[2] / cliMs[2]).toFixed(1)}x`);

// Links opened at load whose computation is heavy, and a plot over 174
// decades: the page's longest task from navigation to the drawn plot.
for (const link of ["#compute=cross-section&ctables=C&energies=1:100:50000", "#compute=cross-section&ctables=C&energies=1:100:200000",
  "#compute=curve&ctables=H+He+Li+Be+B+C+N+O+F+Ne&points=log&grid=0.005:1000:200000",
  "#compute=attenuation&cformula=H2O&energies=1:100:200&density=1&thickness=0.1"]) {
  const p = await browser.newPage();
  await p.evaluateOnNewDocument(() => {
    window.benchLong = [];
    new PerformanceObserver((l) => l.getEntries().forEach((e) => window.benchLong.push(e.duration))).observe({ type: "longtask", buffered: true });
  });
  await p.goto(url + link);
  await p.waitForFunction(() => !document.body.dataset.computing && document.getElementById("compute-summary").textContent, { timeout: 120000 });
  if (link.includes("attenuation")) await p.select("#plot-group", "1");  // the transmission
  await new Promise((r) => setTimeout(r, 300));
  const tasks = await p.evaluate(() => window.benchLong);
  console.log(`link at load ${link}: the page's longest task ${Math.max(0, ...tasks).toFixed(0)} ms (${tasks.length} over 50 ms, page load included)`);
  await p.close();
}
server.close();

// A curve of 1,000,000 points: the page's longest task meanwhile
// (Chromium's long-task observer: tasks over 50 ms).
await page.evaluate(() => {
  window.benchLong = [];
  new PerformanceObserver((l) => l.getEntries().forEach((e) => window.benchLong.push(e.duration))).observe({ type: "longtask" });
});
await page.$eval("#compute-grid", (e) => (e.value = "0.005:1000:1000000"));
await page.$eval("body", (b) => delete b.dataset.computeMs);
await page.click("#compute-button");
await page.waitForFunction(() => document.body.dataset.computeMs !== undefined, { timeout: 120000 });
await new Promise((r) => setTimeout(r, 500));
const long = await page.evaluate(() => ({ ms: Number(document.body.dataset.computeMs), tasks: window.benchLong }));
console.log(`curve of C, 1,000,000 points: ${(long.ms / 1000).toFixed(2)} s from Compute to the drawn plot; the page's tasks over 50 ms: ` +
  `${long.tasks.length}, the longest ${Math.max(0, ...long.tasks).toFixed(0)} ms`);
const scalarSite = path.join(root, "build-web-scalar", "site");
let scalar = null;
if (fs.existsSync(path.join(scalarSite, "yex.js"))) {
  const other = await browser.newPage();
  await other.goto(pathToFileURL(path.join(scalarSite, "index.html")).href);
  await other.waitForSelector('body[data-ready="1"]');
  scalar = await other.evaluate(millions);
}
await browser.close();

const native = execFileSync(path.join(root, "build", "bench", "bench_yex"),
  ["--benchmark_filter=BM_TableLookupMillion", "--benchmark_min_time=1", "--benchmark_format=json"],
  { env: { ...process.env, QT_QPA_PLATFORM: "offscreen" }, encoding: "utf8", stdio: ["ignore", "pipe", "ignore"] });
// The native kernel Many takes: the last of each order's runs.
const runs = JSON.parse(native).benchmarks;
const best = (order) => runs.filter((b) => b.label.startsWith(order)).at(-1);
const [nSorted, nShuffled] = [best("sorted"), best("shuffled")];
console.log(`1e6 lookups (Si): page (${timing.kernel}) ${timing.sorted.toFixed(1)} ms sorted, ${timing.shuffled.toFixed(1)} ms shuffled; ` +
  `native (${nSorted.label.split(", ")[1]}) ${nSorted.real_time.toFixed(1)} / ${nShuffled.real_time.toFixed(1)} ms: ` +
  `${(timing.sorted / nSorted.real_time).toFixed(2)}x / ${(timing.shuffled / nShuffled.real_time).toFixed(2)}x`);
if (scalar)
  console.log(`1e6 lookups (Si): page without SIMD128 (${scalar.kernel}) ${scalar.sorted.toFixed(1)} / ${scalar.shuffled.toFixed(1)} ms; ` +
    `with SIMD128 ${(timing.sorted / scalar.sorted).toFixed(2)}x / ${(timing.shuffled / scalar.shuffled).toFixed(2)}x of it`);
