# Debian packages, one per install component, from cpack -G DEB in the build tree:
#   vellicor          the window and lzc (everything installed without a component)
#   libvellicor1      the shared library (component library)
#   libvellicor-dev   its header, static library, vellicor.pc and CMake package (development)
#   python3-vellicor  the Python module (python), when it is built
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL vellicor library development)
if(TARGET vellicor_python)
    list(APPEND CPACK_COMPONENTS_ALL python)
endif()
set(CPACK_PACKAGE_NAME vellicor)
set(CPACK_PACKAGE_VENDOR "Vellicor")
set(CPACK_PACKAGE_CONTACT "Vellicor maintainers <maintainers@users.noreply.c-seed-df58c41b.example>")
# Each package's description, its synopsis first, in lines of at most 80 characters as Debian's
# control files want them. (CPack would put CPACK_PACKAGE_DESCRIPTION_SUMMARY before every
# one of them, so it is left unset.)
set(CPACK_COMPONENT_VELLICOR_DESCRIPTION
    "small file compressor with a desktop window and a command-line tool
Vellicor compresses files of up to 32767 bytes into the .lzc format and
restores them exactly. The desktop window compresses or restores one file at
a time with a choice of six quality levels and opens .lzc files from a file
manager; the lzc command-line tool follows the conventions of gzip and zstd.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://vellicor.invalid/")
# Library dependencies come from the binaries; the window also needs Qt's platform plugins,
# which it loads at run time rather than links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SOURCE vellicor)
set(CPACK_DEBIAN_VELLICOR_PACKAGE_NAME vellicor)
set(CPACK_DEBIAN_VELLICOR_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Qt's own texts (standard buttons, the file dialog) in the user's language.
set(CPACK_DEBIAN_VELLICOR_PACKAGE_RECOMMENDS "qt6-translations-l10n")

set(library_description
    "The library restores .lzc streams, untrusted ones too, and writes the same
streams as the Vellicor window and the lzc command, byte for byte, through a
small C interface with a stable ABI.")
set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME libvellicor${VELLICOR_SOVERSION})
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
set(CPACK_COMPONENT_LIBRARY_DESCRIPTION "Vellicor codec library
Vellicor compresses files of up to 32767 bytes into the .lzc format.
${library_description}")
# What it exports, for the packages built on it (symbols, shlibs), and the ldconfig trigger.
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/libvellicor1/symbols
    ${PROJECT_SOURCE_DIR}/packaging/libvellicor1/shlibs
    ${PROJECT_SOURCE_DIR}/packaging/libvellicor1/triggers)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
# Its dependencies come from packaging/library_depends.cmake.in.
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SHLIBDEPS OFF)
file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/library_depends.cmake
     INPUT ${PROJECT_SOURCE_DIR}/packaging/library_depends.cmake.in)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/library_depends.cmake)

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libvellicor-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS
    "libvellicor${VELLICOR_SOVERSION} (= ${PROJECT_VERSION})")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "Vellicor codec library - development files
The header vellicor.h, the static library, vellicor.pc for pkg-config and
the CMake package Vellicor::vellicor.
${library_description}")

set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-vellicor)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS
    "python3 (>= ${VELLICOR_PYTHON_VERSION}~), python3 (<< ${VELLICOR_PYTHON_NEXT_VERSION})")
set(CPACK_COMPONENT_PYTHON_DESCRIPTION "Vellicor codec for Python 3
The module vellicor compresses and restores bytes with the Vellicor codec,
giving the same .lzc streams as the lzc command, with the GIL released.
${library_description}")
# Manual pages and the changelog are gzipped in the package only; an install tree keeps them
# as they are.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/compress_docs.cmake)
include(CPack)
