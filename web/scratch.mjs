import puppeteer from "puppeteer-core";
import path from "node:path";
import { pathToFileURL } from "node:url";
const site = "/work/main/build-web/site";
const url = pathToFileURL(path.join(site, "index.html")).href;
const browser = await puppeteer.launch({ executablePath: "/usr/bin/chromium", headless: true, args: ["--no-sandbox", "--disable-gpu"] });
async function open(hash, w = 1366, h = 900) {
  const page = await browser.newPage();
  await page.setViewport({ width: w, height: h });
  page.errors = [];
  page.on("pageerror", (e) => page.errors.push(e.message));
  page.on("console", (m) => m.type() === "error" && page.errors.push(m.text()));
  await page.evaluateOnNewDocument(() => {
    window.longest = 0; window.tasks = [];
    new PerformanceObserver((l) => { for (const e of l.getEntries()) { window.longest = Math.max(window.longest, e.duration); window.tasks.push([Math.round(e.startTime), Math.round(e.duration)]); } }).observe({ type: "longtask", buffered: true });
  });
  const t0 = Date.now();
  await page.goto(url + hash);
  await page.waitForSelector('body[data-ready="1"]', { timeout: 60000 });
  return page;
}
const which = process.argv[2];
if (which === "heavy") {
  const page = await open("#compute=cross-section&ctables=C&energies=1:100:50000");
  const t = Date.now();
  await page.waitForFunction(() => !document.body.dataset.computing && document.querySelector("#compute-summary").textContent, { timeout: 120000 });
  console.log("done in", Date.now() - t, "ms; tasks", await page.evaluate(() => JSON.stringify([window.tasks, document.body.dataset.readyMs])) , await page.$eval("#compute-summary", (e) => e.textContent), page.errors);
}
if (which === "trans") {
  for (const w of [1366, 500, 390]) {
    const page = await open("#compute=attenuation&cformula=H2O&energies=1:100:200&density=1&thickness=0.1", w, 900);
    await page.waitForFunction(() => !document.body.dataset.computing && document.querySelector("#compute-summary").textContent, { timeout: 120000 });
    await page.select("#plot-group", "1");
    const t = Date.now();
    await new Promise((r) => setTimeout(r, 500));
    console.log(w, "longest", await page.evaluate(() => window.longest), "note", await page.evaluate(() => document.querySelector(".plot-note")?.textContent), page.errors);
    await page.screenshot({ path: `/tmp/pp/trans${w}.png`, fullPage: false, clip: await page.$eval("#plot-box", (e) => { const r = e.getBoundingClientRect(); return { x: r.x, y: r.y + scrollY, width: r.width, height: r.height }; }) });
  }
}
if (which === "anom") {
  const page = await open("#compute=average&cformula=SiO2&grid=0.1:1:4&cenergy=8&anomalous=1");
  await page.waitForFunction(() => !document.body.dataset.computing && document.querySelector("#compute-summary").textContent, { timeout: 120000 });
  console.log(await page.$eval("#messages", (e) => e.textContent), page.errors);
}
await browser.close();
