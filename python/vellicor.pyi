"""The Vellicor codec: .lzc streams of sources up to 32767 bytes."""

from typing import Optional

from _typeshed import ReadableBuffer as Buffer

OK: int
EMPTY_INPUT: int
SOURCE_TOO_LARGE: int
INVALID_STREAM: int
DESTINATION_TOO_SMALL: int
OUT_OF_MEMORY: int
BAD_ARGUMENT: int
BUSY: int
MAX_SOURCE_SIZE: int
MAX_WINDOW: int
__version__: str

class Error(ValueError):
    """A failure of the codec; `status` is its status and str() its words."""

    status: Optional[int]

def compress(data: Buffer, level: int = 9, *, window: Optional[int] = None) -> bytes:
    """Compresses `data` (1 to 32767 bytes) as lzc -1 ... -9 (`level`) or lzc -w (`window`)."""

def decompress(data: Buffer) -> bytes:
    """Restores the bytes of a .lzc stream."""

def window_for_level(level: int) -> int:
    """The search window of a level from 1 to 9; 0 for any other level."""

class Compressor:
    """Compresses a batch with one search memory; threads that share one take turns."""

    def __init__(self) -> None: ...
    def compress(self, data: Buffer, level: int = 9, *, window: Optional[int] = None) -> bytes:
        """As vellicor.compress(), with this object's search memory."""
