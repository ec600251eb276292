// The run of lzc over its inputs: each operand, or with -r each file of each directory walked,
// becomes a job (input_job.cpp); the jobs run one after the other or on several threads
// (job_runner.cpp), and their messages come out in the inputs' order.
#include "lzc_cli/file_jobs.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <span>
#include <string>

#include "input_job.h"
#include "job_runner.h"
#include "lzc/file_io.h"
#include "lzc/naming.h"
#include "lzc/tree_walk.h"
#include "lzc_cli/exit_status.h"
#include "lzc_cli/report_text.h"
#include "lzc_cli/text_output.h"

namespace lzc::cli {
namespace {

class Session {
public:
    Session(const Settings& settings, const Streams& streams)
        : settings_(settings),
          streams_(streams),
          runner_(threads(), [this](JobReport&& report) { handOver(std::move(report)); }) {}

    int run() {
        for (const std::string& input : settings_.inputs) {
            const auto visit = [this](fileio::WalkEntry&& entry) { found(std::move(entry)); };
            try {
                if (settings_.recursive && input != kStandardStream &&
                    fileio::walkTree(input, links(), visit)) {
                    continue;
                }
                submit(Input{input, nullptr, {}});
            } catch (const std::bad_alloc&) {
                outOfMemory(input);  // what is left of this input's walk is given up
            }
        }
        runner_.finish();
        if (settings_.mode == Mode::list && listedCount_ > 1 && !quiet()) {
            try {
                writeListLine(listRow(listedCompressed_, listedRestored_, "(totals)"));
            } catch (const std::bad_alloc&) {
                status_.error();
            }
        }
        return status_.code();
    }

private:
    bool quiet() const { return settings_.verbosity == Verbosity::quiet; }
    fileio::Links links() const {
        return settings_.force ? fileio::Links::follow : fileio::Links::refuse;
    }

    // Standard input and standard output are one stream each: a run that reads or writes
    // either stays on one thread.
    unsigned threads() const {
        const bool standardStreams = settings_.toStdout || settings_.output == kStandardStream ||
                                     std::find(settings_.inputs.begin(), settings_.inputs.end(),
                                               kStandardStream) != settings_.inputs.end();
        return standardStreams ? 1 : threadsFor(settings_.threads);
    }

    void submit(Input input) {
        runner_.submit([this, input = std::move(input)](Compressor& compressor) {
            return runInput(settings_, streams_, input, compressor);
        });
    }

    // Fails an input that memory ran out for, in its turn when a report can still be made.
    void outOfMemory(const std::string& input) {
        try {
            JobReport notice;
            notice.fail(quotedName(input), kOutOfMemory);
            runner_.submit([notice = std::move(notice)](Compressor&) { return notice; });
        } catch (const std::bad_alloc&) {
            status_.error();
        }
    }

    // Something the walk met: a file to work on, or one to tell about and skip, in its turn.
    void found(fileio::WalkEntry&& entry) {
        try {
            take(entry);
        } catch (const std::bad_alloc&) {
            outOfMemory(entry.path);
        }
    }

    void take(fileio::WalkEntry& entry) {
        JobReport notice;
        const std::string name = quotedName(entry.path);
        switch (entry.kind) {
            case fileio::WalkEntry::Kind::file:
                if (settings_.mode == Mode::compress && hasCompressedSuffix(entry.name)) {
                    notice.warn(name, "already ends in .lzc -- skipped", quiet());
                } else if (settings_.mode == Mode::decompress && !hasCompressedSuffix(entry.name)) {
                    notice.warn(name, "does not end in .lzc -- skipped", quiet());
                } else if (settings_.mode != Mode::compress && !hasCompressedSuffix(entry.name)) {
                    return;  // -t and -l look only at .lzc files
                } else {
                    submit(Input{entry.path, std::move(entry.directory), std::move(entry.name)});
                    return;
                }
                break;
            case fileio::WalkEntry::Kind::link:
                notice.warn(name, "is a symbolic link -- skipped", quiet());
                break;
            case fileio::WalkEntry::Kind::loop:
                notice.warn(name, "is a directory it lies within -- skipped", quiet());
                break;
            case fileio::WalkEntry::Kind::moved:
                notice.fail(name, "moved during the walk -- the rest of the tree is skipped");
                break;
            case fileio::WalkEntry::Kind::unreadable:
                notice.fail(name, std::strerror(entry.error));
                break;
        }
        runner_.submit([notice = std::move(notice)](Compressor&) { return notice; });
    }

    // Prints one input's report; called in the inputs' order.
    void handOver(JobReport&& report) {
        if (!report.messages.empty()) {
            writeText(streams_.messages, report.messages);
        }
        if (report.error) {
            status_.error();
        }
        if (report.warning) {
            status_.warning();
        }
        if (report.listed) {
            try {
                list(*report.listed);
            } catch (const std::bad_alloc&) {
                status_.error();
            }
        }
    }

    void list(const JobReport::Listed& listed) {
        if (listedCount_ == 0 && !quiet()) {
            writeListLine(listHeader());
        }
        writeListLine(listRow(listed.compressed, listed.restored, listed.name));
        ++listedCount_;
        listedCompressed_ += listed.compressed;
        listedRestored_ += listed.restored;
    }

    void writeListLine(const std::string& line) {
        const std::string text = line + '\n';
        if (listOutputFailed_) {
            return;
        }
        if (const int error = writeText(streams_.output, text); error != 0) {
            writeText(streams_.messages,
                      std::string("lzc: stdout: ") + std::strerror(error) + "\n");
            status_.error();
            listOutputFailed_ = true;
        }
    }

    const Settings& settings_;
    const Streams& streams_;
    ExitStatus status_;
    bool listOutputFailed_ = false;
    std::size_t listedCount_ = 0;
    std::uintmax_t listedCompressed_ = 0;
    std::uintmax_t listedRestored_ = 0;
    JobRunner runner_;  // last: its threads are joined before the rest goes
};

}  // namespace

int runInputs(const Settings& settings, const Streams& streams) {
    return Session(settings, streams).run();
}

}  // namespace lzc::cli
