# vellicor_add_test(NAME SOURCES... LIBS...): one GoogleTest executable, registered with CTest
# test by test.
include(GoogleTest)
if(CMAKE_CROSSCOMPILING)
    # Debian's GoogleTest sources, built for the target like the project's own code. Without
    # gmock, and not installed.
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
    find_package(GTest REQUIRED)
endif()

function(vellicor_add_test name)
    cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "SOURCES;LIBS")
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main
                                          vellicor_warnings)
    if(CMAKE_CROSSCOMPILING)
        # Each program start goes through the emulator (Wine): one CTest test per executable.
        add_test(NAME ${name} COMMAND ${name})
    else()
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
    endif()
endfunction()
