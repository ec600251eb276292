// Prints the console's input and output code pages, for lzc_exe_test.sh: Wine's chcp shows the
// input page only, and a program that changed the output page would leave it to the next one.
#include <windows.h>

#include <cstdio>

int main() {
    std::printf("pages:%u,%u\n", ::GetConsoleCP(), ::GetConsoleOutputCP());
}
