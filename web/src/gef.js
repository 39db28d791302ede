// SPDX-License-Identifier: MIT
// Moves a file's bytes into the WebAssembly library and its results out: no GEF is parsed here.

const INPUT = "/input.gef";
const SCRATCH = "/work";

/**
 * Wraps one instance of the library module (the library plus geftool, built by scripts/web.sh).
 * Calls are synchronous; one document is current at a time, as in the C interface.
 */
export class Gef {
  /** @param {any} module the instance createGefModule resolved to */
  constructor(module) {
    this.m = module;
    this.out = [];
    this.err = [];
    this.m.FS.mkdirTree(SCRATCH);
    this.m.FS.mkdirTree("/share/libgef");
  }

  /**
   * Creates the module with stdout and stderr kept byte for byte (geftool's CSV is compared so).
   * @param {(options: object) => Promise<any>} factory createGefModule
   * @param {object} [options] extra module options (locateFile, wasmBinary, ...)
   */
  static async create(factory, options = {}) {
    /** @type {Gef} */
    let gef;
    const sink = (name) => (byte) => {
      if (byte !== null && gef) gef[name].push(byte);
    };
    const module = await factory({
      ...options,
      print: () => {},
      printErr: () => {},
      preRun: [(m) => m.FS.init(null, sink("out"), sink("err"))],
    });
    gef = new Gef(module);
    return gef;
  }

  /** Installs the soil code table geftool expands NEN 5104 codes with. @param {Uint8Array} bytes */
  setCodeTable(bytes) {
    this.m.FS.writeFile("/share/libgef/soil_codes.txt", bytes);
  }

  /**
   * Runs geftool on the in-memory file system.
   * @param {string[]} args
   * @returns {{status: number, stdout: Uint8Array, stderr: string}}
   */
  geftool(args) {
    this.out = [];
    this.err = [];
    let status;
    try {
      status = this.m.callMain(args);
    } catch (e) {
      if (e && typeof e.status === "number") status = e.status;
      else throw e;
    }
    // A stream left half-written by one run must not leak into the next.
    const stdout = Uint8Array.from(this.out);
    const stderr = new TextDecoder("latin1").decode(Uint8Array.from(this.err));
    return { status, stdout, stderr };
  }

  /**
   * Places a file's bytes where the library and geftool read them.
   * @param {Uint8Array} bytes
   * @param {string} [name] the file name geftool shows
   * @returns {string} the path
   */
  put(bytes, name) {
    const path = name ? `${SCRATCH}/${name.replace(/[\/\\]/g, "_")}` : INPUT;
    this.m.FS.writeFile(path, bytes);
    return path;
  }

  remove(path) {
    try {
      this.m.FS.unlink(path);
    } catch {
      // already gone
    }
  }

  /**
   * Reads a file with read_gef and copies out what the bit-for-bit test compares: the result,
   * the scan and column counts, every data value and the error list.
   * @param {Uint8Array} bytes
   */
  read(bytes) {
    const m = this.m;
    const path = this.put(bytes);
    m._init_gef();
    const name = m._malloc(path.length + 1);
    m.HEAPU8.set(new TextEncoder().encode(path + "\0"), name);
    const result = m._read_gef(name);
    m._free(name);
    this.remove(path);
    const scans = m._get_nr_scans();
    const columns = m._get_column_flag() ? m._get_column() : 0;
    const data = this.copy(8, (p, n) => Number(m._gef_copy_data(p, BigInt(n))), Float64Array);
    const errors = this.copy(20, (p, n) => m._gef_copy_errors(p, n), Int32Array);
    m._free_gef();
    return { result, scans, columns, data, errors };
  }

  /** Asks a gef_copy_* function for the size, then copies into a fresh typed array. */
  copy(itemBytes, call, Type) {
    const m = this.m;
    const count = call(0, 0);
    if (count <= 0) return new Type(0);
    const pointer = m._malloc(count * itemBytes);
    call(pointer, count);
    const bytes = m.HEAPU8.slice(pointer, pointer + count * itemBytes);
    m._free(pointer);
    return new Type(bytes.buffer);
  }
}
