# Run by CPack on its staging tree before it builds the packages: Debian wants manual pages and
# changelogs compressed with gzip -9n (no name or time stamp, so the bytes are reproducible).
# The tree holds one folder per package.
find_program(GZIP gzip REQUIRED)
file(GLOB_RECURSE documents LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
list(FILTER documents INCLUDE REGEX "/share/(man/man[1-9]/[^/]+\\.[1-9]|doc/[^/]+/changelog)$")
foreach(document IN LISTS documents)
    execute_process(COMMAND "${GZIP}" -9nf "${document}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
