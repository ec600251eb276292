# vellicor_windows_resources(TARGET NAME DESCRIPTION [MANIFEST_EXTRA xml]): links a Windows
# program's resources into TARGET: a manifest (the UTF-8 code page for the ANSI functions,
# long paths, per-monitor DPI awareness, and MANIFEST_EXTRA, such as the common controls
# dependency a window wants), the project's icon and a version resource with PROJECT_VERSION.
# The icon is made at build time from packaging/vellicor.svg: rsvg-convert (Debian's
# librsvg2-bin) draws it at each size Windows shows (16 to 64 pixels for lists, menus and the
# taskbar, 256 for large views), so small sizes are drawn, not scaled down, and icotool
# (icoutils) packs them, the 256-pixel one as PNG.
include_guard(GLOBAL)
enable_language(RC)
find_program(ICOTOOL icotool REQUIRED)
find_program(RSVG_CONVERT rsvg-convert REQUIRED)

set(vellicor_icon ${PROJECT_BINARY_DIR}/vellicor.ico)
set(icon_svg ${PROJECT_SOURCE_DIR}/packaging/vellicor.svg)
set(icon_commands)
set(icon_images)
foreach(size 16 24 32 48 64 256)
    set(image ${PROJECT_BINARY_DIR}/icon/vellicor-${size}.png)
    list(APPEND icon_commands COMMAND ${RSVG_CONVERT} --width=${size} --height=${size}
         --output=${image} ${icon_svg})
    if(size EQUAL 256)
        list(APPEND icon_images --raw=${image})
    else()
        list(APPEND icon_images ${image})
    endif()
endforeach()
add_custom_command(OUTPUT ${vellicor_icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icon
    ${icon_commands}
    COMMAND ${ICOTOOL} --create --output=${vellicor_icon} ${icon_images}
    DEPENDS ${icon_svg}
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
