# vellicor_windows_resources(TARGET NAME DESCRIPTION [MANIFEST_EXTRA xml]): links a Windows
# program's resources into TARGET: a manifest (the UTF-8 code page for the ANSI functions,
# long paths, per-monitor DPI awareness, and MANIFEST_EXTRA, such as the common controls
# dependency a window wants), the project's icon and a version resource with PROJECT_VERSION.
# The icon is made at build time from packaging/vellicor.png by icotool (Debian's icoutils);
# Windows scales its 256-pixel image down where it needs a smaller one.
include_guard(GLOBAL)
enable_language(RC)
find_program(ICOTOOL icotool REQUIRED)

set(vellicor_icon ${PROJECT_BINARY_DIR}/vellicor.ico)
add_custom_command(OUTPUT ${vellicor_icon}
    COMMAND ${ICOTOOL} --create --output=${vellicor_icon}
            --raw=${PROJECT_SOURCE_DIR}/packaging/vellicor.png
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/vellicor.png
    COMMENT "Making vellicor.ico")
add_custom_target(vellicor_icon DEPENDS ${vellicor_icon})

function(vellicor_windows_resources target name description)
    cmake_parse_arguments(PARSE_ARGV 3 ARG "" "MANIFEST_EXTRA" "")
    set(RESOURCE_NAME ${name})
    set(RESOURCE_DESCRIPTION ${description})
    set(RESOURCE_MANIFEST_EXTRA "${ARG_MANIFEST_EXTRA}")
    set(RESOURCE_ICON ${PROJECT_BINARY_DIR}/vellicor.ico)
    set(RESOURCE_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/${name}.manifest)
    set(windows ${PROJECT_SOURCE_DIR}/packaging/windows)
    configure_file(${windows}/program.manifest.in ${RESOURCE_MANIFEST} @ONLY)
    configure_file(${windows}/program.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc @ONLY)
    target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc)
    set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${name}.rc PROPERTIES
        OBJECT_DEPENDS "${RESOURCE_MANIFEST};${RESOURCE_ICON}")
    add_dependencies(${target} vellicor_icon)
endfunction()
