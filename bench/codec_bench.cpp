// One run times, on the same inputs: our compressor at each of the six windows (and with the
// suffix-array index alone), the brute-force search on a few inputs, our decompressor, and
// zlib level 9, lz4 HC at its highest level and zstd level 19, compressing and decompressing;
// and the index's build alone, with its suffix sorting beside libdivsufsort's.
// Every benchmark reports bytes per second of source (restored bytes for decompression) and
// its output size in the counter "out". After Google Benchmark's own report, a summary table
// gives the median (or only) CPU time of each: on a shared machine the wall time measures the
// other load as much as the code.
//
//   vellicor_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <divsufsort.h>
#include <lz4.h>
#include <lz4hc.h>
#include <zlib.h>
#include <zstd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "generated_sources.h"
#include "lzc/codec.h"
#include "match_finder.h"
#include "suffix_array.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Input = vellicor::testdata::NamedSource;

constexpr std::int32_t kWindows[] = {lzc::kWindowOptimal,  lzc::kWindowGood,
                                     lzc::kWindowModerate, lzc::kWindowBelowAverage,
                                     lzc::kWindowPoor,     lzc::kWindowVeryPoor};

// Runs `step` (which returns the output size, or 0 on failure) once per iteration.
template <class Step>
void measure(benchmark::State& state, std::size_t bytesPerRun, Step step) {
    std::size_t out = 0;
    for (auto _ : state) {
        out = step();
        if (out == 0) {
            state.SkipWithError("codec failed");
            return;
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytesPerRun));
    state.counters["out"] = static_cast<double>(out);
}

void lzcCompress(benchmark::State& state, const Bytes& source, std::int32_t window,
                 lzc::MatchSearch search) {
    lzc::CompressorCore compressor;
    Bytes out;
    measure(state, source.size(), [&] {
        const lzc::Status status = compressWith(compressor, search, source, window, out);
        return status == lzc::Status::ok ? out.size() : 0;
    });
}

void lzcDecompress(benchmark::State& state, const Bytes& source) {
    Bytes compressed;
    Bytes restored;
    lzc::Compressor().compress(source, lzc::kWindowOptimal, compressed);
    measure(state, source.size(), [&] {
        const lzc::Status status = lzc::decompressBuffer(compressed, restored);
        return status == lzc::Status::ok && restored == source ? compressed.size() : 0;
    });
}

void indexBuild(benchmark::State& state, const Bytes& source) {
    std::vector<std::uint16_t> memory(
        lzc::MatchIndex::memoryNeeded(static_cast<std::int32_t>(source.size())));
    lzc::MatchIndex index;
    measure(state, source.size(), [&] {
        index.build(source, memory);
        return source.size();
    });
}

void suffixSort(benchmark::State& state, const Bytes& source) {
    std::vector<std::uint16_t> order(source.size()), rank(source.size());
    std::vector<std::uint16_t> scratch(lzc::detail::suffixSortScratch(source.size()));
    measure(state, source.size(), [&] {
        lzc::detail::sortSuffixes(source, order.data(), rank.data(), scratch);
        return source.size();
    });
}

void divsufsortBench(benchmark::State& state, const Bytes& source) {
    std::vector<saidx_t> order(source.size());
    measure(state, source.size(), [&] {
        const saint_t status =
            divsufsort(source.data(), order.data(), static_cast<saidx_t>(source.size()));
        return status == 0 ? source.size() : 0;
    });
}

struct ZlibStreams {
    z_stream deflater{};
    z_stream inflater{};
    ZlibStreams() {
        deflateInit2(&deflater, 9, Z_DEFLATED, 15, 9, Z_DEFAULT_STRATEGY);
        inflateInit2(&inflater, 15);
    }
    ~ZlibStreams() {
        deflateEnd(&deflater);
        inflateEnd(&inflater);
    }
    ZlibStreams(const ZlibStreams&) = delete;
    ZlibStreams& operator=(const ZlibStreams&) = delete;
};

std::size_t zlibCompress(ZlibStreams& zlib, const Bytes& source, Bytes& out) {
    out.resize(deflateBound(&zlib.deflater, source.size()));
    deflateReset(&zlib.deflater);
    zlib.deflater.next_in = const_cast<Bytef*>(source.data());
    zlib.deflater.avail_in = static_cast<uInt>(source.size());
    zlib.deflater.next_out = out.data();
    zlib.deflater.avail_out = static_cast<uInt>(out.size());
    if (deflate(&zlib.deflater, Z_FINISH) != Z_STREAM_END) {
        return 0;
    }
    out.resize(zlib.deflater.total_out);
    return out.size();
}

void zlibCompressBench(benchmark::State& state, const Bytes& source) {
    ZlibStreams zlib;
    Bytes out;
    measure(state, source.size(), [&] { return zlibCompress(zlib, source, out); });
}

void zlibDecompressBench(benchmark::State& state, const Bytes& source) {
    ZlibStreams zlib;
    Bytes compressed;
    zlibCompress(zlib, source, compressed);
    Bytes restored(source.size());
    measure(state, source.size(), [&] {
        inflateReset(&zlib.inflater);
        zlib.inflater.next_in = compressed.data();
        zlib.inflater.avail_in = static_cast<uInt>(compressed.size());
        zlib.inflater.next_out = restored.data();
        zlib.inflater.avail_out = static_cast<uInt>(restored.size());
        const bool done = inflate(&zlib.inflater, Z_FINISH) == Z_STREAM_END &&
                          zlib.inflater.total_out == source.size();
        return done ? compressed.size() : 0;
    });
}

void lz4CompressBench(benchmark::State& state, const Bytes& source) {
    std::vector<char> hcState(static_cast<std::size_t>(LZ4_sizeofStateHC()));
    std::vector<char> out(
        static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(source.size()))));
    measure(state, source.size(), [&] {
        const int written = LZ4_compress_HC_extStateHC(
            hcState.data(), reinterpret_cast<const char*>(source.data()), out.data(),
            static_cast<int>(source.size()), static_cast<int>(out.size()), LZ4HC_CLEVEL_MAX);
        return static_cast<std::size_t>(written > 0 ? written : 0);
    });
}

void lz4DecompressBench(benchmark::State& state, const Bytes& source) {
    std::vector<char> compressed(
        static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(source.size()))));
    const int size = LZ4_compress_HC(reinterpret_cast<const char*>(source.data()),
                                     compressed.data(), static_cast<int>(source.size()),
                                     static_cast<int>(compressed.size()), LZ4HC_CLEVEL_MAX);
    std::vector<char> restored(source.size());
    measure(state, source.size(), [&] {
        const int got = LZ4_decompress_safe(compressed.data(), restored.data(), size,
                                            static_cast<int>(restored.size()));
        return got == static_cast<int>(source.size()) ? static_cast<std::size_t>(size) : 0;
    });
}

void zstdCompressBench(benchmark::State& state, const Bytes& source) {
    std::unique_ptr<ZSTD_CCtx, decltype(&ZSTD_freeCCtx)> context(ZSTD_createCCtx(), ZSTD_freeCCtx);
    Bytes out(ZSTD_compressBound(source.size()));
    measure(state, source.size(), [&] {
        const std::size_t written = ZSTD_compressCCtx(context.get(), out.data(), out.size(),
                                                      source.data(), source.size(), 19);
        return ZSTD_isError(written) != 0 ? 0 : written;
    });
}

void zstdDecompressBench(benchmark::State& state, const Bytes& source) {
    Bytes compressed(ZSTD_compressBound(source.size()));
    compressed.resize(
        ZSTD_compress(compressed.data(), compressed.size(), source.data(), source.size(), 19));
    std::unique_ptr<ZSTD_DCtx, decltype(&ZSTD_freeDCtx)> context(ZSTD_createDCtx(), ZSTD_freeDCtx);
    Bytes restored(source.size());
    measure(state, source.size(), [&] {
        const std::size_t got = ZSTD_decompressDCtx(context.get(), restored.data(), restored.size(),
                                                    compressed.data(), compressed.size());
        return got == source.size() ? compressed.size() : 0;
    });
}

// Column names of the summary, in order; benchmark names are "<input>/<column>".
const std::vector<std::string>& compressColumns() {
    static const std::vector<std::string> columns = {"lzc 32767",
                                                     "lzc 16383",
                                                     "lzc 8191",
                                                     "lzc 4092",
                                                     "lzc 2048",
                                                     "lzc 1024",
                                                     "lzc 32767 index only",
                                                     "brute force 32767",
                                                     "zlib -9",
                                                     "lz4 HC 12",
                                                     "zstd -19"};
    return columns;
}
const std::vector<std::string>& decompressColumns() {
    static const std::vector<std::string> columns = {"lzc decode", "zlib inflate", "lz4 decode",
                                                     "zstd decode"};
    return columns;
}
const std::vector<std::string>& indexColumns() {
    static const std::vector<std::string> columns = {"index build", "suffix sort", "divsufsort"};
    return columns;
}

void registerAll(const std::vector<Input>& inputs) {
    for (const Input& input : inputs) {
        const Bytes& bytes = input.bytes;
        const auto add = [&](const std::string& column, auto&& function) {
            return benchmark::RegisterBenchmark((input.name + "/" + column).c_str(), function)
                ->Unit(benchmark::kMicrosecond);
        };
        for (std::size_t w = 0; w < std::size(kWindows); ++w) {
            const std::int32_t window = kWindows[w];
            add(compressColumns()[w], [&bytes, window](benchmark::State& state) {
                lzcCompress(state, bytes, window, lzc::MatchSearch::indexed);
            });
        }
        add("lzc 32767 index only", [&bytes](benchmark::State& state) {
            lzcCompress(state, bytes, lzc::kWindowOptimal, lzc::MatchSearch::suffixArrayOnly);
        });
        if (input.bruteForceBaseline) {
            add("brute force 32767",
                [&bytes](benchmark::State& state) {
                    lzcCompress(state, bytes, lzc::kWindowOptimal, lzc::MatchSearch::bruteForce);
                })
                ->Iterations(1)
                ->Repetitions(3)
                ->Unit(benchmark::kMillisecond);
        }
        add("zlib -9", [&bytes](benchmark::State& state) { zlibCompressBench(state, bytes); });
        add("lz4 HC 12", [&bytes](benchmark::State& state) { lz4CompressBench(state, bytes); });
        add("zstd -19", [&bytes](benchmark::State& state) { zstdCompressBench(state, bytes); });
        add("lzc decode", [&bytes](benchmark::State& state) { lzcDecompress(state, bytes); });
        add("zlib inflate",
            [&bytes](benchmark::State& state) { zlibDecompressBench(state, bytes); });
        add("lz4 decode", [&bytes](benchmark::State& state) { lz4DecompressBench(state, bytes); });
        add("zstd decode",
            [&bytes](benchmark::State& state) { zstdDecompressBench(state, bytes); });
        add("index build", [&bytes](benchmark::State& state) { indexBuild(state, bytes); });
        add("suffix sort", [&bytes](benchmark::State& state) { suffixSort(state, bytes); });
        add("divsufsort", [&bytes](benchmark::State& state) { divsufsortBench(state, bytes); });
    }
}

// Google Benchmark's console report, plus Markdown tables of the medians at the end.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") {
                continue;
            }
            const std::string& name = run.run_name.function_name;
            const std::size_t slash = name.find('/');
            Result& result = results_[name.substr(0, slash)][name.substr(slash + 1)];
            if (run.run_type == Run::RT_Aggregate || result.microseconds == 0) {
                result.microseconds = run.GetAdjustedCPUTime() *
                                      (run.time_unit == benchmark::kMillisecond ? 1000.0 : 1.0);
                const auto out = run.counters.find("out");
                result.out = out != run.counters.end() ? out->second.value : 0;
            }
        }
    }

    void printSummary(const std::vector<Input>& inputs) const {
        printTable("Compression: median CPU time (us) / output size (bytes)", compressColumns(),
                   inputs, true, [](const Input&, const Result& result) {
                       std::printf(" %.0f / %.0f |", result.microseconds, result.out);
                   });
        printTable("Decompression: median CPU time (us) / restored MB/s", decompressColumns(),
                   inputs, false, [](const Input& input, const Result& result) {
                       const double mbPerSecond =
                           static_cast<double>(input.bytes.size()) / result.microseconds;
                       std::printf(" %.1f / %.0f |", result.microseconds, mbPerSecond);
                   });
        printTable("The index's build: median CPU time (us)", indexColumns(), inputs, false,
                   [](const Input&, const Result& result) {
                       std::printf(" %.0f |", result.microseconds);
                   });
    }

private:
    struct Result {
        double microseconds = 0;
        double out = 0;
    };

    // A Markdown table: a row for each input that has results (with its size if `withSize`),
    // a cell for each column, printed by `cell`, or "-" where that column did not run.
    template <class Cell>
    void printTable(const char* title, const std::vector<std::string>& columns,
                    const std::vector<Input>& inputs, bool withSize, Cell cell) const {
        std::printf("\n## %s\n\n| input |%s", title, withSize ? " size |" : "");
        for (const std::string& column : columns) {
            std::printf(" %s |", column.c_str());
        }
        std::printf("\n|---|%s", withSize ? "---:|" : "");
        for (std::size_t i = 0; i < columns.size(); ++i) {
            std::printf("---:|");
        }
        std::printf("\n");
        for (const Input& input : inputs) {
            const auto row = results_.find(input.name);
            if (row == results_.end()) {
                continue;
            }
            std::printf("| %s |", input.name.c_str());
            if (withSize) {
                std::printf(" %zu |", input.bytes.size());
            }
            for (const std::string& column : columns) {
                const auto result = row->second.find(column);
                if (result == row->second.end()) {
                    std::printf(" - |");
                } else {
                    cell(input, result->second);
                }
            }
            std::printf("\n");
        }
    }

    std::map<std::string, std::map<std::string, Result>> results_;
};

}  // namespace

// Writes each input to DIR/NN-name, for the whole-process comparison (bench/whole_process.sh).
int writeInputs(const std::vector<Input>& inputs, const std::string& dir) {
    int number = 0;
    for (const Input& input : inputs) {
        std::string name = input.name;
        std::replace_if(
            name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '-');
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "%02d-", ++number);
        std::ofstream file(dir + "/" + prefix + name, std::ios::binary);
        file.write(reinterpret_cast<const char*>(input.bytes.data()),
                   static_cast<std::streamsize>(input.bytes.size()));
        if (!file.flush()) {
            std::fprintf(stderr, "cannot write %s\n", name.c_str());
            return 1;
        }
    }
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--write-inputs") {
        return writeInputs(vellicor::testdata::benchmarkSources(VELLICOR_SOURCE_DIR), argv[2]);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    const std::vector<Input> inputs = vellicor::testdata::benchmarkSources(VELLICOR_SOURCE_DIR);
    registerAll(inputs);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary(inputs);
    benchmark::Shutdown();
    return 0;
}
