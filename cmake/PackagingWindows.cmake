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
