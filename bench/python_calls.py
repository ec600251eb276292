"""The cost of a call from Python beside the same call in C (bench/library_call.c), and two
threads against one on a batch. Best of five rounds each.
  PYTHONPATH=BUILD/python /usr/bin/python3 bench/python_calls.py FILE"""

import sys
import time
import threading

import vellicor


def best_of_five(work, repeats=1):
    best = float("inf")
    for _ in range(5):
        start = time.perf_counter()
        for _ in range(repeats):
            work()
        best = min(best, (time.perf_counter() - start) / repeats)
    return best


source = open(sys.argv[1], "rb").read()[: vellicor.MAX_SOURCE_SIZE]
compressor = vellicor.Compressor()
for size, calls in ((1, 200000), (len(source), 300)):
    data = source[:size]
    for name, call in (("vellicor.compress", vellicor.compress),
                       ("Compressor.compress", compressor.compress)):
        each = best_of_five(lambda: call(data, window=32767), calls)
        print(f"Python {name}, {size} bytes: {each * 1e6:.2f} us a call")

# A batch of 640 sources, split evenly between the threads, each thread taking its share in
# turn (as a program batching its own work would; a pool handing out one source at a time adds
# a hand-over per 140 us call that costs as much as the second core gains).
batch = [source[start:] for start in range(0, 16000, 25)]


def compress_all(share):
    for item in share:
        vellicor.compress(item)


for threads in (1, 2):
    def run():
        workers = [threading.Thread(target=compress_all, args=(batch[first::threads],))
                   for first in range(threads)]
        for worker in workers:
            worker.start()
        for worker in workers:
            worker.join()
    print(f"{len(batch)} sources on {threads} thread(s): {best_of_five(run) * 1e3:.1f} ms")
