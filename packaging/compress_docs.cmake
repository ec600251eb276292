# Run by CPack on its staging tree before it builds the package: Debian wants manual pages and
# the changelog compressed with gzip -9n (no name or time stamp, so the bytes are reproducible).
find_program(GZIP gzip REQUIRED)
file(GLOB_RECURSE documents
     "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man*/*.[1-9]"
     "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/doc/vellicor/changelog")
foreach(document IN LISTS documents)
    execute_process(COMMAND "${GZIP}" -9nf "${document}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
