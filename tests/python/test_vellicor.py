"""The Python module against lzc, its own contract, its stubs and the README's example."""

import array
import ast
import os
import re
import subprocess
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

import pytest
import vellicor

LZC = os.environ["LZC"]
SOURCE_DIR = Path(os.environ["VELLICOR_SOURCE_DIR"])
# A text whose paragraphs recur a document apart, at the largest size a source may have.
TEXT = ((SOURCE_DIR / "docs" / "format.md").read_bytes() * 3)[: vellicor.MAX_SOURCE_SIZE]


def lzc_compress(data, *options):
    return subprocess.run([LZC, "-c", *options], input=data, stdout=subprocess.PIPE,
                          check=True).stdout


@pytest.mark.parametrize("call, options", [
    *[({"level": level}, [f"-{level}"]) for level in range(1, 10)],
    *[({"window": window}, ["-w", str(window)]) for window in (1, 100, 4092, 32767)],
    ({"level": 1, "window": 32767}, ["-w", "32767"]),
])
def test_gives_lzcs_bytes(call, options):
    stream = vellicor.compress(TEXT, **call)
    assert stream == lzc_compress(TEXT, *options)
    assert vellicor.Compressor().compress(TEXT, **call) == stream
    assert vellicor.decompress(stream) == TEXT


@pytest.mark.parametrize("make", [bytes, bytearray, memoryview, lambda b: array.array("B", b),
                                  lambda b: memoryview(b"--" + b)[2:]])
def test_takes_any_buffer(make):
    assert vellicor.compress(make(b"abcabcabc")) == vellicor.compress(b"abcabcabc")
    stream = vellicor.compress(b"abcabcabc")
    assert vellicor.decompress(make(stream)) == b"abcabcabc"


@pytest.mark.parametrize("call, status", [
    (lambda: vellicor.compress(b""), vellicor.EMPTY_INPUT),
    (lambda: vellicor.compress(b"x" * 32768), vellicor.SOURCE_TOO_LARGE),
    (lambda: vellicor.compress(b"x", 0), vellicor.BAD_ARGUMENT),
    (lambda: vellicor.compress(b"x", 10), vellicor.BAD_ARGUMENT),
    (lambda: vellicor.compress(b"x", window=32768), vellicor.BAD_ARGUMENT),
    (lambda: vellicor.Compressor().compress(b"x", window=0), vellicor.BAD_ARGUMENT),
    (lambda: vellicor.decompress(b""), vellicor.EMPTY_INPUT),
    (lambda: vellicor.decompress(b"\x00\x00\x00\x04"), vellicor.INVALID_STREAM),
    (lambda: vellicor.decompress(b"\x80\x05ab"), vellicor.INVALID_STREAM),
])
def test_failures_raise_error_with_status(call, status):
    with pytest.raises(vellicor.Error) as raised:
        call()
    assert isinstance(raised.value, ValueError)
    assert raised.value.status == status
    assert str(raised.value)


@pytest.mark.parametrize("data, error", [
    ("text", TypeError),
    (memoryview(b"abcdef")[::2], BufferError),
])
def test_refuses_what_is_not_bytes(data, error):
    with pytest.raises(error):
        vellicor.compress(data)


def test_threads_share_a_compressor_and_each_have_one():
    sources = [TEXT[start:] for start in range(0, 8000, 500)]
    expected = [vellicor.compress(source) for source in sources]
    shared = vellicor.Compressor()
    with ThreadPoolExecutor(4) as pool:
        assert list(pool.map(vellicor.compress, sources)) == expected
        assert list(pool.map(shared.compress, sources)) == expected


def test_stubs_name_what_the_module_has():
    stubs = ast.parse((SOURCE_DIR / "python" / "vellicor.pyi").read_text())
    named = {node.name for node in stubs.body if hasattr(node, "name")}
    named |= {node.target.id for node in stubs.body if isinstance(node, ast.AnnAssign)}
    named.discard("__version__")
    assert named == {name for name in dir(vellicor) if not name.startswith("_")}
    assert all(getattr(vellicor, name).__doc__ for name in ("compress", "decompress",
                                                           "Compressor", "Error"))


def test_readme_example_runs():
    readme = (SOURCE_DIR / "README.md").read_text()
    section = readme[readme.index("## Using the library"):]
    exec(re.search(r"```python\n(.*?)```", section, re.S).group(1), {})
