// The package over the WebAssembly codec: the format's worked vectors both ways, a whole-size
// round trip, levels as lzc's, and each refusal with its status.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import test from 'node:test';
import { compress, compressionRatio, decompress, Status, VellicorError } from '../vellicor.mjs';

const hex = (text) =>
  Uint8Array.from(text.trim().split(/\s+/).filter(Boolean), (byte) => parseInt(byte, 16));
// A VellicorError with a message, and with `status` when one is given.
const refusal = (status) => (error) =>
  error instanceof VellicorError &&
  error.message.length > 0 &&
  (status === undefined || error.status === status);

// docs/format.md's vectors, "window | source | stream": "-" only decodes, "refused" is refused.
const vectors = readFileSync(new URL('../../docs/format.md', import.meta.url), 'utf8')
  .split('```lzc-vectors\n')[1]
  .split('```')[0]
  .split('\n')
  .filter((line) => line && !line.startsWith('#'))
  .map((line) => line.split('|'));

test('the worked vectors compress and decode to their bytes', async () => {
  assert.ok(vectors.length >= 18);
  for (const [window, source, stream] of vectors) {
    if (source.includes('refused')) {
      await assert.rejects(decompress(hex(stream)), refusal(), stream);
      continue;
    }
    assert.deepEqual(await decompress(hex(stream)), hex(source), stream);
    if (!window.includes('-')) {
      const options = { window: Number(window) };
      assert.deepEqual(await compress(hex(source), options), hex(stream), source);
    }
  }
});

test('a largest source round-trips at every level, each level being its window', async () => {
  const source = Uint8Array.from({ length: 32767 }, (_, at) => (at * at) % 251 ^ (at >> 9));
  const windows = [1024, 2048, 4092, 8191, 8191, 16383, 16383, 32767, 32767];
  for (const [index, window] of windows.entries()) {
    const stream = await compress(source, { level: index + 1 });
    assert.deepEqual(stream, await compress(source, { window }));
    assert.deepEqual(await decompress(stream), source);
  }
  assert.deepEqual(await compress(source), await compress(source, { level: 9 }));
  assert.equal(await compressionRatio(17, 14), 8333);
});

test('refusals carry their status', async () => {
  const some = new Uint8Array(16);
  // Far more than the module's memory: refused for its size all the same.
  const huge = new Uint8Array(64 << 20);
  for (const [call, status] of [
    [() => compress(new Uint8Array(0)), Status.EMPTY_INPUT],
    [() => compress(new Uint8Array(32768)), Status.SOURCE_TOO_LARGE],
    [() => compress(huge), Status.SOURCE_TOO_LARGE],
    [() => compress(some, { window: 0 }), Status.BAD_ARGUMENT],
    [() => compress(some, { window: 32768 }), Status.BAD_ARGUMENT],
    [() => compress(some, { window: 2 ** 32 + 5 }), Status.BAD_ARGUMENT],
    [() => compress(some, { level: 10 }), Status.BAD_ARGUMENT],
    [() => compress(some, { level: 2.5 }), Status.BAD_ARGUMENT],
    [() => decompress(new Uint8Array(0)), Status.EMPTY_INPUT],
    [() => decompress(huge), Status.INVALID_STREAM],
  ]) {
    await assert.rejects(call(), refusal(status), String(call));
  }
  await assert.rejects(compress([1, 2, 3]), TypeError);
});
