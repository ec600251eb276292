# The Windows download: cpack -G ZIP in the Windows build tree makes
# vellicor-VERSION-win64.zip, one folder with lzc.exe, lzcat.exe, unlzc.exe, README.txt and
# LICENSE.txt (text files with CRLF line ends, as Notepad and every Windows tool expect).
# Each part is an install() component: lzc (the programs) and documents; a later program (the
# window) or generator (an installer) joins with its own component and rules.
set(windows_documents ${PROJECT_BINARY_DIR}/documents)
foreach(pair "packaging/windows/README.txt;README.txt" "packaging/copyright;LICENSE.txt")
    list(GET pair 0 from)
    list(GET pair 1 to)
    file(READ ${PROJECT_SOURCE_DIR}/${from} text)
    string(REPLACE "@PROJECT_VERSION@" "${PROJECT_VERSION}" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE ${windows_documents}/${to} "${text}")
    install(FILES ${windows_documents}/${to} DESTINATION . COMPONENT documents)
endforeach()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME vellicor)
set(CPACK_PACKAGE_VENDOR "Vellicor maintainers")
set(CPACK_PACKAGE_FILE_NAME vellicor-${PROJECT_VERSION}-win64)
set(CPACK_STRIP_FILES ON)
include(CPack)

# The installer, vellicor-VERSION-win64-setup.exe: `cmake --build build/windows --target
# installer` runs makensis (Debian's nsis) on packaging/windows/vellicor.nsi.in.
find_program(MAKENSIS makensis)
if(MAKENSIS)
    set(INSTALLER_FILE ${PROJECT_BINARY_DIR}/vellicor-${PROJECT_VERSION}-win64-setup.exe)
    set(VELLICOR_EXE $<TARGET_FILE:Vellicor>)
    set(LZC_EXE $<TARGET_FILE:lzc>)
    set(DOCUMENTS ${windows_documents})
    set(PROJECT_HOMEPAGE "https://vellicor.invalid/")
    configure_file(packaging/windows/vellicor.nsi.in ${PROJECT_BINARY_DIR}/vellicor.nsi.in @ONLY)
    file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/vellicor.nsi
         INPUT ${PROJECT_BINARY_DIR}/vellicor.nsi.in)
    add_custom_command(OUTPUT ${INSTALLER_FILE}
        COMMAND ${MAKENSIS} -V2 -NOCD ${PROJECT_BINARY_DIR}/vellicor.nsi
        DEPENDS ${PROJECT_BINARY_DIR}/vellicor.nsi Vellicor lzc vellicor_icon
        COMMENT "Making the installer")
    add_custom_target(installer DEPENDS ${INSTALLER_FILE})
endif()
