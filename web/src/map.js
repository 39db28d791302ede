// SPDX-License-Identifier: MIT
// A map of the opened files: tiles when the internet answers, the markers on plain ground when not.
import L from "leaflet";

let map = null;
let markers = null;

/** @param {HTMLElement} element @param {{lonlat: [number, number], name: string, type: string}[]} rows */
export function showMap(element, rows) {
  if (!map) {
    map = L.map(element, { attributionControl: true }).setView([52.1, 5.3], 7);
    L.tileLayer("https://tile.openstreetmap.org/{z}/{x}/{y}.png", {
      maxZoom: 19,
      attribution: "© OpenStreetMap",
    }).addTo(map);
    markers = L.layerGroup().addTo(map);
  }
  markers.clearLayers();
  const colours = { CPT: "#1f77b4", BORE: "#8c564b", DISS: "#2ca02c", other: "#7f7f7f" };
  for (const row of rows) {
    const [lon, lat] = row.lonlat;
    L.circleMarker([lat, lon], { radius: 6, color: colours[row.type] ?? "#7f7f7f", weight: 2, fillOpacity: 0.7 })
      .bindTooltip(`${row.name} (${row.type}${row.testId ? ", " + row.testId : ""})`)
      .addTo(markers);
  }
  if (rows.length) map.fitBounds(L.latLngBounds(rows.map((r) => [r.lonlat[1], r.lonlat[0]])).pad(0.2), { maxZoom: 15 });
}
