#!/usr/bin/python3
"""The page's codec in headless Chromium beside the native library in-process, and the page's
start from disk: web_bench.py SITE LIBVELLICOR [BATCHES]. Times BATCHES (10) batches of 10 runs
and prints the fastest batch's time per run, in milliseconds: on a shared machine the fastest is
the least disturbed by others, and a batch outlasts Chromium's 0.1 ms clock."""
import base64
import ctypes
import pathlib
import random
import sys
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

site, library = pathlib.Path(sys.argv[1]).resolve(), sys.argv[2]
batches = int(sys.argv[3]) if len(sys.argv) > 3 else 10
inputs = {
    'license text': pathlib.Path('/usr/share/common-licenses/GPL-3').read_bytes()[:32767],
    'ELF binary': pathlib.Path('/bin/ls').read_bytes()[:32767],
    'random bytes': random.Random(1).randbytes(32767),
    'one byte (the round trip alone)': b'x',
}

native = ctypes.CDLL(library)
native.vellicor_compressor_new.restype = ctypes.c_void_p
native.vellicor_compress.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_size_t, ctypes.c_int,
                                     ctypes.c_void_p, ctypes.c_size_t, ctypes.POINTER(ctypes.c_size_t)]
compressor = native.vellicor_compressor_new()
out = ctypes.create_string_buffer(4 * 32768)
written = ctypes.c_size_t()


def native_batch(data):
    """Milliseconds per run, over 10 runs."""
    start = time.perf_counter()
    for _ in range(10):
        native.vellicor_compress(compressor, data, len(data), 32767, out, len(out), ctypes.byref(written))
    return (time.perf_counter() - start) * 100


options = webdriver.ChromeOptions()
options.binary_location = '/usr/bin/chromium'
for argument in ('--headless=new', '--no-sandbox'):
    options.add_argument(argument)
driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
starts = []
for _ in range(10):
    driver.get((site / 'index.html').as_uri())
    starts.append(driver.execute_script(
        "return performance.getEntriesByType('navigation')[0].domContentLoadedEventEnd"))
print(f'page from disk, controls working (DOMContentLoaded handled): {min(starts):.0f} ms')

# The page's own worker script, timed from the page: each run posts the source and waits for
# the stream, as the page does. Browser and native batches alternate, so that both meet the
# same load.
driver.set_script_timeout(600)
first = driver.execute_async_script("""
const done = arguments[0];
const worker = new Worker(URL.createObjectURL(new Blob([vellicorCodecWorker])));
window.ask = (bytes) => new Promise((resolve) => {
  worker.onmessage = ({ data }) => resolve(data);
  worker.postMessage({ compressing: true, bytes, window: 32767 }, [bytes.buffer]);
});
const start = performance.now();
ask(new Uint8Array([1])).then(() => done(performance.now() - start));
""")
print(f'worker made and codec loaded, first compression answered: {first:.0f} ms')
batch_in_browser = """
const [text, done] = arguments;
const copies = Array.from({ length: 10 }, () => Uint8Array.from(atob(text), (c) => c.charCodeAt(0)));
(async () => {
  const start = performance.now();
  for (const bytes of copies) {
    await ask(bytes);
  }
  done((performance.now() - start) / 10);
})();
"""
print('| input | native in-process | Chromium, page worker | ratio |\n|---|---:|---:|---:|')
for name, data in inputs.items():
    text = base64.b64encode(data).decode()
    here, there = [], []
    for _ in range(batches + 1):  # the first warms the caches and the compressors' memory
        here.append(native_batch(data))
        there.append(driver.execute_async_script(batch_in_browser, text))
    here, there = min(here[1:]), min(there[1:])
    print(f'| {name} | {here:.2f} | {there:.2f} | {there / here:.2f} |')
driver.quit()
