// lzc's --help and --version texts.
#include <cstdio>

#include "lzc/quality.h"
#include "lzc_cli/command_line.h"

namespace lzc::cli {
namespace {

// The quality table of the help: each name with its window and the levels that choose it.
std::string qualityHelp() {
    std::string lines = std::string(26, ' ') + "NAME            window   levels\n";
    for (std::size_t at = 0; at < kQualityLevels.size(); ++at) {
        const QualityLevel& quality = kQualityLevels[at];
        std::string levels;
        for (int level = kFastestLevel; level <= kBestLevel; ++level) {
            if (kLevelQualities[static_cast<std::size_t>(level - 1)] == at) {
                levels += (levels.empty() ? "-" : " -") + std::to_string(level);
            }
        }
        char row[100];
        std::snprintf(row, sizeof row, "%26s%-15.*s %6d   %s%s\n", "",
                      static_cast<int>(quality.name.size()), quality.name.data(),
                      static_cast<int>(quality.window), levels.c_str(),
                      quality.window == kWindowOptimal ? " (the default)" : "");
        lines += row;
    }
    return lines;
}

}  // namespace

// The few words that differ for Windows users: the console and its pager, the read-only
// attribute, -? and /? (the option columns stay aligned), and the exit status as cmd.exe shows
// it, where other archivers give 2 for a fatal error.
#ifdef _WIN32
#define LZC_HELP_TERMINAL "the console"
#define LZC_HELP_ALIAS ", -?, /?    "
#define LZC_HELP_METADATA "Output files get the read-only\nattribute and modification"
#define LZC_HELP_PAGER "more"
#define LZC_HELP_STATUS                                                                 \
    "In cmd.exe the status is %ERRORLEVEL%. Unlike 7-Zip's 2, which is a fatal\n"       \
    "error, lzc's 2 means that every file that could be done is done. A run stopped\n"  \
    "by Ctrl+C or Ctrl+Break ends with 0xC000013A (-1073741510), as Windows' console\n" \
    "programs do, and leaves no unfinished output.\n"
#else
#define LZC_HELP_TERMINAL "a terminal"
#define LZC_HELP_ALIAS "            "
#define LZC_HELP_METADATA "Output files get the permission bits\nand modification"
#define LZC_HELP_PAGER "less"
#define LZC_HELP_STATUS ""
#endif

std::string versionText() {
    return "lzc (Vellicor) " LZC_VERSION "\n";
}

std::string helpText() {
    return R"(Usage: lzc [OPTION]... [FILE]...
Compress or decompress FILEs in the .lzc format (files of up to 32767 bytes).

By default each FILE is compressed to FILE.lzc and FILE is kept. With no FILE,
or when FILE is -, lzc reads standard input and writes standard output.
lzcat is lzc -dc and unlzc is lzc -d.

Operation:
  -d, --decompress      restore each FILE.lzc to FILE
  -t, --test            check that each FILE decodes as a .lzc stream; write
                        nothing. The format has no checksum, so damage that
                        still decodes goes unseen
  -l, --list            show compressed size, restored size and ratio of each FILE

Output:
  -c, --stdout          write to standard output; keep the input files
  -o, --output=OUT      write to OUT (a single FILE only; - is standard output)
  -f, --force           overwrite existing output files, write compressed data
                        to )" LZC_HELP_TERMINAL R"(, compress a FILE already ending in .lzc
  -k, --keep            keep the input files (the default)
      --rm              remove each input file once its output is written
      --synchronous     flush each output to disk before going on (slower)

Batches:
  -r, --recursive       compress (or restore) every file below each directory
                        FILE; links are never followed, names ending in .lzc
                        (with -d: the others) are skipped
  -T, --threads=N       work on N files at once (0: one per processor; the
                        default is 1); messages keep the files' order

Compression:
  -1 ... -9             a level, from the fastest (-1) to the best (-9); above 9,
                        as in -19, the best. --fast is -1 and --best is -9
  -Q, --quality=NAME    choose by name how far back repeats are searched for:
)" + qualityHelp() +
           R"(  -w, --window=N        search N bytes back, 1 to 32767
                        (the levels, -Q and -w set the same thing: the last one
                        given wins)

Messages:
  -q, --quiet           print no warnings (-l: no header, no totals)
  -v, --verbose         print a line for each file: names, sizes and ratio
  -h, --help)" LZC_HELP_ALIAS R"(show this help and exit
  -V, --version         show the version and exit

Long options may be shortened to any unique prefix, as in --dec.

The ratio is the compressed size as a percentage of the original size, the
figure the Vellicor window shows: 83.33% means the .lzc file is about 83% as
large as the original (lower is better). )" LZC_HELP_METADATA R"( time of their input.

Examples:
  lzc notes.txt                   compress notes.txt to notes.txt.lzc
  lzc -d notes.txt.lzc            restore notes.txt from notes.txt.lzc
  lzc -Q poor *.txt               compress every .txt file, searching 2048 back
  lzc -dc notes.txt.lzc | )" LZC_HELP_PAGER R"(    page through notes.txt without restoring it
  lzc < notes.txt > notes.lzc     compress standard input to standard output
  lzc -d -o copy.txt notes.lzc    restore notes.lzc under the name copy.txt
  lzc -l *.lzc                    list sizes and ratios
  lzc -t *.lzc                    check compressed files
  lzc -r -T0 docs                 compress every file below docs on every core

Exit status, as gzip's: 0 if all went well, 1 after an error (usage errors
too), 2 after warnings only (a FILE skipped for its name or type, a link skipped
by -r, an output not overwritten, metadata not kept).
)" LZC_HELP_STATUS;
}

}  // namespace lzc::cli
