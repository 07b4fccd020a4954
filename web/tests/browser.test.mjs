// The page in a real browser (Debian's Chromium, headless), opened from disk
// and from a static server on 127.0.0.1, driven as a user would: pick a
// table, look up a value, build a compound and download it, download a
// curve, add a hostile file, open links; no error in the console.
import assert from "node:assert/strict";
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";
import { after, before, test } from "node:test";
import { pathToFileURL } from "node:url";

import puppeteer from "puppeteer-core";

import { dataLines, site, workFolder, yexCli } from "./common.mjs";

let browser, server, work, downloads;
const origins = {};

before(async () => {
  work = workFolder();
  downloads = fs.mkdtempSync(path.join(os.tmpdir(), "yex-downloads-"));
  const types = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css" };
  server = http.createServer((req, res) => {
    const file = path.join(site, path.normalize(decodeURIComponent(req.url.split(/[?#]/)[0])).replace(/^(\.\.[/\\])+/, ""));
    if (!file.startsWith(site) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404).end();
      return;
    }
    res.writeHead(200, { "Content-Type": types[path.extname(file)] || "application/octet-stream" });
    fs.createReadStream(file).pipe(res);
  });
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  origins.disk = pathToFileURL(path.join(site, "index.html")).href;
  origins.server = `http://127.0.0.1:${server.address().port}/index.html`;
  browser = await puppeteer.launch({
    executablePath: process.env.YEX_CHROMIUM || "/usr/bin/chromium",
    headless: true,
    userDataDir: fs.mkdtempSync(path.join(os.tmpdir(), "yex-chromium-")),
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
           "--disable-component-update", "--disable-sync"],
  });
});

after(async () => {
  await browser?.close();
  server?.close();
});

// A fresh page at `url`, ready, with every console error and page error
// kept, and the longest task on the page's thread (window.longestTask).
async function open(url, viewport) {
  const page = await browser.newPage();
  if (viewport) await page.setViewport(viewport);
  await page.evaluateOnNewDocument(() => {
    window.longestTask = 0;
    new PerformanceObserver((list) => {
      for (const e of list.getEntries()) window.longestTask = Math.max(window.longestTask, e.duration);
    }).observe({ type: "longtask", buffered: true });
  });
  page.errors = [];
  // Every address the page asks for, to see that none leaves the machine.
  page.requests = [];
  page.on("request", (r) => page.requests.push(r.url()));
  page.on("console", (m) => m.type() === "error" && page.errors.push(m.text()));
  page.on("pageerror", (e) => page.errors.push(e.message));
  await page.goto(url);
  await page.waitForSelector('body[data-ready="1"]', { timeout: 10000 });
  const session = await page.createCDPSession();
  await session.send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: downloads, eventsEnabled: true });
  page.downloads = session;
  return page;
}

const text = (page, selector) => page.$eval(selector, (e) => e.textContent);

// The file a click on `link` downloads, read once Chromium reports it complete
// (the file appears empty under its name before its bytes are written).
async function downloaded(page, link, name) {
  const file = path.join(downloads, name);
  fs.rmSync(file, { force: true });
  const done = new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error(`${name}: no download`)), 10000);
    const progress = (e) => {
      if (e.state === "completed" || e.state === "canceled")
        clearTimeout(timer), page.downloads.off("Browser.downloadProgress", progress), resolve(e.state);
    };
    page.downloads.on("Browser.downloadProgress", progress);
  });
  await page.click(link);
  assert.equal(await done, "completed");
  return fs.readFileSync(file, "latin1");
}

// Compute, and wait for the result (the page computes in its worker).
async function compute(page) {
  await page.click("#compute-button");
  await page.waitForFunction(() => !document.body.dataset.computing);
}

async function fill(page, selector, value) {
  await page.$eval(selector, (e) => (e.value = ""));
  await page.type(selector, value);
}

for (const origin of ["disk", "server"]) {
  test(`the page from ${origin}: table, chart, lookup, compound, curve, hostile file`, async () => {
    const page = await open(origins[origin]);
    // At load nothing hidden is displayed: no download link without a result.
    const shown = await page.$$eval("[hidden]", (all) => all.filter((e) => getComputedStyle(e).display !== "none").map((e) => e.id || e.tagName));
    assert.deepEqual(shown, []);
    await page.select("#table-list", "C.yex");
    const lines = (await text(page, "#table-lines")).split("\n");
    const file = fs.readFileSync(path.join(work, "YEX-data", "C.yex"), "latin1").split("\r\n");
    assert.deepEqual(lines, file.slice(0, 45));
    // Red and yellow curve pixels inside the chart's frame (x, y from 0 to
    // 13.8 in the chart's user scale).
    const colours = await page.$eval("#chart", (c) => {
      const r = window.devicePixelRatio || 1;
      const px = (u) => Math.round(((u + 2) / 16) * 525 * r), py = (u) => Math.round(((14 - u) / 15.5) * 525 * r);
      const img = c.getContext("2d").getImageData(px(0) + 2, py(13.8) + 2, px(13.8) - px(0) - 4, py(0) - py(13.8) - 4);
      let red = 0, yellow = 0;
      for (let i = 0; i < img.data.length; i += 4) {
        const [R, G, B] = [img.data[i], img.data[i + 1], img.data[i + 2]];
        if (R > 200 && G < 60 && B < 60) red++;
        if (R > 200 && G > 200 && B < 60) yellow++;
      }
      return { red, yellow };
    });
    assert.ok(colours.red > 300 && colours.yellow > 300, JSON.stringify(colours));

    await fill(page, "#lookup-value", "0.1");
    await page.click("#lookup-button");
    assert.deepEqual([await text(page, "#out-x"), await text(page, "#out-f")], ["1.00E-01", "5.1225E+00"]);

    await fill(page, "#compound-name", "Water");
    await fill(page, "#compound-formula", "H2O");
    await page.click("#compound-button");
    assert.equal(yexCli(work, ["compound", "Water", "--formula", "H2O", "--force"]).status, 0);
    assert.equal(await downloaded(page, "#download-table", "Water.yex"),
                 fs.readFileSync(path.join(work, "YEX-data", "Water.yex"), "latin1"));

    await page.select("#compute-kind", "curve");
    await fill(page, "#compute-tables", "C Water");
    await page.select("#compute-points", "log");
    await fill(page, "#compute-grid", "0.005:1000:300");
    await compute(page);
    const csv = await downloaded(page, "#download-result", "yex-curve.csv");
    assert.deepEqual(dataLines(csv), dataLines(yexCli(work, ["curve", "C", "Water", "--log-grid", "0.005:1000:300"]).out));

    const listed = await page.$$eval("#table-list option", (o) => o.length);
    const hostile = path.join(downloads, "binary.yex");
    fs.writeFileSync(hostile, Buffer.from([0, 1, 2, 255, 0, 10, 13]));
    await (await page.$("#file-input")).uploadFile(hostile);
    await page.waitForFunction(() => { const m = document.getElementById("messages").textContent; return m.includes("binary.yex line 1: ") && m.includes("is not a table line"); });
    assert.equal(await page.$$eval("#table-list option", (o) => o.length), listed);
    assert.deepEqual(page.errors, []);
    await page.close();
  });
}

test("links reopen a view; a link that does not parse opens the page with a message", async () => {
  assert.equal(yexCli(work, ["compound", "Apatite", "--formula", "Ca5(PO4)3OH"]).status, 0);
  const want = yexCli(work, ["lookup", "Apatite", "--theta", "30", "--energy", "17.48"]).out.trim().split(" ");
  let page = await open(origins.disk + "#formula=Ca5(PO4)3OH&unit=theta&value=30&energy=17.48");
  assert.equal(await text(page, "#view-heading"), "Ca5(PO4)3OH");
  assert.deepEqual([await text(page, "#out-x"), await text(page, "#out-f"), await text(page, "#out-s")], want);
  assert.deepEqual(page.errors, []);
  await page.close();

  page = await open(origins.server + "#table=Nope&value=abc&colour=red");
  assert.equal(await text(page, "#view-heading"), "C");
  const messages = await text(page, "#messages");
  assert.match(messages, /no table Nope/);
  assert.match(messages, /colour/);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test("the first load weighs under 1 MB: Chantler's data (1-100 keV) comes when a computation needs it, the whole under 2 MB", async () => {
  const size = (f) => fs.statSync(path.join(site, f)).size;
  const page = await open(origins.server);
  const loaded = page.requests.map((u) => path.basename(new URL(u).pathname)).filter((f) => fs.existsSync(path.join(site, f)));
  assert.ok(!loaded.includes("chantler.js"), loaded.join());
  const first = [...new Set(loaded)].reduce((n, f) => n + size(f), 0);
  assert.ok(first < 1e6 && first + size("chantler.js") < 2e6, `${first} bytes`);
  await page.close();
});

test("a result is plotted: one curve per column of each table, the CSV's numbers, the grid's range, PNG and SVG", async () => {
  const page = await open(origins.disk);
  await page.select("#compute-kind", "curve");
  await fill(page, "#compute-tables", "C O");
  await page.select("#compute-points", "log");
  await fill(page, "#compute-grid", "0.005:1000:300");
  await compute(page);
  const plot = await page.evaluate(() => ({
    labels: window.yexPlot.series.slice(1).map((s) => s.label),
    data: window.yexPlot.data.map((c) => Array.from(c)),
    x: [window.yexPlot.scales.x.min, window.yexPlot.scales.x.max],
  }));
  const csv = dataLines(await downloaded(page, "#download-result", "yex-curve.csv")).filter((l) => l).map((l) => l.split(","));
  assert.deepEqual(plot.labels, csv[0].slice(1));
  for (let c = 0; c < csv[0].length; c++) assert.deepEqual(plot.data[c], csv.slice(1).map((r) => (r[c] === "" ? null : Number(r[c]))));
  assert.ok(plot.x[0] <= 0.005 && plot.x[1] >= 1000 && plot.x[1] < 1e4, String(plot.x));
  const svg = await downloaded(page, "#plot-svg", "yex-plot.svg");
  assert.equal((svg.match(/<path /g) || []).length, 4);
  assert.match(svg, /x = sin\(θ\/2\)\/λ|x = sin/);
  assert.equal((await downloaded(page, "#plot-png", "yex-plot.png")).slice(1, 4), "PNG");

  // Points the table has no value for (x below 0.005) are gaps, never 0,
  // on linear and on log axes.
  await fill(page, "#compute-tables", "Si");
  await page.select("#compute-points", "grid");
  await fill(page, "#compute-grid", "0:0.05:0.001");
  await compute(page);
  for (const axes of ["lin", "log"]) {
    await page.select("#plot-axes", axes);
    const ys = await page.evaluate(() => window.yexPlot.data.slice(1).map((c) => Array.from(c)));
    const xs = await page.evaluate(() => Array.from(window.yexPlot.data[0]));
    for (const y of ys) {
      assert.ok(y.every((v) => v !== 0), axes);
      xs.forEach((x, n) => assert.equal(y[n] === null, x < 0.005, `${axes} x = ${x}`));
    }
  }
  await fill(page, "#compute-tables", "C O");

  // A cross section: σ against energy, per table.
  await page.select("#compute-kind", "cross-section");
  await fill(page, "#compute-energies", "1:1000:20");
  await compute(page);
  assert.deepEqual(await page.evaluate(() => window.yexPlot.series.slice(1).map((s) => s.label)),
                   ["σ_coh(C)", "σ_incoh(C)", "σ_coh(O)", "σ_incoh(O)"]);
  assert.deepEqual(page.errors, []);
  assert.ok(page.requests.some((u) => u.endsWith("/uPlot.iife.min.js")), "the bundled uPlot is loaded");
  assert.deepEqual(page.requests.filter((u) => !/^(file|data|blob):/.test(u)), []);
  await page.close();
});

test("dispersion across an edge is plotted on linear axes, and its link computes it again", async () => {
  const page = await open(origins.disk);
  await page.select("#compute-kind", "dispersion");
  await fill(page, "#compute-tables", "Fe");
  await fill(page, "#compute-energies", "6.9:7.3:41");
  await compute(page);
  assert.equal(await text(page, "#compute-summary"), "41 lines.");
  const plot = await page.evaluate(() => ({ labels: window.yexPlot.series.slice(1).map((s) => s.label), axes: document.getElementById("plot-axes").value }));
  assert.deepEqual(plot, { labels: ["f′(Fe)", "f″(Fe)"], axes: "lin" });
  // Its K edge is marked there, and the element's card lists Elam's edges and lines.
  await page.waitForFunction(() => (window.yexPlot.yexMarks || []).length > 0);
  assert.deepEqual(await page.evaluate(() => window.yexPlot.yexMarks.filter((m) => m.x >= 6.9 && m.x <= 7.3)), [{ x: 7.112, label: "Fe K" }]);
  await page.select("#table-list", "Fe.yex");
  await page.click("#xray-card summary");
  await page.waitForFunction(() => document.querySelectorAll("#xray-lists table").length === 2);
  assert.match(await text(page, "#xray-lists"), /K7\.1120\.3509857\.893.*Ka1K-L36\.4052/s);
  const again = await open(page.url());
  await again.waitForFunction(() => !document.body.dataset.computing && document.getElementById("compute-summary").textContent);
  assert.equal(await text(again, "#compute-summary"), "41 lines.");
  assert.deepEqual([page.errors, again.errors], [[], []]);
  await page.close();
  await again.close();
});

test("a long computation runs off the page's thread, from file:// too: progress, Cancel, and the page answers meanwhile", async () => {
  const page = await open(origins.disk);
  await page.select("#compute-kind", "curve");
  await fill(page, "#compute-tables", "C");
  await page.select("#compute-points", "grid");
  await fill(page, "#compute-grid", "0.1:0.3:0.1");
  await compute(page);
  await fill(page, "#compute-grid", "0.005:1000:0.001");  // 999,996 points
  await page.click("#compute-button");
  await page.waitForFunction(() => /lines so far/.test(document.getElementById("compute-progress").textContent));
  // The page answers while the worker computes: a lookup comes back.
  await fill(page, "#lookup-value", "0.1");
  await page.click("#lookup-button");
  assert.equal(await text(page, "#out-f"), "5.1225E+00");
  assert.equal(await page.evaluate(() => document.body.dataset.computing), "1");
  await page.click("#compute-cancel");
  assert.equal(await text(page, "#compute-progress"), "Cancelled: nothing was computed.");
  // Nothing comes of the cancelled request, and the result before it, whose
  // text went with the worker, offers no download.
  await new Promise((r) => setTimeout(r, 500));
  assert.equal(await text(page, "#compute-summary"), "3 lines; compute it again to download it.");
  assert.equal(await page.$eval("#download-result", (e) => getComputedStyle(e).display), "none");
  // And the next computation runs in a fresh worker.
  await fill(page, "#compute-grid", "0.1:0.3:0.1");
  await compute(page);
  assert.equal(await text(page, "#compute-summary"), "3 lines.");
  assert.deepEqual(page.errors, []);
  await page.close();
});

test("on a phone a message appears where the eye is, and every control and link is a 44-pixel target", async () => {
  // Opened at the phone's size: a resize meanwhile redraws the chart and
  // moves the lookup's button under a click.
  const page = await open(origins.disk, { width: 390, height: 844 });
  // In view once the layout has settled (a chart drawn meanwhile may move
  // the page under the message for a moment).
  const inView = (selector) =>
    page
      .waitForFunction(
        (s) => {
          const e = document.querySelector(s);
          const r = e.getBoundingClientRect();
          return !e.hidden && r.height > 0 && r.top >= -1 && r.bottom <= window.innerHeight + 1; // subpixel layout
        },
        { timeout: 3000 },
        selector,
      )
      .then(() => true, () => false);
  assert.equal(await page.$eval("#compute-table", (e) => e.hasAttribute("tabindex")), false);  // empty: no Tab stop
  await fill(page, "#lookup-value", "2000");
  await page.click("#lookup-button");
  assert.equal(await text(page, "#lookup-form-message"), "This value is out of range.");
  assert.ok(await inView("#lookup-form-message"));
  await page.select("#compute-kind", "curve");
  await fill(page, "#compute-grid", "1:0:1");
  await compute(page);
  assert.match(await text(page, "#compute-grid-message"), /STOP lies below START/);
  assert.ok(await inView("#compute-grid-message"));
  await fill(page, "#compute-grid", "0.1:0.3:0.1");
  await compute(page);
  assert.equal(await page.$eval("#compute-grid-message", (e) => e.hidden), true);
  const small = await page.$$eval("button, select, input:not([type=checkbox]), a[download]", (all) =>
    all.filter((e) => e.checkVisibility() && e.getBoundingClientRect().height < 44).map((e) => e.id || e.tagName));
  assert.deepEqual(small, []);
  assert.equal(await page.$eval("#compute-table", (e) => e.tabIndex), 0);
  // At 320 pixels the periodic table says it scrolls, and the search field
  // reaches every element by symbol, name or atomic number.
  await page.setViewport({ width: 320, height: 640 });
  await page.evaluate(() => window.dispatchEvent(new Event("resize")));
  // The chart redrawn at the new width before anything is scrolled to it.
  await page.waitForFunction(() => parseFloat(document.getElementById("chart").style.width) <= 320);
  assert.equal(await page.$eval("#ptable-cue", (e) => e.hidden), false);
  for (const [typed, file] of [["iron", "Fe.yex"], ["26", "Fe.yex"], ["he", "He.yex"], ["Neon", "Ne.yex"], ["98", "Cf.yex"]]) {
    await fill(page, "#element-search", typed);
    await page.click("#element-button");
    assert.equal(await page.$eval("#table-list", (e) => e.value), file, typed);
    // The chart comes into view (once the layout has settled).
    await page.waitForFunction(() => {
      const r = document.getElementById("chart").getBoundingClientRect();
      return r.top >= -1 && r.bottom <= window.innerHeight + 1;  // to the pixel
    });
  }
  await fill(page, "#element-search", "99");
  await page.click("#element-button");
  assert.match(await text(page, "#element-form-message"), /No element 99/);
  await page.setViewport({ width: 1920, height: 1080 });
  await page.evaluate(() => window.dispatchEvent(new Event("resize")));
  assert.equal(await page.$eval("#ptable-cue", (e) => e.hidden), true);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test("every result is a link: the address follows the screen and reopens a computation", async () => {
  const page = await open(origins.disk);
  const hash = () => page.evaluate(() => decodeURIComponent(location.hash));
  await fill(page, "#lookup-value", "0.1");
  await page.click("#lookup-button");
  assert.match(await hash(), /table=C&value=0\.1/);
  await page.select("#table-list", "O.yex");  // the value is looked up in the new table
  assert.match(await hash(), /table=O&value=0\.1/);
  assert.equal(await text(page, "#out-f"), yexCli(work, ["lookup", "O", "0.1"]).out.split(" ")[1]);
  await fill(page, "#lookup-value", "5000");  // refused, and so the address says
  await page.click("#lookup-button");
  assert.match(await hash(), /value=5000/);
  await page.select("#compute-kind", "average");
  await fill(page, "#compute-formula", "SiO2");
  await page.select("#compute-points", "log");
  await fill(page, "#compute-grid", "0.01:10:50");
  await compute(page);
  const link = await hash();
  assert.match(link, /compute=average/);
  const csv = await downloaded(page, "#download-result", "yex-average.csv");
  await page.close();
  const again = await open(origins.disk + "#" + link.slice(1));
  await again.waitForFunction(() => document.getElementById("compute-summary").textContent !== "");
  assert.equal(await downloaded(again, "#download-result", "yex-average.csv"), csv);
  assert.deepEqual(again.errors, []);
  await again.close();
  // A computation's link alone, with no table named.
  const bare = await open(origins.disk + "#compute=curve&ctables=C&points=grid&grid=0.1:0.3:0.1");
  await bare.waitForFunction(() => document.getElementById("compute-summary").textContent === "3 lines.");
  await bare.close();
});

test("any screen: no sideways scrolling and no text below 12 pixels at a phone's, a tablet's and a desktop's width", async () => {
  const page = await open(origins.disk + "#table=C,O");
  for (const [width, height] of [[320, 640], [390, 844], [768, 1024], [1920, 1080], [2560, 1440]]) {
    await page.setViewport({ width, height });
    await compute(page);
    const r = await page.evaluate(() => ({
      scroll: document.documentElement.scrollWidth,
      small: [...document.querySelectorAll("body *")]
        .filter((e) => e.checkVisibility() && [...e.childNodes].some((n) => n.nodeType === 3 && n.textContent.trim()))
        .filter((e) => parseFloat(getComputedStyle(e).fontSize) < 12)
        .map((e) => e.tagName + "#" + e.id),
      chart: document.getElementById("chart").getBoundingClientRect().right,
    }));
    assert.equal(r.scroll, width, `${width}: scroll width ${r.scroll}`);
    assert.deepEqual(r.small, [], `${width}`);
    assert.ok(r.chart <= width, `${width}: the chart ends at ${r.chart}`);
  }
  assert.deepEqual(page.errors, []);
  await page.close();
});

test("only the fields that apply: the others leave the tab order and keep their values; errors name the field", async () => {
  const page = await open(origins.disk);
  await fill(page, "#compute-grid", "0.1:1:0.1");
  await page.select("#compute-kind", "cross-section");
  const order = [];
  await page.focus("#compute-kind");
  for (let i = 0; i < 3; i++) {
    await page.keyboard.press("Tab");
    order.push(await page.evaluate(() => document.activeElement.id));
  }
  assert.deepEqual(order, ["compute-tables", "compute-energies", "compute-format"]);
  await fill(page, "#compute-tables", "C");
  await fill(page, "#compute-energies", "abc");
  await compute(page);
  assert.match(await text(page, "#messages"), /Energies \(keV\): .*abc/);
  assert.equal(await page.evaluate(() => document.activeElement.id), "compute-energies");
  await page.select("#compute-kind", "curve");
  assert.equal(await page.$eval("#compute-grid", (e) => e.checkVisibility() && e.value), "0.1:1:0.1");
  await page.close();
});

test("the periodic table loads an element by click and by keyboard; a link overlays tables on the chart", async () => {
  let page = await open(origins.disk);
  // Places from the standard table (period, group; the f-block in rows 9
  // and 10), and no two buttons on one place.
  const cells = await page.$$eval("#ptable button", (b) => b.map((e) => [e.textContent, Number(e.dataset.row), Number(e.dataset.col)]));
  assert.equal(cells.length, 98);
  assert.equal(new Set(cells.map(([, r, c]) => r * 100 + c)).size, 98);
  const at = Object.fromEntries(cells.map(([s, r, c]) => [s, [r, c]]));
  const want = { H: [1, 1], He: [1, 18], B: [2, 13], Al: [3, 13], K: [4, 1], Fe: [4, 8], Kr: [4, 18], Ag: [5, 11],
                 Cs: [6, 1], Ba: [6, 2], Hf: [6, 4], Hg: [6, 12], Rn: [6, 18], Ra: [7, 2], La: [9, 3], Lu: [9, 17],
                 Ac: [10, 3], U: [10, 6], Cf: [10, 12] };
  for (const [symbol, place] of Object.entries(want)) assert.deepEqual(at[symbol], place, symbol);
  await page.click('#ptable button[aria-label^="Iron "]');
  assert.equal(await text(page, "#view-heading"), "Fe");
  await page.focus('#ptable button[aria-label^="Hydrogen "]');
  await page.keyboard.press("ArrowDown");
  await page.keyboard.press("Enter");
  assert.equal(await text(page, "#view-heading"), "Li");
  await page.close();

  page = await open(origins.disk + "#table=C,O,Si");
  assert.equal(await text(page, "#view-heading"), "C");
  assert.equal(await page.$$eval("#chart-legend li", (l) => l.length), 3);
  // The overlays' colours inside the frame.
  const cyan = await page.$eval("#chart", (c) => {
    const img = c.getContext("2d").getImageData(0, 0, c.width, c.height).data;
    let n = 0;
    for (let i = 0; i < img.length; i += 4) if (img[i] < 40 && img[i + 1] > 200 && img[i + 2] > 230) n++;
    return n;
  });
  assert.ok(cyan > 200, String(cyan));
  assert.match(page.url(), /table=C,O,Si/);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test("links and messages: a heavy link at load computes in the worker, every key a link holds is read, a link's formula keeps the user's table, a message goes with what it was about", async (t) => {
  let page = await open(origins.disk + "#compute=cross-section&ctables=C&energies=1:100:50000");
  await page.waitForFunction(() => !document.body.dataset.computing && document.getElementById("compute-summary").textContent);
  assert.match(await text(page, "#compute-summary"), /^50000 lines/);
  // The page's own module computed nothing: the worker did.
  assert.equal(await page.evaluate(() => window.yexModule.resultBytes().length), 0);
  t.diagnostic(`longest task on the page's thread: ${await page.evaluate(() => window.longestTask)} ms`);
  await page.close();

  page = await open(origins.disk + "#compute=average&cformula=SiO2&grid=0.1:1:0.3&cenergy=8&anomalous=1");
  await page.waitForFunction(() => !document.body.dataset.computing && document.getElementById("compute-summary").textContent);
  assert.doesNotMatch(await text(page, "#messages"), /does not know/);
  assert.match(await page.evaluate(() => location.hash), /anomalous=1/);

  // A kept NaCl (built from another formula) stays when a link shows NaCl.
  await fill(page, "#compound-name", "NaCl");
  await fill(page, "#compound-formula", "Na2Cl");
  await page.click("#compound-button");
  const mine = await page.evaluate(() => window.yexModule.tableView("NaCl.yex").bytes);
  await page.evaluate(() => (location.hash = "#formula=NaCl"));
  await page.waitForFunction(() => document.getElementById("view-heading").textContent === "NaCl_link");
  assert.match(await text(page, "#messages"), /your own NaCl\.yex is kept/);
  assert.equal(await page.evaluate(() => window.yexModule.tableView("NaCl.yex").bytes), mine);

  // Beyond the page's copy of Chantler's tables: it says whose range, and
  // the message goes once the field changes.
  await page.select("#compute-kind", "dispersion");
  await page.$eval("#compute-formula", (e) => (e.value = ""));  // the link's SiO2
  await fill(page, "#compute-tables", "Fe");
  await fill(page, "#compute-energies", "150");
  await compute(page);
  assert.match(await text(page, "#compute-energies-message"), /in this page's copy, which holds 1 to 100 keV; yex-cli and the Python package/);
  await page.type("#compute-energies", "0");
  assert.equal(await page.$eval("#compute-energies-message", (e) => getComputedStyle(e).display), "none");
  assert.deepEqual(page.errors, []);
  await page.close();
});

test("plots of any range and a phone's view: 30 decades at 500 px and wider, every placeholder a request, the result in view after Compute", async () => {
  for (const width of [1366, 500]) {
    const page = await open(origins.disk + "#compute=attenuation&cformula=H2O&energies=1:100:200&density=1&thickness=0.1", { width, height: 900, hasTouch: true });
    await page.waitForFunction(() => !document.body.dataset.computing && document.getElementById("compute-summary").textContent);
    await page.select("#plot-group", "1");  // the transmission, 1e-174 to 1
    const lines = await page.evaluate(() => [window.yexPlot.axes[1]._splits.length, window.yexPlot.bbox.height / devicePixelRatio]);
    assert.ok(lines[0] >= 2 && lines[0] <= lines[1] / 12, `${lines[0]} lines on ${lines[1]} px`);
    assert.match(await text(page, ".plot-note"), /below 1e-30 of the largest/);
    // A finger dragged across zooms in; a double tap zooms out.
    const range = () => page.evaluate(() => [window.yexPlot.scales.x.min, window.yexPlot.scales.x.max]);
    const whole = await range();
    const over = await page.$eval(".u-over", (e) => {
      e.scrollIntoView({ block: "center" });
      const r = e.getBoundingClientRect();
      return { x: r.x, y: r.y + r.height / 2, w: r.width };
    });
    await page.touchscreen.touchStart(over.x + 0.2 * over.w, over.y);
    await page.touchscreen.touchMove(over.x + 0.6 * over.w, over.y);
    await page.touchscreen.touchEnd();
    const zoomed = await range();
    assert.ok(zoomed[0] > whole[0] && zoomed[1] < whole[1], `${whole} to ${zoomed}`);
    await page.touchscreen.tap(over.x + 10, over.y);
    await page.touchscreen.tap(over.x + 10, over.y);
    assert.deepEqual(await range(), whole);
    assert.deepEqual(page.errors, []);
    await page.close();
  }
  const page = await open(origins.disk, { width: 390, height: 844 });
  const alternatives = ["compute-tables", "compute-formula", "compute-material"];
  for (const kind of ["curve", "average", "cross-section", "dispersion", "attenuation", "index", "reflectivity"])
    for (const use of alternatives) {
      await page.select("#compute-kind", kind);
      // Each visible field holds its placeholder (tables or the formula).
      const filled = await page.$$eval("#compute-form input[placeholder]", (all, use, alternatives) => all.filter((e) => e.checkVisibility()).map((e) => {
        const other = alternatives.includes(e.id) && e.id !== use;
        e.value = other ? "" : e.placeholder;
        return other ? null : e.id;
      }).filter((id) => id), use, alternatives);
      if (!filled.includes(use)) continue;
      await compute(page);
      assert.equal(await page.$$eval("#compute .inline-message", (all) => all.filter((e) => !e.hidden).map((e) => e.textContent).join()), "", `${kind} ${filled}`);
      assert.match(await text(page, "#compute-summary"), /lines?/);
      const top = await page.$eval("#compute-progress", (e) => e.getBoundingClientRect().top);
      assert.ok(top >= -1 && top < 844 / 2, `${kind}: the result starts at ${top} px`);
      const boxes = await page.$$eval("input[type=checkbox]", (all) => all.filter((e) => e.checkVisibility()).map((e) => e.getBoundingClientRect().height));
      assert.ok(boxes.every((h) => h >= 44), `${boxes}`);
    }
  assert.deepEqual(page.errors, []);
  await page.close();
});
