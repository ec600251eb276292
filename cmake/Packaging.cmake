# A Debian package of everything `cmake --install` installs: cpack -G DEB in the build tree.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vellicor)
set(CPACK_PACKAGE_VENDOR "Vellicor")
set(CPACK_PACKAGE_CONTACT "Vellicor maintainers <maintainers@users.noreply.c-seed-df58c41b.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small file compressor with a desktop window and a command-line tool")
# Lines of at most 80 characters, as Debian's control files want them.
set(CPACK_PACKAGE_DESCRIPTION
    "Vellicor compresses files of up to 32767 bytes into the .lzc format and
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
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Qt's own texts (standard buttons, the file dialog) in the user's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
# Manual pages and the changelog are gzipped in the package only; an install tree keeps them
# as they are.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/compress_docs.cmake)
include(CPack)
