// levelcheck: checks level files against a game folder and prints what the game would not load
// as meant, one finding per line, the way compilers print theirs.
#include "core/folderfiles.h"
#include "core/levelcheck.h"
#include "core/levelfile.h"
#include "core/levellinelist.h"

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <shellapi.h>

namespace fs = std::filesystem;
#endif

namespace {

enum ExitCode { NoErrors = 0, LevelErrors = 1, Failure = 2 };

constexpr std::string_view synopsis = "Usage: levelcheck [--game-folder DIR] FILE...\n";
constexpr std::string_view usage = R"(
Checks level files: section blocks, ship and base entries, and that the ship, base and win
files they name are in the game folder (DIR, the current folder when not given). Prints each
finding as FILE:ROW: error: MESSAGE or FILE:ROW: warning: MESSAGE; findings about a level as
a whole have no row (FILE: warning: MESSAGE).

Exit codes:
  0  no level has an error (warnings may have been printed)
  1  at least one level has an error
  2  a file or the game folder cannot be read, or the arguments are wrong
)";

struct Arguments {
    std::string gameFolder = ".";
    std::vector<std::string> files;
    bool help = false;
};

// The arguments, or a message saying what is wrong with them.
std::optional<std::string> parseArguments(int argc, char** argv, Arguments& arguments) {
    constexpr std::string_view folderOption = "--game-folder";
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (optionsEnded || argument == "-" || !argument.starts_with("-")) {
            arguments.files.emplace_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            arguments.help = true;
        } else if (argument == folderOption) {
            if (++i == argc)
                return "--game-folder needs a folder";
            arguments.gameFolder = argv[i];
        } else if (argument.starts_with(folderOption) && argument[folderOption.size()] == '=') {
            arguments.gameFolder = argument.substr(folderOption.size() + 1);
        } else {
            return "unknown option " + std::string(argument);
        }
    }
    if (!arguments.help && arguments.files.empty())
        return "no level file given";
    return std::nullopt;
}

// Prints the findings of one level; true when one of them is an error.
bool printFindings(const std::string& file, const std::vector<level::Finding>& findings) {
    bool error = false;
    for (const level::Finding& finding : findings) {
        const bool isError = finding.severity == level::Finding::Severity::Error;
        error = error || isError;
        std::cout << file << ':';
        if (finding.row > 0)
            std::cout << finding.row << ':';
        std::cout << (isError ? " error: " : " warning: ") << finding.message << '\n';
    }
    return error;
}

#ifdef _WIN32
std::string toUtf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// Windows hands main its arguments in the ANSI code page; the core and the output take UTF-8.
std::vector<std::string> utf8Arguments() {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; wide && i < count; ++i)
        arguments.push_back(toUtf8(fs::path(wide[i])));
    LocalFree(wide);
    return arguments;
}
#endif

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    std::vector<std::string> utf8 = utf8Arguments();
    std::vector<char*> pointers;
    for (std::string& argument : utf8)
        pointers.push_back(argument.data());
    argc = static_cast<int>(pointers.size());
    argv = pointers.data();
    SetConsoleOutputCP(CP_UTF8);
#endif
    Arguments arguments;
    if (const auto wrong = parseArguments(argc, argv, arguments)) {
        std::cerr << "levelcheck: " << *wrong << '\n'
                  << synopsis << "levelcheck --help tells more.\n";
        return Failure;
    }
    if (arguments.help) {
        std::cout << synopsis << usage;
        return NoErrors;
    }

    const auto folder = level::FolderFiles::Read(arguments.gameFolder);
    if (!folder) {
        std::cerr << "levelcheck: " << folder.error().Message() << '\n';
        return Failure;
    }
    const level::FileLookup lookup = [&folder](const std::string& name) {
        return folder->Lookup(name);
    };

    int result = NoErrors;
    for (const std::string& file : arguments.files) {
        level::LevelLineList level;
        if (const auto loaded = level::LoadLevelFile(file, level); !loaded) {
            std::cout.flush(); // keep the order of both streams on a terminal
            std::cerr << "levelcheck: " << loaded.error().Message() << '\n';
            result = Failure;
            continue;
        }
        if (printFindings(file, level::CheckLevel(level.Lines(), lookup)) && result == NoErrors)
            result = LevelErrors;
    }
    return result;
}
