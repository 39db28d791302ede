// SPDX-License-Identifier: MIT
// Prints the read times of the WebAssembly and the native library over the same files (a
// benchmark: nothing fails on time).
// Usage: node read_times.mjs MODULE NATIVE_TIMES_PROGRAM FILE...
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { Gef } from "../src/gef.js";

const [modulePath, nativeProgram, ...files] = process.argv.slice(2);
const gef = await Gef.create(createRequire(import.meta.url)(modulePath));
const native = new Map(
  execFileSync(nativeProgram, files, { maxBuffer: 1 << 30, encoding: "utf8" })
    .split("\n")
    .filter((line) => line !== "")
    .map((line) => line.split("\t"))
    .map(([p, t]) => [p, Number(t)]),
);
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
