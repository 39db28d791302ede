// SPDX-License-Identifier: MIT
// Opens the built page in headless Chromium and checks what a user sees against native geftool.
// Usage: node browser.mjs SITE_DIR GEFTOOL CORPUS_DIR SCREENSHOT_DIR
import { execFileSync } from "node:child_process";
import { createServer } from "node:http";
import { mkdirSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync, existsSync, statSync } from "node:fs";
import { tmpdir } from "node:os";
import { basename, extname, join, resolve } from "node:path";
import puppeteer from "puppeteer-core";

const [site, geftool, corpus, shots] = process.argv.slice(2).map((p) => resolve(p));
const examples = resolve(new URL("../../examples", import.meta.url).pathname);
mkdirSync(shots, { recursive: true });
const scratch = mkdtempSync(join(tmpdir(), "gef-web-"));
const downloads = join(scratch, "downloads");
mkdirSync(downloads);

let failures = 0;
const expect = (ok, what) => {
  console.log(`${ok ? "ok  " : "FAIL"} ${what}`);
  if (!ok) ++failures;
};
const native = (args) => execFileSync(geftool, args, { encoding: "latin1", maxBuffer: 1 << 28 });
const nativeJson = (args) => {
  try {
    return JSON.parse(native(args));
  } catch (e) {
    return JSON.parse(e.stdout); // geftool's status tells the verdict; the report is still JSON
  }
};

// The test's own inputs: the RD origin as a location, a file that is no GEF, an empty file.
const amersfoort = join(scratch, "amersfoort.gef");
writeFileSync(amersfoort, readFileSync(join(examples, "cpt_basic.gef"), "latin1").replace(/^#XYID=.*$/m, "#XYID= 31000, 155000, 463000, 0.1, 0.1"), "latin1");
const notGef = join(scratch, "notes.gef");
writeFileSync(notGef, "These are meeting notes, not a GEF file.\n");
const empty = join(scratch, "empty.gef");
writeFileSync(empty, "");
const cpt = join(examples, "cpt_basic.gef");
const bore = join(examples, "boring_layers.gef");
const diss = join(examples, "gefid2_dissipation.gef");
const corpusFiles = existsSync(corpus)
  ? readdirSync(corpus, { recursive: true }).filter((f) => /\.gef$/i.test(f)).map((f) => join(corpus, f)).sort()
  : [];
const findingsOf = (path) => nativeJson(["check", "--json", path]).files[0].findings.length;
// From the corpus: a file that was read with findings, and one the library refuses.
const withFindings = corpusFiles.find((f) => nativeJson(["check", "--json", f]).files[0].read && findingsOf(f) > 0);
const refused = corpusFiles.find((f) => !nativeJson(["check", "--json", f]).files[0].read);
const fromCorpus = [withFindings, refused].filter(Boolean);
const opened = [cpt, bore, diss, join(examples, "cpt_binary.gef"), amersfoort, notGef, empty, ...fromCorpus];

const types = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css" };
const server = createServer((request, response) => {
  const path = join(site, decodeURIComponent(new URL(request.url, "http://x").pathname).replace(/\/$/, "/index.html"));
  if (!path.startsWith(site) || !existsSync(path)) return response.writeHead(404).end();
  response.writeHead(200, { "content-type": types[extname(path)] ?? "application/octet-stream" }).end(readFileSync(path));
});
await new Promise((ok) => server.listen(0, "127.0.0.1", ok));
const origin = `http://127.0.0.1:${server.address().port}`;

const browser = await puppeteer.launch({
  executablePath: "/usr/bin/chromium",
  headless: true,
  userDataDir: join(scratch, "profile"),
  args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking", "--disable-component-update", "--disable-sync"],
});

async function newPage() {
  const page = await browser.newPage();
  await page.setViewport({ width: 1400, height: 1000 });
  page.on("pageerror", (e) => expect(false, `no page error: ${e.message}`));
  page.on("dialog", (d) => d.accept());
  // Nothing leaves the machine but map tiles.
  page.on("request", (r) => {
    const url = r.url();
    if (!url.startsWith(origin) && !url.startsWith("blob:") && !url.startsWith("data:") && !url.startsWith("https://tile.openstreetmap.org/"))
      expect(false, `no request outside the page: ${url}`);
  });
  const cdp = await page.createCDPSession();
  await cdp.send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: downloads });
  await page.goto(`${origin}/`, { waitUntil: "load" });
  await page.evaluate(() => window.gef.ready);
  return page;
}

async function open(page, paths) {
  await page.$eval("#progress span", (e) => (e.textContent = ""));
  const input = await page.$("#pick");
  await input.uploadFile(...paths);
  await page.waitForFunction(() => typeof window.gefOpenTime === "number" && document.querySelector("#progress span").textContent.match(/\d+ ms/), { timeout: 60000 });
  return page.evaluate(() => window.gefOpenTime);
}

async function downloaded(page, buttonName, fileName) {
  const target = join(downloads, fileName);
  rmSync(target, { force: true });
  await page.click(`button[name="${buttonName}"], #${buttonName}`);
  for (let i = 0; i < 100 && !(existsSync(target) && statSync(target).size > 0); ++i) await new Promise((ok) => setTimeout(ok, 100));
  await new Promise((ok) => setTimeout(ok, 200));
  return existsSync(target) ? readFileSync(target) : null;
}

const page = await newPage();
await open(page, opened);
const rows = await page.$$eval("#table tbody tr", (trs) => trs.map((tr) => [...tr.cells].map((c) => c.textContent)));
expect(rows.length === opened.length, `the table has a row per file (${rows.length})`);
for (const broken of [notGef, empty]) {
  const row = rows.find((r) => r[0] === basename(broken));
  expect(row && /not read|niet gelezen/.test(row[7]) && row[7].length > 12, `${basename(broken)} has its row with the library's reason: ${row?.[7]}`);
}

for (const path of [cpt, bore, diss, notGef, ...fromCorpus]) {
  const name = basename(path);
  await page.evaluate((n) => window.gef.select(n), name);
  const shown = await page.$eval("#detail h3.findings-title", (h) => Number(h.textContent.match(/\((\d+)\)/)[1]));
  const expected = findingsOf(path);
  expect(shown === expected, `${name}: ${shown} findings, as geftool check --json gives (${expected})`);
  await page.screenshot({ path: join(shots, `${basename(path, ".gef")}.png`), fullPage: true });
}

// CPT: one point per scan on each panel; the CSV download is geftool dump's, byte for byte.
await page.evaluate((n) => window.gef.select(n), basename(cpt));
const csvNative = native(["dump", cpt]);
const scans = csvNative.trim().split(/\r?\n/).length - 1;
const points = await page.$eval('.chart svg g[aria-label="line"] path', (p) => (p.getAttribute("d").match(/[ML]/g) ?? []).length);
expect(points === scans, `the CPT chart holds one point per scan (${points} of ${scans})`);
const csv = await downloaded(page, "csv", "cpt_basic.csv");
expect(csv && csv.equals(Buffer.from(csvNative, "latin1")), "the CSV download equals geftool dump byte for byte");

// Boring: each layer drawn with its expanded text.
await page.evaluate((n) => window.gef.select(n), basename(bore));
const layers = native(["dump", bore]).trim().split(/\r?\n/).slice(1);
const titles = await page.$$eval(".layers title", (ts) => ts.map((t) => t.textContent));
// The last CSV field: quoted when it holds a comma.
const texts = layers.map((line) => line.match(/(?:"((?:[^"]|"")*)"|([^,]*))$/).slice(1).find((f) => f !== undefined).replace(/""/g, '"'));
expect(titles.length === layers.length && texts.every((t) => titles.includes(t)), `the boring shows its ${layers.length} layers with their expanded texts (${titles[0]})`);

// GeoJSON: RFC 7946 points; the RD origin lands on its WGS84 place.
const geo = JSON.parse((await downloaded(page, "geojson", "locations.geojson")) ?? "null");
const origin0 = geo?.features.find((f) => f.properties.file === "amersfoort.gef");
const [lon, lat] = origin0?.geometry.coordinates ?? [0, 0];
const metres = Math.hypot((lat - 52.15517) * 111320, (lon - 5.38721) * 111320 * Math.cos((52.15517 * Math.PI) / 180));
expect(geo?.type === "FeatureCollection" && metres < 1, `GeoJSON: RD 155000, 463000 lands ${metres.toFixed(2)} m from 52.15517 N, 5.38721 E`);
expect(!geo?.features.some((f) => f.properties.file === "notes.gef"), "GeoJSON leaves out files without coordinates");

// Dutch when asked.
await page.select("#language", "nl");
expect((await page.$eval("#drop", (e) => e.textContent)).startsWith("Sleep"), "the page speaks Dutch when switched");
await page.evaluate((n) => window.gef.select(n), basename(cpt));
await page.screenshot({ path: join(shots, "page-nl.png"), fullPage: true });
await page.select("#language", "en");
await page.evaluate((n) => window.gef.select(n), basename(cpt));
await page.screenshot({ path: join(shots, "page.png"), fullPage: false });
await page.screenshot({ path: join(shots, "page-full.png"), fullPage: true });

// The README's picture: the examples, a real CPT chosen.
const tidy = await newPage();
await tidy.setViewport({ width: 1300, height: 1250 });
await open(tidy, [cpt, bore, diss, join(examples, "cpt_raw_corrections.gef")]);
await tidy.evaluate((n) => window.gef.select(n), basename(cpt));
await tidy.screenshot({ path: join(shots, "readme.png") });

await browser.close();
server.close();
rmSync(scratch, { recursive: true, force: true });
console.log(`screenshots in ${shots}`);
console.log(failures ? `${failures} browser checks failed` : "all browser checks passed");
process.exit(failures ? 1 : 0);
