// The Vellicor codec: compress a source of 1 to 32767 bytes into a .lzc stream, and restore it.

/** The statuses of vellicor.h; a VellicorError carries one of them. */
export declare const Status: Readonly<{
  OK: 0;
  EMPTY_INPUT: 1;
  SOURCE_TOO_LARGE: 2;
  INVALID_STREAM: 3;
  DESTINATION_TOO_SMALL: 4;
  OUT_OF_MEMORY: 5;
  BAD_ARGUMENT: 6;
  BUSY: 7;
}>;

/** A refusal of the codec: `status` says which, the message says it in English. */
export declare class VellicorError extends Error {
  readonly name: 'VellicorError';
  readonly status: number;
}

export interface CompressOptions {
  /** 1 (fastest) to 9 (smallest), as `lzc -1` ... `lzc -9`; 9 when no window is given either. */
  level?: 1 | 2 | 3 | 4 | 5 | 6 | 7 | 8 | 9;
  /** How far back a repeat may start, 1 to 32767, as `lzc -w`; takes precedence over level. */
  window?: number;
}

/**
 * The .lzc stream of `data`, byte for byte what lzc writes at the same level or window.
 * Rejects with a VellicorError: EMPTY_INPUT, SOURCE_TOO_LARGE (over 32767 bytes), BAD_ARGUMENT
 * (a level or window outside its range); with a TypeError when data is not a Uint8Array.
 */
export declare function compress(data: Uint8Array, options?: CompressOptions): Promise<Uint8Array>;

/**
 * The bytes that the .lzc stream `data` restores. Rejects with a VellicorError: EMPTY_INPUT,
 * INVALID_STREAM; with a TypeError when data is not a Uint8Array.
 */
export declare function decompress(data: Uint8Array): Promise<Uint8Array>;

/**
 * The size figure that lzc and the window report, in hundredths of a percent:
 * floor((streamSize + 1) / (sourceSize + 1) * 10000); 8333 is shown as 83.33%.
 */
export declare function compressionRatio(sourceSize: number, streamSize: number): Promise<number>;
