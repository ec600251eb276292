// lzc's exit statuses, those of gzip: 0 when everything was done, 1 after an error (a usage
// error included), 2 after warnings only. An error outranks a warning.
#pragma once

namespace lzc::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitError = 1;
// Something asked for was left undone on purpose and said so: an existing output not
// overwritten, an input skipped for its name or type, metadata not kept, a source not removed.
inline constexpr int kExitWarning = 2;

// The exit status of a run, gathered as it goes.
class ExitStatus {
public:
    void error() { error_ = true; }
    void warning() { warning_ = true; }
    int code() const { return error_ ? kExitError : warning_ ? kExitWarning : kExitSuccess; }

private:
    bool error_ = false;
    bool warning_ = false;
};

}  // namespace lzc::cli
