#pragma once

// The core's tests of files: each runs in a fresh temporary folder.

#include "tests/common/gamefolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

class TempFolderTest : public testing::Test {
protected:
    using Names = std::vector<std::string>;

    std::string path(const std::string& name) const { return m_game.path(name); }

    static void writeBytes(const std::string& file, const std::string& bytes) {
        ASSERT_TRUE(writeFileBytes(file, bytes)) << file;
    }
    static std::string readBytes(const std::string& file) { return readFileBytes(file); }
    static Names entries(const std::filesystem::path& folder) {
        const std::u8string text = folder.u8string();
        return folderEntries(std::string(text.begin(), text.end()));
    }
    Names entries() const { return entries(m_folder); }

    TempGameFolder m_game{false};
    const std::filesystem::path& m_folder = m_game.root();
};
