// SPDX-License-Identifier: MIT
// Map coordinates of a file (XYID) as WGS84 longitude and latitude, for the map and GeoJSON.
// Only the systems named here are converted; a file in another leaves the map and says so.
import proj4 from "proj4";

// XYID system codes (the country's telephone code, then a number) and their definitions.
const SYSTEMS = {
  // RD New with the seven-parameter datum shift to WGS84 (about a metre in the Netherlands).
  31000: "+proj=sterea +lat_0=52.15616055555555 +lon_0=5.38763888888889 +k=0.9999079 +x_0=155000 +y_0=463000 +ellps=bessel +towgs84=565.417,50.3319,465.552,-0.398957,0.343988,-1.8774,4.0725 +units=m +no_defs",
  // Belgian Lambert 72.
  32000: "+proj=lcc +lat_0=90 +lon_0=4.36748666666667 +lat_1=51.1666672333333 +lat_2=49.8333339 +x_0=150000.013 +y_0=5400088.438 +ellps=intl +towgs84=-106.8686,52.2978,-103.7239,0.3366,-0.457,1.8422,-1.2747 +units=m +no_defs",
};

/**
 * @param {{x?: number, y?: number, system_code?: number}} location geftool's location facts
 * @returns {[number, number] | null} [longitude, latitude], or null when not usable
 */
export function toLonLat(location) {
  const { x, y } = location ?? {};
  const code = location?.system_code;
  if (!Number.isFinite(x) || !Number.isFinite(y) || (x === 0 && y === 0)) return null;
  const system = SYSTEMS[code];
  if (!system) return null;
  const [lon, lat] = proj4(system, "WGS84", [x, y]);
  return Number.isFinite(lon) && Number.isFinite(lat) && Math.abs(lat) <= 90 ? [lon, lat] : null;
}
