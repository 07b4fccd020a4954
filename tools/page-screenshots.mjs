// Screenshots of the page for the README (docs/page-*.png): a phone, a
// tablet and a desktop, each with a table and an overlay on the chart and a
// computed curve plotted. Needs tools/build-web.sh and npm ci in web/.
//   node tools/page-screenshots.mjs [OUT_DIR]
import fs from "node:fs";
import { createRequire } from "node:module";
import os from "node:os";
import path from "node:path";
import { pathToFileURL } from "node:url";

const root = path.resolve(path.dirname(new URL(import.meta.url).pathname), "..");
const require = createRequire(path.join(root, "web", "package.json"));
const puppeteer = require("puppeteer-core");
const site = process.env.YEX_SITE || path.join(root, "build-web", "site");
const out = process.argv[2] || path.join(root, "docs");

const browser = await puppeteer.launch({
  executablePath: "/usr/bin/chromium",
  headless: true,
  userDataDir: fs.mkdtempSync(path.join(os.tmpdir(), "yex-shots-")),
  args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--hide-scrollbars"],
});
// Size, and what each shot starts at.
const shots = [
  ["phone", 390, 844, { chart: "#view-heading", plot: "#plot-box" }],
  ["tablet", 768, 1024, { plot: "#compute-summary" }],
  ["desktop", 1920, 1080, { top: null }],
];
for (const [name, width, height, at] of shots) {
  const page = await browser.newPage();
  await page.setViewport({ width, height });
  await page.goto(pathToFileURL(path.join(site, "index.html")).href + "#table=C,O,Si");
  await page.waitForSelector('body[data-ready="1"]');
  await page.select("#compute-kind", "curve");
  await page.type("#compute-tables", "C O Si");
  await page.select("#compute-points", "log");
  await page.$eval("#compute-grid", (e) => (e.value = "0.005:100:400"));
  await page.click("#compute-button");
  await page.waitForSelector("#plot .uplot");
  for (const [part, selector] of Object.entries(at)) {
    await page.evaluate((s) => (s ? document.querySelector(s).scrollIntoView() : window.scrollTo(0, 0)), selector);
    await page.screenshot({ path: path.join(out, `page-${name}-${part}.png`) });
  }
  console.log(`${name}: ${width}x${height}, scroll width ${await page.evaluate(() => document.documentElement.scrollWidth)}`);
  await page.close();
}
await browser.close();
