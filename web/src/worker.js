// SPDX-License-Identifier: MIT
// Runs the library off the page's thread: each message brings one file's bytes and takes back
// what geftool makes of it (summary, findings, header, data table) or a file it writes.
import createGefModule from "gef-module";
import soilCodes from "soil-codes";
import { Gef } from "./gef.js";

const start = () =>
  Gef.create(createGefModule).then((gef) => {
    gef.setCodeTable(new TextEncoder().encode(soilCodes));
    return gef;
  });
let ready = start();

const text = (bytes) => new TextDecoder("latin1").decode(bytes);

function json(gef, args) {
  const run = gef.geftool(args);
  try {
    return { status: run.status, value: JSON.parse(text(run.stdout)), stderr: run.stderr };
  } catch {
    return { status: run.status, value: null, stderr: run.stderr || text(run.stdout) };
  }
}

/** Everything the page shows of one file. */
function open(gef, name, bytes) {
  const path = gef.put(bytes, name);
  try {
    const info = json(gef, ["info", "--json", path]);
    const check = json(gef, ["check", "--json", path]);
    const header = json(gef, ["header", "--json", path]);
    const dump = gef.geftool(["dump", path]);
    return { name, info, check, header, csv: text(dump.stdout), dumpStatus: dump.status, dumpErr: dump.stderr };
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
    reply = data.command ? write(gef, data.name, bytes, data.command) : open(gef, data.name, bytes);
  } catch (e) {
    // An aborted module (out of memory, say) is dead: the next file gets a fresh one.
    reply = { name: data.name, failed: String(e && e.message ? e.message : e) };
    ready = start();
  }
  self.postMessage({ id: data.id, ...reply });
};
