#pragma once

// A fresh folder for one test, removed with everything in it afterwards, and ways to put bytes
// into its files and read them back.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include <stdlib.h>

class TempFolderTest : public testing::Test {
protected:
    using Names = std::vector<std::string>;

    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "leveltools-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        // Without links, so that paths built here match those the system reports.
        m_folder = std::filesystem::canonical(pattern);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

    std::string path(const std::string& name) const { return (m_folder / name).string(); }

    static void writeBytes(const std::string& file, const std::string& bytes) {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << bytes;
        ASSERT_TRUE(out.good());
    }
    static std::string readBytes(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // The names in a folder, sorted.
    static Names entries(const std::filesystem::path& folder) {
        Names names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    Names entries() const { return entries(m_folder); }

    std::filesystem::path m_folder;
};
