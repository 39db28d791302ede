// SPDX-License-Identifier: MIT
// The page's own words in English and Dutch; the library's and geftool's texts stay as they are.

// Each key: [English, Dutch].
const TEXTS = {
  tagline: [
    "GEF files checked and shown by the library itself, compiled to WebAssembly. Nothing is uploaded.",
    "GEF-bestanden gecontroleerd en getoond door de bibliotheek zelf, gecompileerd naar WebAssembly. Er wordt niets geüpload.",
  ],
  open: ["Open files", "Bestanden openen"],
  folder: ["Open folder", "Map openen"],
  geojson: ["Locations as GeoJSON", "Locaties als GeoJSON"],
  drop: ["Drop GEF files or a folder here", "Sleep GEF-bestanden of een map hierheen"],
  filter: ["Filter (name, type, test id, …)", "Filter (naam, soort, test-id, …)"],
  file: ["File", "Bestand"],
  type: ["Type", "Soort"],
  test_id: ["Test id", "Test-id"],
  date: ["Date", "Datum"],
  depth: ["Final depth (m)", "Einddiepte (m)"],
  location: ["Location", "Locatie"],
  scans: ["Scans", "Scans"],
  worst: ["Worst finding", "Ernstigste melding"],
  reading: ["reading…", "bezig met lezen…"],
  unreadable: ["not read", "niet gelezen"],
  no_findings: ["none", "geen"],
  findings: ["Findings", "Meldingen"],
  header: ["Header", "Kop"],
  data: ["Data", "Gegevens"],
  downloads: ["Downloads", "Downloads"],
  csv: ["Data (CSV)", "Gegevens (CSV)"],
  json: ["Data (JSON)", "Gegevens (JSON)"],
  gef: ["Rewritten GEF", "Herschreven GEF"],
  dif: ["DIF export", "DIF-export"],
  svg: ["Chart (SVG)", "Grafiek (SVG)"],
  png: ["Chart (PNG)", "Grafiek (PNG)"],
  progress: [(done, all) => `${done} of ${all} files read`, (done, all) => `${done} van ${all} bestanden gelezen`],
  opened: [(n, ms) => `${n} files read in ${ms} ms`, (n, ms) => `${n} bestanden gelezen in ${ms} ms`],
  without_location: [
    (names) => `Left out for lack of usable coordinates: ${names}`,
    (names) => `Weggelaten wegens ontbrekende bruikbare coördinaten: ${names}`,
  ],
  linear: ["linear time", "lineaire tijd"],
  sqrt: ["square-root time", "wortel-tijd"],
  legend: ["Main soil type", "Hoofdgrondsoort"],
  depth_axis: ["depth (m)", "diepte (m)"],
  time_axis: ["time (s)", "tijd (s)"],
  thinned: [
    (step, all) => `The charts show every ${step}th of ${all} scans; the downloads hold them all.`,
    (step, all) => `De grafieken tonen elke ${step}e van ${all} scans; de downloads bevatten ze alle.`,
  ],
  no_data: ["No data block to show.", "Geen gegevensblok om te tonen."],
  identity: ["Identity", "Identificatie"],
  location_group: ["Location", "Locatie"],
  test: ["Test", "Proef"],
  columns: ["Columns", "Kolommen"],
  other: ["Other keywords", "Overige sleutelwoorden"],
  system: ["coordinate system", "coördinatenstelsel"],
  height: ["height system", "hoogtestelsel"],
};

const LANGUAGES = ["en", "nl"];
let language = (globalThis.navigator?.language || "en").toLowerCase().startsWith("nl") ? "nl" : "en";

export const getLanguage = () => language;
export const setLanguage = (value) => {
  language = LANGUAGES.includes(value) ? value : "en";
};

/** The current language's text for `key`; functions are called with `args`. */
export function t(key, ...args) {
  const value = TEXTS[key]?.[LANGUAGES.indexOf(language)] ?? key;
  return typeof value === "function" ? value(...args) : value;
}
