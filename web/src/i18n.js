// SPDX-License-Identifier: MIT
// The page's own words in English and Dutch; the library's and geftool's texts stay as they are.

const TEXTS = {
  en: {
    tagline: "GEF files checked and shown by the library itself, compiled to WebAssembly. Nothing is uploaded.",
    open: "Open files", folder: "Open folder", geojson: "Locations as GeoJSON",
    drop: "Drop GEF files or a folder here",
    filter: "Filter (name, type, test id, …)",
    file: "File", type: "Type", test_id: "Test id", date: "Date", depth: "Final depth (m)",
    location: "Location", scans: "Scans", worst: "Worst finding",
    reading: "reading…", unreadable: "not read", no_findings: "none",
    findings: "Findings", header: "Header", data: "Data", downloads: "Downloads",
    csv: "Data (CSV)", json: "Data (JSON)", gef: "Rewritten GEF", dif: "DIF export",
    svg: "Chart (SVG)", png: "Chart (PNG)",
    progress: (done, all) => `${done} of ${all} files read`,
    opened: (n, ms) => `${n} files read in ${ms} ms`,
    without_location: (names) => `Left out for lack of usable coordinates: ${names}`,
    linear: "linear time", sqrt: "square-root time", legend: "Main soil type",
    depth_axis: "depth (m)", time_axis: "time (s)", no_data: "No data block to show.",
    groups: { identity: "Identity", location: "Location", test: "Test", columns: "Columns", other: "Other keywords", system: "coordinate system", height: "height system" },
  },
  nl: {
    tagline: "GEF-bestanden gecontroleerd en getoond door de bibliotheek zelf, gecompileerd naar WebAssembly. Er wordt niets geüpload.",
    open: "Bestanden openen", folder: "Map openen", geojson: "Locaties als GeoJSON",
    drop: "Sleep GEF-bestanden of een map hierheen",
    filter: "Filter (naam, soort, test-id, …)",
    file: "Bestand", type: "Soort", test_id: "Test-id", date: "Datum", depth: "Einddiepte (m)",
    location: "Locatie", scans: "Scans", worst: "Ernstigste melding",
    reading: "bezig met lezen…", unreadable: "niet gelezen", no_findings: "geen",
    findings: "Meldingen", header: "Kop", data: "Gegevens", downloads: "Downloads",
    csv: "Gegevens (CSV)", json: "Gegevens (JSON)", gef: "Herschreven GEF", dif: "DIF-export",
    svg: "Grafiek (SVG)", png: "Grafiek (PNG)",
    progress: (done, all) => `${done} van ${all} bestanden gelezen`,
    opened: (n, ms) => `${n} bestanden gelezen in ${ms} ms`,
    without_location: (names) => `Weggelaten wegens ontbrekende bruikbare coördinaten: ${names}`,
    linear: "lineaire tijd", sqrt: "wortel-tijd", legend: "Hoofdgrondsoort",
    depth_axis: "diepte (m)", time_axis: "tijd (s)", no_data: "Geen gegevensblok om te tonen.",
    groups: { identity: "Identificatie", location: "Locatie", test: "Proef", columns: "Kolommen", other: "Overige sleutelwoorden", system: "coördinatenstelsel", height: "hoogtestelsel" },
  },
};

let language = (globalThis.navigator?.language || "en").toLowerCase().startsWith("nl") ? "nl" : "en";

export const getLanguage = () => language;
export const setLanguage = (value) => {
  language = TEXTS[value] ? value : "en";
};

/** The current language's text for `key`; functions are called with `args`. */
export function t(key, ...args) {
  const value = TEXTS[language][key] ?? TEXTS.en[key] ?? key;
  return typeof value === "function" ? value(...args) : value;
}
