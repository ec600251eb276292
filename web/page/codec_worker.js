// The page's worker: the npm package's compress and decompress, defined above this text when the
// page is built, answering one request at a time.
self.onmessage = async ({ data: { compressing, bytes, window } }) => {
  try {
    // The bar in whole percent: a message only when it moves.
    let percent = 0;
    const onProgress = (done, total) => {
      const now = Math.min(100, Math.floor((done * 100) / total));
      if (now !== percent) {
        percent = now;
        self.postMessage({ progress: now });
      }
    };
    const result = compressing
      ? await compress(bytes, { window, onProgress })
      : await decompress(bytes);
    const ratio = compressing ? await compressionRatio(bytes.length, result.length) : 0;
    self.postMessage({ statusName: 'OK', bytes: result, ratio }, [result.buffer]);
  } catch (error) {
    const statusName =
      Object.keys(Status).find((name) => Status[name] === error.status) ?? 'UNKNOWN';
    self.postMessage({ statusName, statusText: error.message });
  }
};

// The codec loads at once, so that the first request does not wait for it.
compressionRatio(1, 1);
