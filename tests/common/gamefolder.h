#pragma once

// The one temporary game folder of the tests: a fresh folder for one test (with an empty levels
// folder in it, unless asked otherwise), removed with everything in it afterwards. Standard
// library only, so the core's tests and the window tests share it.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

class TempGameFolder {
public:
    explicit TempGameFolder(bool withLevels = true);
    ~TempGameFolder();
    TempGameFolder(const TempGameFolder&) = delete;
    TempGameFolder& operator=(const TempGameFolder&) = delete;

    // The folder itself, without links, so paths built here match those the system reports.
    const std::filesystem::path& root() const { return m_root; }
    // Paths as the core takes them: UTF-8 with the platform's separators.
    std::string path(std::string_view relative = {}) const;
    std::string startFolder() const; // the folder and one separator
    std::string levels() const;      // its levels folder

private:
    std::filesystem::path m_root;
};

// Files byte for byte.
bool writeFileBytes(const std::string& path, std::string_view bytes);
std::string readFileBytes(const std::string& path); // "<missing>" when it cannot be read
// The names in a folder, sorted.
std::vector<std::string> folderEntries(const std::string& folder);
