// The codec for JavaScript: vellicor.h's functions, compiled to WebAssembly
// (vellicor_wasm.mjs, made by scripts/web.sh), over Uint8Arrays. The C library decides every
// status; this module only moves bytes in and out of the WebAssembly memory.
import createVellicorModule from './vellicor_wasm.mjs';

// vellicor.h's statuses.
export const Status = Object.freeze({
  OK: 0,
  EMPTY_INPUT: 1,
  SOURCE_TOO_LARGE: 2,
  INVALID_STREAM: 3,
  DESTINATION_TOO_SMALL: 4,
  OUT_OF_MEMORY: 5,
  BAD_ARGUMENT: 6,
  BUSY: 7,
});

// vellicor.h's VELLICOR_MAX_SOURCE_SIZE and VELLICOR_MAX_STREAM_SIZE. An input one byte longer
// gets the status that any longer one would, so no more than that is copied into the module.
const MAX_SOURCE_SIZE = 32767;
const MAX_STREAM_SIZE = 131072;

export class VellicorError extends Error {
  constructor(status, message) {
    super(message);
    this.name = 'VellicorError';
    this.status = status;
  }
}

let loaded;

// The module and one compressor, made on first use and kept: the compressor's search memory is
// reused by every later call. Calls never overlap, JavaScript running one at a time.
function codec() {
  loaded ??= createVellicorModule().then((module) => {
    const compressor = module._vellicor_compressor_new();
    if (compressor === 0) {
      fail(module, Status.OUT_OF_MEMORY);
    }
    return { module, compressor };
  });
  return loaded;
}

function checkBytes(data, name) {
  if (!(data instanceof Uint8Array)) {
    throw new TypeError(`${name} must be a Uint8Array`);
  }
}

// An int for the C function: anything that is not one becomes 0, which it refuses.
function cInt(value) {
  return Number.isInteger(value) && value >= -0x80000000 && value <= 0x7fffffff ? value : 0;
}

// Runs `call(input, output, written)` on a copy of `data` in the module's memory and returns the
// output's first `written` bytes, or throws the status.
function run(module, data, capacity, call) {
  const input = module._malloc(Math.max(data.length, 1));
  // The output, then the size_t that receives its length, aligned.
  const room = (Math.max(capacity, 1) + 3) & ~3;
  const output = module._malloc(room + 4);
  try {
    if (input === 0 || output === 0) {
      return fail(module, Status.OUT_OF_MEMORY);
    }
    const written = output + room;
    module.HEAPU8.set(data, input);
    const status = call(input, output, written);
    if (status !== Status.OK) {
      return fail(module, status);
    }
    const size = module.HEAPU32[written >>> 2];
    return module.HEAPU8.slice(output, output + size);
  } finally {
    module._free(input);
    module._free(output);
  }
}

function fail(module, status) {
  throw new VellicorError(status, module.UTF8ToString(module._vellicor_status_text(status)));
}

export async function compress(data, options = {}) {
  checkBytes(data, 'data');
  const { module, compressor } = await codec();
  const window =
    options.window !== undefined
      ? cInt(options.window)
      : module._vellicor_window_for_level(options.level === undefined ? 9 : cInt(options.level));
  const source = data.subarray(0, MAX_SOURCE_SIZE + 1);
  const capacity = module._vellicor_compress_bound(source.length);
  return run(module, source, capacity, (input, output, written) =>
    module._vellicor_compress(compressor, input, source.length, window, output, capacity, written));
}

export async function decompress(data) {
  checkBytes(data, 'data');
  const { module } = await codec();
  const stream = data.subarray(0, MAX_STREAM_SIZE + 1);
  return run(module, stream, MAX_SOURCE_SIZE, (input, output, written) =>
    module._vellicor_decompress(input, stream.length, output, MAX_SOURCE_SIZE, written));
}

export async function compressionRatio(sourceSize, streamSize) {
  const { module } = await codec();
  return module._vellicor_compression_ratio(sourceSize, streamSize);
}
