// SPDX-License-Identifier: MIT
// The WebAssembly library must read every file exactly as the native one does: result, counts,
// error list and the bits of every value; and geftool dump, whose numbers go through the
// library's number texts, must print the same bytes in both.
// Usage: node compare.mjs MODULE NATIVE_PROGRAM NATIVE_GEFTOOL FILE...
// With --bench it prints the read times of both instead (not a test: nothing fails on time).
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { Gef } from "../src/gef.js";

const args = process.argv.slice(2);
const bench = args[0] === "--bench";
if (bench) args.shift();
const [modulePath, nativeProgram, nativeGeftool, ...files] = args;
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

function runNative(extra) {
  return execFileSync(nativeProgram, [...extra, ...files], { maxBuffer: 1 << 30, encoding: "utf8" })
    .split("\n")
    .filter((line) => line !== "");
}

if (bench) {
  const native = new Map(runNative(["--time"]).map((line) => line.split("\t")).map(([p, t]) => [p, Number(t)]));
  let nativeTotal = 0;
  let webTotal = 0;
  let worst = 0;
  for (const path of files) {
    const bytes = readFileSync(path);
    let best = Infinity;
    for (let round = 0; round < 5; ++round) {
      const path = gef.put(bytes);
      gef.m._init_gef();
      const name = gef.m._malloc(path.length + 1);
      gef.m.HEAPU8.set(new TextEncoder().encode(path + "\0"), name);
      const start = performance.now();
      gef.m._read_gef(name);
      best = Math.min(best, (performance.now() - start) * 1000);
      gef.m._free(name);
      gef.m._free_gef();
    }
    nativeTotal += native.get(path);
    webTotal += best;
    worst = Math.max(worst, best / Math.max(native.get(path), 1));
  }
  console.log(`read_gef over ${files.length} files, best of 5 each: native ${(nativeTotal / 1000).toFixed(1)} ms, ` +
    `WebAssembly ${(webTotal / 1000).toFixed(1)} ms, ratio ${(webTotal / nativeTotal).toFixed(2)} ` +
    `(worst single file ${worst.toFixed(2)})`);
  process.exit(0);
}

const expected = runNative([]);
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
