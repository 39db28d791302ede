// SPDX-License-Identifier: MIT
// The WebAssembly library must read every file exactly as the native one does: result, counts,
// error list and the bits of every value; and geftool dump, whose numbers go through the
// library's number texts, must print the same bytes in both.
// Usage: node compare.mjs MODULE NATIVE_PROGRAM NATIVE_GEFTOOL FILE...
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { Gef } from "../src/gef.js";

const [modulePath, nativeProgram, nativeGeftool, ...files] = process.argv.slice(2);
const gef = await Gef.create(createRequire(import.meta.url)(modulePath));
gef.setCodeTable(readFileSync(new URL("../../data/soil_codes.txt", import.meta.url)));

function describe(path, read) {
  const hex = [];
  const view = new DataView(read.data.buffer);
  for (let i = 0; i < read.data.length; ++i)
    hex.push(view.getBigUint64(i * 8, true).toString(16).padStart(16, "0"));
  const errors = Array.from(read.errors, (e) => ` ${e}`).join("");
  return `${path}\tresult ${read.result}\tscans ${read.scans}\tcolumns ${read.columns}\terrors${errors}\tdata${hex.map((h) => " " + h).join("")}`;
}

const expected = execFileSync(nativeProgram, files, { maxBuffer: 1 << 30, encoding: "utf8" })
  .split("\n")
  .filter((line) => line !== "");
let failures = 0;
files.forEach((path, i) => {
  const bytes = readFileSync(path);
  const scratch = gef.put(bytes, "compare.gef");
  const dump = Buffer.from(gef.geftool(["dump", scratch]).stdout);
  gef.remove(scratch);
  let nativeDump;
  try {
    nativeDump = execFileSync(nativeGeftool, ["dump", path], { maxBuffer: 1 << 30, stdio: ["ignore", "pipe", "ignore"] });
  } catch (e) {
    nativeDump = e.stdout;
  }
  if (!dump.equals(nativeDump)) {
    ++failures;
    console.log(`DIFFERS ${path}: geftool dump prints other bytes in WebAssembly`);
  }
  const got = describe(path, gef.read(bytes));
  if (got === expected[i]) return;
  ++failures;
  const [a, b] = [got.split("\t"), (expected[i] ?? "").split("\t")];
  const field = a.findIndex((part, k) => part !== b[k]);
  console.log(`DIFFERS ${path}: WebAssembly ${a[field]?.slice(0, 200)} / native ${b[field]?.slice(0, 200)}`);
});
console.log(`${files.length} files compared, natively and in WebAssembly: ${failures ? `${failures} differences` : "the same, bit for bit, and the same geftool dump bytes"}`);
process.exit(failures === 0 ? 0 : 1);
