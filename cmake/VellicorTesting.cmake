# vellicor_add_test(NAME SOURCES... LIBS...): one GoogleTest executable, registered with CTest
# test by test.
include(GoogleTest)
find_package(GTest REQUIRED)

function(vellicor_add_test name)
    cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "SOURCES;LIBS")
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main
                                          vellicor_warnings)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()
