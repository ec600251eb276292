# Warnings for the project's own targets, as an INTERFACE target that each of them links; it
# carries the sanitizer flags too (VellicorSanitizers.cmake), so no target goes without them.
include(VellicorSanitizers)
add_library(vellicor_warnings INTERFACE)
target_compile_options(vellicor_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow -Wcast-align
    $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual>
    $<$<BOOL:${VELLICOR_WERROR}>:-Werror>)
target_link_libraries(vellicor_warnings INTERFACE vellicor_sanitizers)
