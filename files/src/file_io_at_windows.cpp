// The ...At functions of the file layer on Windows, where the only directory names are looked
// up in is the working directory (the directory walk gives whole paths).
#include <cerrno>

#include "lzc/file_io.h"

namespace lzc::fileio {

DirectoryOfName openDirectoryOf(int directory, const std::filesystem::path& name) {
    DirectoryOfName whole;  // looked up whole, as every name is here
    whole.directory = directory;
    whole.name = name;
    return whole;
}

ReadResult readFileAt(int directory, const std::filesystem::path& name, std::size_t limit,
                      Links links) {
    if (directory != kWorkingDirectory) {
        ReadResult failed;
        failed.problem = ReadProblem::system;
        failed.error = EBADF;
        return failed;
    }
    return readFile(name, limit, links);
}

bool isSameFileAt(int directory, const std::filesystem::path& name, const FileFacts& facts) {
    return directory == kWorkingDirectory && isSameFile(name, facts);
}

int removeIfUnchangedAt(int directory, const std::filesystem::path& name, const FileFacts& facts) {
    return directory == kWorkingDirectory ? removeIfUnchanged(name, facts) : EBADF;
}

WriteResult writeFileAtomicallyAt(int directory, const std::filesystem::path& destination,
                                  std::span<const std::uint8_t> bytes,
                                  const WriteOptions& options) {
    if (directory != kWorkingDirectory) {
        return {EBADF, false, {}};
    }
    return writeFileAtomically(destination, bytes, options);
}

}  // namespace lzc::fileio
