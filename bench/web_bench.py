#!/usr/bin/python3
"""The page's codec in headless Chromium beside the native library in-process, and the page's
start from disk: web_bench.py SITE LIBVELLICOR [RUNS]. Prints medians in milliseconds."""
import base64
import ctypes
import pathlib
import random
import statistics
import sys
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

site, library = pathlib.Path(sys.argv[1]).resolve(), sys.argv[2]
runs = int(sys.argv[3]) if len(sys.argv) > 3 else 30
inputs = {
    'license text': pathlib.Path('/usr/share/common-licenses/GPL-3').read_bytes()[:32767],
    'ELF binary': pathlib.Path('/bin/ls').read_bytes()[:32767],
    'random bytes': random.Random(1).randbytes(32767),
}

native = ctypes.CDLL(library)
native.vellicor_compressor_new.restype = ctypes.c_void_p
native.vellicor_compress.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_size_t, ctypes.c_int,
                                     ctypes.c_void_p, ctypes.c_size_t, ctypes.POINTER(ctypes.c_size_t)]
compressor = native.vellicor_compressor_new()
out = ctypes.create_string_buffer(4 * 32768)
written = ctypes.c_size_t()


def native_ms(data):
    times = []
    for _ in range(runs + 1):
        start = time.perf_counter()
        assert native.vellicor_compress(compressor, data, len(data), 32767, out, len(out), ctypes.byref(written)) == 0
        times.append((time.perf_counter() - start) * 1000)
    return statistics.median(times[1:])


options = webdriver.ChromeOptions()
options.binary_location = '/usr/bin/chromium'
for argument in ('--headless=new', '--no-sandbox'):
    options.add_argument(argument)
driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
starts = []
for _ in range(5):
    driver.get((site / 'index.html').as_uri())
    starts.append(driver.execute_script(
        "return performance.getEntriesByType('navigation')[0].domContentLoadedEventEnd"))
print(f'page from disk, controls working (DOMContentLoaded handled): {statistics.median(starts):.0f} ms')

# The page's own worker script, timed from the page: each run posts the source and waits for
# the stream, as the page does.
driver.set_script_timeout(600)
first, times = driver.execute_async_script("""
const [sources, runs, done] = arguments;
const worker = new Worker(URL.createObjectURL(new Blob([vellicorCodecWorker])));
const ask = (bytes) => new Promise((resolve) => {
  worker.onmessage = ({ data }) => resolve(data);
  worker.postMessage({ compressing: true, bytes, window: 32767 }, [bytes.buffer]);
});
const decode = (text) => Uint8Array.from(atob(text), (c) => c.charCodeAt(0));
(async () => {
  let start = performance.now();
  await ask(new Uint8Array([1]));
  const first = performance.now() - start;
  const times = {};
  for (const [name, text] of Object.entries(sources)) {
    times[name] = [];
    for (let run = 0; run <= runs; run++) {
      const bytes = decode(text);
      start = performance.now();
      await ask(bytes);
      times[name].push(performance.now() - start);
    }
  }
  done([first, times]);
})();
""", {name: base64.b64encode(data).decode() for name, data in inputs.items()}, runs)
driver.quit()
print(f'worker made and codec loaded, first compression answered: {first:.0f} ms')
print('| input | native in-process | Chromium, page worker | ratio |\n|---|---:|---:|---:|')
for name, data in inputs.items():
    there, here = statistics.median(times[name][1:]), native_ms(data)
    print(f'| {name} | {here:.2f} | {there:.2f} | {there / here:.2f} |')
