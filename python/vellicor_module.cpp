// The Python module `vellicor`, over the C interface. Inputs are any object with the buffer
// protocol, read where they lie; the codec runs with the GIL released, so threads compress in
// parallel. A failure raises vellicor.Error, a ValueError that carries the status.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "vellicor.h"

namespace py = pybind11;

namespace {

// vellicor.Error, made when the module is imported.
PyObject* errorType = nullptr;

[[noreturn]] void raise(int status) {
    py::object error =
        py::reinterpret_borrow<py::object>(errorType)(py::str(vellicor_status_text(status)));
    error.attr("status") = status;
    PyErr_SetObject(errorType, error.ptr());
    throw py::error_already_set();
}

// An input's bytes, held (and so kept in place and at its size) for the object's life. A buffer
// that is not contiguous is refused by Python with BufferError.
class InputBytes {
public:
    explicit InputBytes(const py::object& data) {
        if (PyObject_GetBuffer(data.ptr(), &view_, PyBUF_SIMPLE) != 0) {
            throw py::error_already_set();
        }
    }
    ~InputBytes() { PyBuffer_Release(&view_); }
    InputBytes(const InputBytes&) = delete;
    InputBytes& operator=(const InputBytes&) = delete;

    const void* data() const { return view_.buf; }
    std::size_t size() const { return static_cast<std::size_t>(view_.len); }

private:
    Py_buffer view_{};
};

py::bytes toBytes(const std::vector<unsigned char>& data, std::size_t size) {
    return {reinterpret_cast<const char*>(data.data()), size};
}

// The window that `level` and `window` choose, as lzc's -1 ... -9 and -w do; -w wins.
int chosenWindow(int level, const std::optional<int>& window) {
    if (window) {
        return *window;  // vellicor_compress() refuses one outside 1 ... 32767
    }
    const int levelWindow = vellicor_window_for_level(level);
    if (levelWindow == 0) {
        raise(VELLICOR_BAD_ARGUMENT);
    }
    return levelWindow;
}

using CompressorPointer = std::unique_ptr<vellicor_compressor, void (*)(vellicor_compressor*)>;

CompressorPointer newCompressor() {
    CompressorPointer compressor(vellicor_compressor_new(), vellicor_compressor_free);
    if (!compressor) {
        throw std::bad_alloc();  // pybind11 raises MemoryError
    }
    return compressor;
}

// Compresses with `compressor`, which `lock` (when given) keeps to one thread at a time.
py::bytes compressWith(vellicor_compressor* compressor, std::mutex* lock, const py::object& data,
                       int level, const std::optional<int>& window) {
    const int searchWindow = chosenWindow(level, window);
    const InputBytes input(data);
    std::vector<unsigned char> stream(vellicor_compress_bound(input.size()));
    std::size_t written = 0;
    int status = VELLICOR_OK;
    {
        const py::gil_scoped_release unlocked;
        std::unique_lock<std::mutex> turn;
        if (lock != nullptr) {
            turn = std::unique_lock(*lock);
        }
        status = vellicor_compress(compressor, input.data(), input.size(), searchWindow,
                                   stream.data(), stream.size(), &written);
    }
    if (status != VELLICOR_OK) {
        raise(status);
    }
    return toBytes(stream, written);
}

// vellicor.compress(): each thread keeps a compressor of its own, so a call allocates no search
// memory after the thread's first.
py::bytes compress(const py::object& data, int level, const std::optional<int>& window) {
    thread_local const CompressorPointer compressor = newCompressor();
    return compressWith(compressor.get(), nullptr, data, level, window);
}

// vellicor.Compressor: one compressor for the object's calls; threads that share the object
// take turns.
class Compressor {
public:
    py::bytes compress(const py::object& data, int level, const std::optional<int>& window) {
        return compressWith(compressor_.get(), &lock_, data, level, window);
    }

private:
    CompressorPointer compressor_ = newCompressor();
    std::mutex lock_;
};

py::bytes decompress(const py::object& data) {
    const InputBytes input(data);
    std::vector<unsigned char> restored(VELLICOR_MAX_SOURCE_SIZE);
    std::size_t written = 0;
    int status = VELLICOR_OK;
    {
        const py::gil_scoped_release unlocked;
        status = vellicor_decompress(input.data(), input.size(), restored.data(), restored.size(),
                                     &written);
    }
    if (status != VELLICOR_OK) {
        raise(status);
    }
    return toBytes(restored, written);
}

constexpr const char* kCompressDoc =
    R"(Compresses `data` (1 to 32767 bytes, any buffer) into a .lzc stream.

`level` (1 to 9) chooses the search window as `lzc -1` ... `lzc -9` do; `window` (1 to
32767), when given, is the window itself, as `lzc -w`. The same data and window give the same
bytes as lzc. Raises vellicor.Error with status EMPTY_INPUT, SOURCE_TOO_LARGE or
BAD_ARGUMENT.)";

}  // namespace

PYBIND11_MODULE(vellicor, module) {
    module.doc() = R"(The Vellicor codec: .lzc streams of sources up to 32767 bytes.

compress() and decompress() take any buffer (bytes, bytearray, memoryview, array) and return
bytes; Compressor keeps the search memory for a batch. The work runs with the GIL released,
so threads compress in parallel. Failures raise vellicor.Error, a ValueError whose `status`
is one of the constants OK ... BUSY.)";

    errorType = PyErr_NewExceptionWithDoc(
        "vellicor.Error",
        "A failure of the codec; `status` is its status (EMPTY_INPUT, INVALID_STREAM, ...) and "
        "str() its words.",
        PyExc_ValueError, py::dict(py::arg("status") = py::none()).ptr());
    if (errorType == nullptr) {
        throw py::error_already_set();
    }
    module.add_object("Error", py::handle(errorType));

    module.attr("OK") = VELLICOR_OK;
    module.attr("EMPTY_INPUT") = VELLICOR_EMPTY_INPUT;
    module.attr("SOURCE_TOO_LARGE") = VELLICOR_SOURCE_TOO_LARGE;
    module.attr("INVALID_STREAM") = VELLICOR_INVALID_STREAM;
    module.attr("DESTINATION_TOO_SMALL") = VELLICOR_DESTINATION_TOO_SMALL;
    module.attr("OUT_OF_MEMORY") = VELLICOR_OUT_OF_MEMORY;
    module.attr("BAD_ARGUMENT") = VELLICOR_BAD_ARGUMENT;
    module.attr("BUSY") = VELLICOR_BUSY;
    module.attr("MAX_SOURCE_SIZE") = VELLICOR_MAX_SOURCE_SIZE;
    module.attr("MAX_WINDOW") = VELLICOR_MAX_WINDOW;
    module.attr("__version__") = vellicor_version_string();

    module.def("compress", &compress, py::arg("data"), py::arg("level") = 9, py::kw_only(),
               py::arg("window") = py::none(), kCompressDoc);
    module.def("decompress", &decompress, py::arg("data"),
               R"(Restores the bytes of a .lzc stream given as any buffer.

Raises vellicor.Error with status EMPTY_INPUT or INVALID_STREAM.)");
    module.def("window_for_level", &vellicor_window_for_level, py::arg("level"),
               "The search window of a level from 1 to 9, as lzc -1 ... -9 choose it; 0 for "
               "any other level.");

    py::class_<Compressor>(module, "Compressor",
                           "Compresses a batch with one search memory (under 1.1 MiB), kept "
                           "between calls. Threads that share one take turns.")
        .def(py::init<>())
        .def("compress", &Compressor::compress, py::arg("data"), py::arg("level") = 9,
             py::kw_only(), py::arg("window") = py::none(), kCompressDoc);
}
