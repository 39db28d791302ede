// SPDX-License-Identifier: MIT
// Bundles the page: node build.mjs GEFTOOL_JS SOIL_CODES OUT_DIR. The worker (with the library
// inside) becomes a text in the page's one script, so the page also runs from a file:// address.
import * as esbuild from "esbuild";
import { copyFileSync, mkdirSync, readFileSync } from "node:fs";
import { dirname, join, resolve } from "node:path";
import { fileURLToPath } from "node:url";

const here = dirname(fileURLToPath(import.meta.url));
const [moduleJs, soilCodes, out] = process.argv.slice(2).map((p) => resolve(p));
mkdirSync(out, { recursive: true });

/** Resolves the page's two generated inputs: the library module and the soil code table. */
const generated = {
  name: "generated",
  setup(build) {
    build.onResolve({ filter: /^(gef-module|soil-codes)$/ }, (args) => ({
      path: args.path === "gef-module" ? moduleJs : soilCodes,
    }));
  },
};

const worker = await esbuild.build({
  entryPoints: [join(here, "src/worker.js")],
  bundle: true,
  minify: true,
  format: "iife",
  write: false,
  external: ["fs", "path", "crypto", "ws", "worker_threads"],
  loader: { ".txt": "text" },
  plugins: [generated],
  logLevel: "warning",
});

await esbuild.build({
  entryPoints: { app: join(here, "src/main.js") },
  bundle: true,
  minify: true,
  format: "iife",
  outdir: out,
  loader: { ".png": "dataurl" },
  define: { WORKER_SOURCE: JSON.stringify(worker.outputFiles[0].text) },
  logLevel: "warning",
});
copyFileSync(join(here, "index.html"), join(out, "index.html"));
console.log(`page written to ${out}`);
