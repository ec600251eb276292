// The page's worker: the npm package's compress and decompress, defined above this text when the
// page is built, answering one request at a time.
self.onmessage = async ({ data: { compressing, bytes, window } }) => {
  try {
    const result = compressing ? await compress(bytes, { window }) : await decompress(bytes);
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
