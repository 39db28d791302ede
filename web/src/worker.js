// SPDX-License-Identifier: MIT
// Runs the library off the page's thread: each message brings one file's bytes and takes back
// what geftool makes of it (summary and findings, or header and data table) or a file it writes.
import createGefModule from "gef-module";
import soilCodes from "soil-codes";
import { Gef } from "./gef.js";

const start = () =>
  Gef.create(createGefModule).then((gef) => {
    gef.setCodeTable(new TextEncoder().encode(soilCodes));
    return gef;
  });
let ready = start();
ready.then(() => self.postMessage({ ready: true }));

const text = (bytes) => new TextDecoder("latin1").decode(bytes);

function json(gef, args) {
  const run = gef.geftool(args);
  try {
    return { status: run.status, value: JSON.parse(text(run.stdout)), stderr: run.stderr };
  } catch {
    return { status: run.status, value: null, stderr: run.stderr || text(run.stdout) };
  }
}

/** What the file table shows of one file: its geftool summary row (and, for a file without a
 * report code, geftool info's columns, which tell a dissipation test). */
function summary(gef, name, bytes) {
  const path = gef.put(bytes, name);
  try {
    const row = json(gef, ["summary", "--json", path]);
    const read = row.value?.files?.[0];
    const info = read && !read.report_type && read.scans ? json(gef, ["info", "--json", path]) : null;
    return { name, summary: row, info };
  } finally {
    gef.remove(path);
  }
}

/** What the page shows of the file chosen: findings, header and data table. */
function detail(gef, name, bytes) {
  const path = gef.put(bytes, name);
  try {
    const dump = gef.geftool(["dump", path]);
    return {
      check: json(gef, ["check", "--json", path]),
      info: json(gef, ["info", "--json", path]),
      header: json(gef, ["header", "--json", path]),
      csv: text(dump.stdout),
      dumpStatus: dump.status,
    };
  } finally {
    gef.remove(path);
  }
}

/** A file geftool writes: the normalised GEF (convert) or the DIF export. */
function write(gef, name, bytes, command) {
  const path = gef.put(bytes, name);
  const output = `${path}.out`;
  try {
    const run = gef.geftool([command, path, output]);
    let result = null;
    try {
      result = gef.m.FS.readFile(output);
    } catch {
      // nothing written: stderr says why
    }
    return { status: run.status, bytes: result, stderr: run.stderr };
  } finally {
    gef.remove(path);
    gef.remove(output);
  }
}

self.onmessage = async ({ data }) => {
  const gef = await ready;
  const bytes = new Uint8Array(data.bytes);
  let reply;
  try {
    if (data.command === "summary") reply = summary(gef, data.name, bytes);
    else if (data.command === "detail") reply = detail(gef, data.name, bytes);
    else reply = write(gef, data.name, bytes, data.command);
  } catch (e) {
    // An aborted module (out of memory, say) is dead: the next file gets a fresh one.
    reply = { name: data.name, failed: String(e && e.message ? e.message : e) };
    ready = start();
  }
  self.postMessage({ id: data.id, ...reply });
};
