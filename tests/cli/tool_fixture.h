// Runs the built lzc binary in a scratch directory.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "test_support.h"

namespace lzc::test {

// The 17-byte file of the format's first worked example and its compressed form.
inline const std::string kExampleText = "ABCDABCDABCDABCDX";
inline const Bytes kExampleStream = {0x80, 0x04, 0x41, 0x42, 0x43, 0x44, 0x41,
                                     0x00, 0x01, 0x00, 0x0C, 0x80, 0x01, 0x58};

std::string textOf(const Bytes& bytes);

class LzcTool : public ::testing::Test {
protected:
    // Runs lzc with `arguments` in the scratch directory.
    ChildResult lzc(const std::vector<std::string>& arguments, ChildOptions options = {}) const;
    // Runs lzc as the unprivileged user "nobody", so that file permissions apply even when the
    // tests run as root. Returns nothing when that cannot be arranged.
    std::optional<ChildResult> lzcWithoutPrivileges(const std::vector<std::string>& arguments);

    void writeText(const std::string& name, const std::string& text) const;
    std::string readText(const std::string& name) const;
    bool exists(const std::string& name) const;

    ScratchDir dir;
};

}  // namespace lzc::test
