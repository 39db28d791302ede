// SPDX-License-Identifier: MIT
// The page: opens files, sends their bytes to the library's workers and shows what comes back.
import "leaflet/dist/leaflet.css";
import "./style.css";
import { getLanguage, setLanguage, t } from "./i18n.js";
import { chartsFor } from "./charts.js";
import { toLonLat } from "./coordinates.js";
import { showMap } from "./map.js";

/* global WORKER_SOURCE */
const workerUrl = URL.createObjectURL(new Blob([WORKER_SOURCE], { type: "text/javascript" }));
const $ = (selector) => document.querySelector(selector);

/** Two workers, each with its own library instance: one per core of a small machine. */
class Pool {
  constructor(size) {
    this.pending = new Map();
    let started = 0;
    /** Resolves when every worker has its library loaded. */
    this.ready = new Promise((resolve) => (this.started = () => ++started === size && resolve()));
    this.workers = Array.from({ length: size }, () => this.spawn());
    this.next = 0;
    this.turn = 0;
  }

  spawn() {
    const worker = new Worker(workerUrl);
    worker.onmessage = ({ data }) => {
      if (data.ready) return this.started();
      const done = this.pending.get(data.id);
      this.pending.delete(data.id);
      done?.(data);
    };
    return worker;
  }

  /** Sends a copy of `bytes` (the page keeps its own for downloads). */
  run(message, bytes) {
    const id = ++this.next;
    const copy = bytes.slice().buffer;
    const worker = this.workers[this.turn++ % this.workers.length];
    return new Promise((resolve) => {
      this.pending.set(id, resolve);
      worker.postMessage({ ...message, id, bytes: copy }, [copy]);
    });
  }
}

const pool = new Pool(2);

/** @type {{id: number, name: string, bytes: Uint8Array, result?: any, row?: any}[]} */
const files = [];
let selected = null;
let sortKey = "name";
let sortUp = true;

const COLUMNS = [
  ["name", "file"],
  ["type", "type"],
  ["testId", "test_id"],
  ["date", "date"],
  ["depth", "depth", true],
  ["location", "location"],
  ["scans", "scans", true],
  ["worst", "worst"],
];

/** The value of a geftool --json run, or null when it printed none. */
function parseJson(run) {
  return run && run.value ? run.value : null;
}

/** One row of the file table from geftool's summary of the file. */
function rowOf(file) {
  const r = file.result;
  if (!r) return { name: file.name, type: "", testId: "", date: "", depth: null, location: "", scans: null, worst: t("reading") };
  const s = parseJson(r.summary)?.files?.[0] ?? {};
  const readable = s.scans != null || !s.problem;
  const problem = s.problem || r.failed || r.summary?.stderr;
  return {
    name: file.name,
    type: reportType(s.report_type, parseJson(r.info)?.columns),
    testId: s.test_id ?? "",
    date: s.date ?? "",
    // Shown to 12 significant digits, so a computed 0.20000000000000007 reads 0.2.
    depth: s.final_depth == null ? null : Number(s.final_depth.toPrecision(12)),
    location: s.x != null && s.y != null ? `${s.x}, ${s.y}` : "",
    scans: s.scans ?? null,
    worst: !readable || r.failed ? `${t("unreadable")}: ${problem ?? ""}`.trim() : s.worst_finding ?? t("no_findings"),
    severity: !readable || r.failed ? "error" : s.worst_finding ?? "ok",
    lonlat: toLonLat({ x: s.x, y: s.y, system_code: s.system_code }),
    ground: s.z ?? null,
  };
}

/** CPT, BORE, DISS or other, from the report code; a dissipation test may have none. */
function reportType(report, columns = []) {
  const text = String(report ?? "").toUpperCase();
  if (text.includes("DISS")) return "DISS";
  if (text.includes("CPT")) return "CPT";
  if (text.includes("BORE") || text.includes("BORING")) return "BORE";
  const names = columns.map((c) => c.standard_name ?? "");
  if (names.includes("time") && names.some((n) => n.startsWith("pore_pressure"))) return "DISS";
  return "other";
}

function renderTable() {
  const head = $("#table thead");
  head.innerHTML = "";
  const tr = head.insertRow();
  for (const [key, label] of COLUMNS) {
    const th = document.createElement("th");
    th.textContent = t(label) + (sortKey === key ? (sortUp ? " ▲" : " ▼") : "");
    th.onclick = () => {
      sortUp = sortKey === key ? !sortUp : true;
      sortKey = key;
      renderTable();
    };
    tr.append(th);
  }
  const filter = $("#filter").value.trim().toLowerCase();
  const rows = files
    .map((file) => ({ file, row: (file.row ??= rowOf(file)) }))
    .filter(({ row }) => !filter || COLUMNS.some(([key]) => String(row[key] ?? "").toLowerCase().includes(filter)));
  rows.sort((a, b) => {
    const x = a.row[sortKey] ?? "";
    const y = b.row[sortKey] ?? "";
    const order = typeof x === "number" && typeof y === "number" ? x - y : String(x).localeCompare(String(y));
    return sortUp ? order : -order;
  });
  const body = $("#table tbody");
  body.innerHTML = "";
  for (const { file, row } of rows) {
    const line = body.insertRow();
    line.dataset.name = file.name;
    if (file === selected) line.className = "selected";
    for (const [key, , numeric] of COLUMNS) {
      const cell = line.insertCell();
      cell.textContent = row[key] ?? "";
      if (numeric) cell.className = "num";
      if (key === "worst") cell.className = `severity-${row.severity ?? "none"}`;
    }
    line.onclick = () => select(file);
  }
}

async function openFiles(list) {
  const chosen = [...list].filter((f) => f.size >= 0);
  if (chosen.length === 0) return;
  const start = performance.now();
  const progress = $("#progress");
  progress.hidden = false;
  let done = 0;
  const tell = () => {
    progress.querySelector("progress").value = done / chosen.length;
    progress.querySelector("span").textContent = t("progress", done, chosen.length);
  };
  tell();
  const added = chosen.map((f) => {
    const file = { id: files.length, name: f.webkitRelativePath || f.name, bytes: null };
    files.push(file);
    return { file, source: f };
  });
  renderTable();
  await Promise.all(
    added.map(async ({ file, source }) => {
      file.bytes = new Uint8Array(await source.arrayBuffer());
      file.result = await pool.run({ name: file.name.split("/").pop(), command: "summary" }, file.bytes);
      file.row = null;
      ++done;
      tell();
    }),
  );
  const ms = Math.round(performance.now() - start);
  progress.querySelector("span").textContent = t("opened", chosen.length, ms);
  window.gefOpenTime = ms;
  renderTable();
  renderMap();
  if (!selected) select(files.find((f) => f.row?.scans) ?? files[0]);
}

function renderMap() {
  showMap($("#map"), files.map((f) => f.row).filter((r) => r && r.lonlat));
}

// ----- one file -----

/** Shows one file; its header and data table are asked for the first time it is shown. */
async function select(file) {
  selected = file;
  renderTable();
  if (file?.result && !file.detail && !file.result.failed) {
    file.detail = await pool.run({ name: file.name.split("/").pop(), command: "detail" }, file.bytes);
  }
  if (selected === file) renderDetail();
}

function element(tag, text, attributes = {}) {
  const e = document.createElement(tag);
  if (text != null) e.textContent = text;
  Object.assign(e, attributes);
  return e;
}

/** geftool dump's CSV (RFC 4180) as rows of cells. */
export function parseCsv(text) {
  const rows = [];
  let row = [];
  let cell = "";
  let quoted = false;
  for (let i = 0; i < text.length; ++i) {
    const c = text[i];
    if (quoted) {
      if (c === '"' && text[i + 1] === '"') cell += c, ++i;
      else if (c === '"') quoted = false;
      else cell += c;
    } else if (c === '"') quoted = true;
    else if (c === ",") row.push(cell), (cell = "");
    else if (c === "\n" || c === "\r") {
      if (c === "\r" && text[i + 1] === "\n") ++i;
      row.push(cell);
      rows.push(row);
      row = [];
      cell = "";
    } else cell += c;
  }
  if (cell !== "" || row.length) row.push(cell), rows.push(row);
  return rows;
}

/** The data table as named columns: numbers where geftool wrote numbers, null for empty cells. */
function tableOf(csv) {
  const [names = [], ...rows] = parseCsv(csv);
  return {
    names,
    rows: rows.map((cells) =>
      Object.fromEntries(names.map((n, i) => [n, cells[i] === "" ? null : isNaN(Number(cells[i])) ? cells[i] : Number(cells[i])])),
    ),
  };
}

function download(name, bytes, type) {
  const url = URL.createObjectURL(new Blob([bytes], { type }));
  const a = element("a", null, { href: url, download: name });
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 10000);
}

const stem = (name) => name.split("/").pop().replace(/\.[^.]*$/, "");

function renderFindings(parent, check) {
  parent.append(element("h3", `${t("findings")} (${(check?.findings ?? []).length})`, { className: "findings-title" }));
  if (check?.problem) parent.append(element("p", check.problem, { className: "failed" }));
  const list = element("ul", null, { className: "findings" });
  for (const f of check?.findings ?? []) {
    const times = f.count > 1 ? ` (×${f.count})` : "";
    list.append(element("li", `${f.class_name} ${f.code}: ${f.text}${times}`, { className: `severity-${f.class_name}` }));
  }
  parent.append(list);
}

/** Which group of the header a keyword is shown in. */
const GROUPS = {
  identity: ["GEFID", "FILEOWNER", "FILEDATE", "PROJECTID", "PROJECTNAME", "COMPANYID", "TESTID", "REPORTCODE", "PROCEDURECODE", "MEASUREMENTCODE", "STARTDATE", "STARTTIME", "OS"],
  location: ["XYID", "ZID"],
  columns: ["COLUMN", "COLUMNINFO", "COLUMNVOID", "COLUMNMINMAX", "COLUMNSEPARATOR", "RECORDSEPARATOR", "COLUMNTEXT", "DATATYPE", "DATAFORMAT", "LASTSCAN", "FIRSTSCAN"],
  test: ["MEASUREMENTTEXT", "MEASUREMENTVAR", "SPECIMENTEXT", "SPECIMENVAR"],
};

function renderHeader(parent, header, facts) {
  parent.append(element("h3", t("header")));
  const box = element("div", null, { className: "groups" });
  const sections = { identity: [], location: [], test: [], columns: [], other: [] };
  for (const k of header?.keywords ?? []) {
    const group = Object.keys(GROUPS).find((g) => GROUPS[g].includes(k.keyword)) ?? "other";
    const label = k.number != null ? `${k.keyword} ${k.number}` : k.keyword;
    const meaning = k.meaning ? ` (${k.meaning})` : "";
    sections[group].push([label, k.fields.join(", ") + meaning]);
  }
  const loc = facts.location ?? {};
  if (loc.system) sections.location.push([t("system"), loc.system]);
  if (facts.surface?.height_system) sections.location.push([t("height"), facts.surface.height_system]);
  for (const [group, pairs] of Object.entries(sections)) {
    if (!pairs.length) continue;
    const section = element("section");
    section.append(element("h4", t(group === "location" ? "location_group" : group)));
    const dl = element("dl");
    for (const [k, v] of pairs) dl.append(element("dt", k), element("dd", v));
    section.append(dl);
    box.append(section);
  }
  parent.append(box);
}

async function writeWith(file, command, extension, type) {
  const reply = await pool.run({ name: file.name.split("/").pop(), command }, file.bytes);
  if (reply.bytes) download(`${stem(file.name)}.${extension}`, reply.bytes, type);
  else alert(reply.stderr || `geftool ${command} wrote nothing`);
}

function renderDetail() {
  const box = $("#detail");
  box.innerHTML = "";
  const file = selected;
  if (!file || !file.result) return;
  const r = file.result;
  box.append(element("h2", file.name));
  if (r.failed) box.append(element("p", r.failed, { className: "failed" }));
  const d = file.detail ?? {};
  const facts = parseJson(d.info) ?? {};
  const table = tableOf(d.csv || "");

  const downloads = element("div", null, { className: "downloads" });
  downloads.append(element("h3", t("downloads")));
  const button = (label, action) => downloads.append(element("button", t(label), { onclick: action, name: label }));
  if (table.names.length) {
    button("csv", () => download(`${stem(file.name)}.csv`, d.csv, "text/csv"));
    button("json", () => download(`${stem(file.name)}.json`, JSON.stringify(table.rows, null, 1), "application/json"));
  }
  button("gef", () => writeWith(file, "convert", "gef", "text/plain"));
  button("dif", () => writeWith(file, "dif", "dif", "text/plain"));
  box.append(downloads);

  renderFindings(box, parseJson(d.check)?.files?.[0]);
  box.append(element("h3", t("data")));
  const charts = chartsFor(file.row?.type, table, facts, t);
  if (!charts) box.append(element("p", t("no_data")));
  else {
    box.append(charts.node);
    const svgButton = element("button", t("svg"), { name: "svg", onclick: () => download(`${stem(file.name)}.svg`, charts.svg(), "image/svg+xml") });
    const pngButton = element("button", t("png"), { name: "png", onclick: async () => download(`${stem(file.name)}.png`, await charts.png(), "image/png") });
    downloads.append(svgButton, pngButton);
  }
  renderHeader(box, parseJson(d.header), facts);
}

// ----- GeoJSON of every opened file -----

export function geojson() {
  const features = [];
  const left = [];
  for (const file of files) {
    const row = file.row;
    if (!row || !row.lonlat) {
      left.push(file.name);
      continue;
    }
    features.push({
      type: "Feature",
      geometry: { type: "Point", coordinates: row.lonlat.map((v) => Math.round(v * 1e7) / 1e7) },
      properties: { file: file.name, test_id: row.testId || null, type: row.type, date: row.date || null, depth: row.depth, ground_level: row.ground },
    });
  }
  return { collection: { type: "FeatureCollection", features }, left };
}

// ----- wiring -----

function translate() {
  document.documentElement.lang = getLanguage();
  for (const e of document.querySelectorAll("[data-t]")) e.textContent = t(e.dataset.t);
  $("#filter").placeholder = t("filter");
  $("#language").value = getLanguage();
  renderTable();
  renderDetail();
}

$("#language").onchange = (e) => {
  setLanguage(e.target.value);
  for (const f of files) f.row = null;
  translate();
};
$("#filter").oninput = renderTable;
$("#pick").onchange = (e) => openFiles(e.target.files);
$("#pick-folder").onchange = (e) => openFiles([...e.target.files].filter((f) => /\.gef$/i.test(f.name)));
$("#geojson").onclick = () => {
  const { collection, left } = geojson();
  if (left.length) alert(t("without_location", left.join(", ")));
  download("locations.geojson", JSON.stringify(collection, null, 1), "application/geo+json");
};
const drop = $("#drop");
drop.ondragover = (e) => {
  e.preventDefault();
  drop.classList.add("over");
};
drop.ondragleave = () => drop.classList.remove("over");
drop.ondrop = async (e) => {
  e.preventDefault();
  drop.classList.remove("over");
  openFiles(await droppedFiles(e.dataTransfer));
};

/** The files of a drop, folders walked through. */
async function droppedFiles(transfer) {
  const entries = [...transfer.items].map((i) => i.webkitGetAsEntry?.()).filter(Boolean);
  if (!entries.length) return [...transfer.files];
  const out = [];
  const walk = async (entry) => {
    if (entry.isFile) out.push(await new Promise((ok, fail) => entry.file(ok, fail)));
    else {
      const reader = entry.createReader();
      for (let batch; (batch = await new Promise((ok, fail) => reader.readEntries(ok, fail))).length; )
        for (const child of batch) if (child.isDirectory || /\.gef$/i.test(child.name)) await walk(child);
    }
  };
  for (const entry of entries) await walk(entry);
  return out;
}

// The browser test drives the page through these.
window.gef = { ready: pool.ready, openFiles, geojson, files, select: (name) => select(files.find((f) => f.name === name)) };
translate();
