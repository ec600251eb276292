# VELLICOR_FUZZ=ON: every target is compiled for libFuzzer's coverage feedback and checked by
# AddressSanitizer and UndefinedBehaviorSanitizer; fuzz/ links the fuzz targets with libFuzzer.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "VELLICOR_FUZZ needs clang (configure with CXX=clang++)")
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
