// What lzc sets up before it reads its arguments, which differs between systems.
#pragma once

#include <string>
#include <vector>

namespace lzc::cli {

// Makes standard input and output carry bytes unchanged, and returns the arguments that follow
// the program name in UTF-8. On Windows the arguments are read in UTF-16 from the system (the
// narrow argv is in the ANSI code page and loses other characters), * and ? in file operands
// are expanded and /? becomes --help (cmd.exe does neither), and standard streams are switched
// out of text mode (which turns "\n" into "\r\n" and stops reading at 0x1A). The console's
// code pages are left alone: text for people reaches a console in UTF-16 (text_output.h). On
// POSIX systems argv is passed on as it is.
std::vector<std::string> setUpProcess(int argc, char** argv);

}  // namespace lzc::cli
