// SPDX-License-Identifier: MIT
// Charts of a file's data table (geftool dump's columns): CPT panels against depth, the boring's
// layer column and the dissipation test against time. Observable Plot draws SVG, which is what
// the SVG download needs and what the PNG download is rasterised from.
import * as Plot from "@observablehq/plot";

const PANEL = { width: 210, height: 620 };
const MAX_POINTS = 20000;
let thinned = "";

/** Main soil types of NEN 5104 by the code's first letter, with the usual map colours. */
const SOIL = {
  G: ["gravel", "#f4a460"],
  Z: ["sand", "#ffe87c"],
  L: ["loam", "#c8c864"],
  K: ["clay", "#7cb36b"],
  V: ["peat", "#8b5a2b"],
  S: ["silt", "#b8d8a0"],
};

/** The first column whose name (geftool dump's, unit appended) starts with one of `prefixes`. */
const first = (names, ...prefixes) => {
  for (const p of prefixes) {
    const found = names.find((n) => n === p || n.startsWith(p + "_"));
    if (found) return found;
  }
  return null;
};

/** The side-by-side panels sharing one depth axis (depth downward). */
function cptPanels(table, t, range) {
  const names = table.names;
  const depth = first(names, "depth", "penetration_length");
  if (!depth) return null;
  const panels = [
    first(names, "cone_resistance"),
    first(names, "sleeve_friction", "local_friction"),
    first(names, "friction_ratio"),
    first(names, "pore_pressure_u2", "pore_pressure_u1", "pore_pressure_u3"),
  ].filter(Boolean);
  if (!panels.length) return null;
  const all = table.rows.filter((r) => r[depth] != null && (!range || (r[depth] >= range[0] && r[depth] <= range[1])));
  // A browser draws some ten thousand points per line briskly; more are thinned, and the page says so.
  const step = Math.ceil(all.length / MAX_POINTS);
  const rows = step > 1 ? all.filter((_, i) => i % step === 0) : all;
  thinned = step > 1 ? t("thinned", step, all.length) : "";
  return panels.map((name) =>
    Plot.plot({
      ...PANEL,
      marginLeft: 50,
      grid: true,
      x: { label: name.replace(/_/g, " "), axis: "top" },
      y: { label: t("depth_axis"), reverse: true, domain: range ?? undefined },
      marks: [Plot.line(rows, { x: name, y: depth, stroke: "#1f4e79", defined: (r) => r[name] != null })],
    }),
  );
}

function borePanels(table, t) {
  const names = table.names;
  const numeric = names.filter((n) => table.rows.some((r) => typeof r[n] === "number"));
  const [top, bottom] = numeric;
  const description = first(names, "layer_description");
  const codeColumn = first(names, "column_text");
  if (!top || !bottom) return null;
  const layers = table.rows.map((r) => {
    const code = String(r[codeColumn] ?? "").replace(/^'/, "");
    const soil = SOIL[code[0]?.toUpperCase()] ?? ["other", "#cccccc"];
    return { top: r[top], bottom: r[bottom], code, text: String(r[description] ?? r[codeColumn] ?? ""), soil: soil[0], colour: soil[1] };
  });
  const column = Plot.plot({
    width: 520,
    height: 620,
    marginLeft: 50,
    x: { axis: null, domain: [0, 10] },
    y: { label: t("depth_axis"), reverse: true, grid: true },
    marks: [
      Plot.rect(layers, { x1: 0, x2: 2, y1: "top", y2: "bottom", fill: "colour", stroke: "#333", title: "text" }),
      Plot.text(layers, { x: 2.2, y: (d) => (d.top + d.bottom) / 2, text: "text", textAnchor: "start", lineWidth: 30, fontSize: 10 }),
    ],
  });
  column.classList.add("layers");
  return [column];
}

function dissipationPanels(table, t) {
  const names = table.names;
  const time = first(names, "time");
  const pressure = first(names, "pore_pressure_u2", "pore_pressure_u1", "pore_pressure_u3");
  if (!time || !pressure) return null;
  const rows = table.rows.filter((r) => r[time] != null && r[pressure] != null && r[time] >= 0);
  return ["linear", "sqrt"].map((type) =>
    Plot.plot({
      width: 420,
      height: 320,
      grid: true,
      marginLeft: 55,
      caption: t(type),
      x: { type, label: t("time_axis") },
      y: { label: pressure.replace(/_/g, " ") },
      marks: [Plot.line(rows, { x: time, y: pressure, stroke: "#2ca02c" })],
    }),
  );
}

/** The panels as one SVG document: side by side, as the page shows them. */
function combine(svgs) {
  const ns = "http://www.w3.org/2000/svg";
  const out = document.createElementNS(ns, "svg");
  let x = 0;
  let height = 0;
  for (const svg of svgs) {
    const s = svg.tagName.toLowerCase() === "svg" ? svg : svg.querySelector("svg");
    const copy = s.cloneNode(true);
    const w = Number(s.getAttribute("width"));
    const h = Number(s.getAttribute("height"));
    copy.setAttribute("x", String(x));
    x += w;
    height = Math.max(height, h);
    out.append(copy);
  }
  out.setAttribute("xmlns", ns);
  out.setAttribute("width", String(x));
  out.setAttribute("height", String(height));
  out.setAttribute("style", "background: white; font: 10px sans-serif");
  return new XMLSerializer().serializeToString(out);
}

function toPng(svgText) {
  return new Promise((resolve, reject) => {
    const image = new Image();
    const url = URL.createObjectURL(new Blob([svgText], { type: "image/svg+xml" }));
    image.onload = () => {
      const canvas = document.createElement("canvas");
      canvas.width = image.width * 2;
      canvas.height = image.height * 2;
      const context = canvas.getContext("2d");
      context.fillStyle = "white";
      context.fillRect(0, 0, canvas.width, canvas.height);
      context.scale(2, 2);
      context.drawImage(image, 0, 0);
      URL.revokeObjectURL(url);
      canvas.toBlob(resolve, "image/png");
    };
    image.onerror = reject;
    image.src = url;
  });
}

/**
 * The charts for one file, or null when its data fits none of them.
 * @returns {{node: HTMLElement, svg: () => string, png: () => Promise<Blob>} | null}
 */
export function chartsFor(type, table, facts, t) {
  const node = document.createElement("div");
  node.className = "charts";
  let panels = null;
  const draw = (range) => {
    thinned = "";
    panels = type === "BORE" ? borePanels(table, t) : type === "DISS" ? dissipationPanels(table, t) : cptPanels(table, t, range);
    if (!panels) return false;
    node.querySelectorAll(".chart, .thinned").forEach((e) => e.remove());
    if (thinned) node.append(Object.assign(document.createElement("p"), { className: "thinned", textContent: thinned }));
    for (const p of panels) {
      const wrap = document.createElement("div");
      wrap.className = "chart";
      wrap.append(p);
      node.append(wrap);
    }
    return true;
  };
  if (!draw(null)) return null;
  if (type !== "BORE" && type !== "DISS") node.prepend(zoomControls(table, draw));
  if (type === "BORE") node.append(legend(t));
  return { node, svg: () => combine(panels), png: () => toPng(combine(panels)) };
}

/** A depth range to zoom the CPT panels to. */
function zoomControls(table, draw) {
  const depth = first(table.names, "depth", "penetration_length");
  const values = table.rows.map((r) => r[depth]).filter((v) => v != null);
  const box = document.createElement("div");
  box.className = "zoom";
  const input = (value) => Object.assign(document.createElement("input"), { type: "number", step: "0.5", value, style: "width:5em" });
  const from = input(Math.floor(Math.min(...values)));
  const to = input(Math.ceil(Math.max(...values)));
  const apply = () => draw([Number(from.value), Number(to.value)]);
  from.onchange = apply;
  to.onchange = apply;
  box.append("zoom: ", from, " – ", to, " m");
  box.style.width = "100%";
  return box;
}

function legend(t) {
  const box = document.createElement("div");
  box.className = "legend";
  box.append(`${t("legend")}: `);
  for (const [letter, [name, colour]] of Object.entries(SOIL)) {
    const item = document.createElement("span");
    item.innerHTML = `<i style="background:${colour}"></i>${letter} ${name}`;
    box.append(item);
  }
  return box;
}
