# The sanitizer flags, as an INTERFACE target: every project target gets them through
# vellicor_warnings (ProjectWarnings.cmake), which links this one. Nothing else is compiled with
# them: not Qt, not GoogleTest, not the other compressors the benchmark links.
#   VELLICOR_SANITIZE=address,undefined: the named sanitizers, a finding ends the program.
#   VELLICOR_FUZZ=ON (clang): libFuzzer's coverage feedback, AddressSanitizer and
#   UndefinedBehaviorSanitizer; fuzz/ links its fuzz targets with libFuzzer itself.
#   VELLICOR_FUZZ_SANITIZE="" drops the two sanitizers, for long differential runs, where
#   only a different output counts.
set(VELLICOR_FUZZ_SANITIZE "address,undefined" CACHE STRING
    "Sanitizers the fuzz targets are built with (empty: coverage feedback only)")
add_library(vellicor_sanitizers INTERFACE)
if(VELLICOR_SANITIZE)
    target_compile_options(vellicor_sanitizers INTERFACE -fsanitize=${VELLICOR_SANITIZE}
                           -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(vellicor_sanitizers INTERFACE -fsanitize=${VELLICOR_SANITIZE})
endif()
if(VELLICOR_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "VELLICOR_FUZZ needs clang (configure with CXX=clang++)")
    endif()
    if(VELLICOR_FUZZ_SANITIZE)
        target_compile_options(vellicor_sanitizers INTERFACE
                               -fsanitize=fuzzer-no-link,${VELLICOR_FUZZ_SANITIZE}
                               -fno-omit-frame-pointer)
        target_link_options(vellicor_sanitizers INTERFACE -fsanitize=${VELLICOR_FUZZ_SANITIZE})
    else()
        target_compile_options(vellicor_sanitizers INTERFACE -fsanitize=fuzzer-no-link)
    endif()
endif()
