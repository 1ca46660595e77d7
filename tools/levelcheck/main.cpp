// levelcheck: checks level files against a game folder and prints what the game would not load
// as meant, one finding per line, the way compilers print theirs.
#include "core/folderfiles.h"
#include "core/levelcheck.h"
#include "core/levelfile.h"
#include "core/levellinelist.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <shellapi.h>

namespace fs = std::filesystem;
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

enum ExitCode { NoErrors = 0, LevelErrors = 1, Failure = 2 };

constexpr std::string_view synopsis = "Usage: levelcheck [--game-folder DIR] FILE...\n";
constexpr std::string_view usage = R"(
Checks level files: section blocks, ship and base entries, and that the ship, base and win
files they name are in the game folder (DIR, the current folder when not given). Prints each
finding as FILE:ROW: error: MESSAGE or FILE:ROW: warning: MESSAGE; findings about a level as
a whole have no row (FILE: warning: MESSAGE). Control characters in names and quoted
texts are written escaped (\n, \t, \x1b), so that each finding is one line.

Exit codes:
  0  no level has an error (warnings may have been printed)
  1  at least one level has an error
  2  a file or the game folder cannot be read, the report cannot be written, or the
     arguments are wrong
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

// Text for one line of output: control characters of names and of the row texts that messages
// quote are written escaped ("\n", "\t", "\x1b", "\u0085"), so that no name can end a line,
// forge a finding or reach a terminal as a command. The C1 controls and the line and paragraph
// separators count too, as some line readers split at them. Bytes that are no UTF-8 stay as they
// are: a name is printed as its own bytes.
std::string escaped(std::string_view text) {
    static constexpr char hex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 0xF];
        } else if (c == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            const auto code = static_cast<unsigned char>(text[++i]); // U+0080 to U+009F
            out += "\\u00";
            out += hex[code >> 4];
            out += hex[code & 0xF];
        } else if (c == 0xE2 && text.substr(i + 1, 2) == "\x80\xA8") {
            out += "\\u2028";
            i += 2;
        } else if (c == 0xE2 && text.substr(i + 1, 2) == "\x80\xA9") {
            out += "\\u2029";
            i += 2;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// Standard output, where the report goes. Every write, the final flush and the close are
// checked: a report that did not arrive whole (a full disk, a closed output) must not pass for
// a clean one. After the first failure nothing more is written.
class Report {
public:
    // False when the report cannot be written at all.
    bool Open() {
#ifndef _WIN32
        // A closed standard output would be taken over by the next file the check opens.
        if (fcntl(STDOUT_FILENO, F_GETFD) == -1)
            return fail(errno);
#endif
        return true;
    }

    void Write(std::string_view text) {
        if (m_error == 0 && std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
            fail(errno);
    }

    // Hands what is written so far on, so that it comes before a message on standard error.
    void Flush() {
        if (m_error == 0 && std::fflush(stdout) != 0)
            fail(errno);
    }

    // Flushes and closes standard output; false when anything written did not arrive.
    bool Close() {
        Flush();
        if (std::fclose(stdout) != 0 && m_error == 0)
            fail(errno);
        return m_error == 0;
    }

    // "levelcheck: cannot write the report: <reason>"
    void PrintFailure() const {
        std::cerr << "levelcheck: cannot write the report: "
                  << std::generic_category().message(m_error) << '\n';
    }

private:
    bool fail(int error) {
        m_error = error != 0 ? error : EIO;
        return false;
    }

    int m_error = 0;
};

// Prints the findings of one level; true when one of them is an error.
bool printFindings(Report& report, const std::string& file,
                   const std::vector<level::Finding>& findings) {
    bool error = false;
    const std::string name = escaped(file);
    for (const level::Finding& finding : findings) {
        const bool isError = finding.severity == level::Finding::Severity::Error;
        error = error || isError;
        std::string line = name + ':';
        if (finding.row > 0)
            line += std::to_string(finding.row) + ':';
        line += isError ? " error: " : " warning: ";
        line += escaped(finding.message);
        line += '\n';
        report.Write(line);
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

// Checks every level and reports its findings; the exit code.
int checkLevels(const Arguments& arguments, Report& report) {
    const auto folder = level::FolderFiles::Read(arguments.gameFolder);
    if (!folder) {
        std::cerr << "levelcheck: " << escaped(folder.error().Message()) << '\n';
        return Failure;
    }
    const level::FileLookup lookup = [&folder](const std::string& name) {
        return folder->Lookup(name);
    };

    int result = NoErrors;
    for (const std::string& file : arguments.files) {
        level::LevelLineList level;
        if (const auto loaded = level::LoadLevelFile(file, level); !loaded) {
            report.Flush(); // keep the order of both streams on a terminal
            std::cerr << "levelcheck: " << escaped(loaded.error().Message()) << '\n';
            result = Failure;
            continue;
        }
        if (printFindings(report, file,
                          level::CheckLevelAndTeams(level.Lines(), lookup).findings) &&
            result == NoErrors)
            result = LevelErrors;
    }
    return result;
}

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
        std::cerr << "levelcheck: " << escaped(*wrong) << '\n'
                  << synopsis << "levelcheck --help tells more.\n";
        return Failure;
    }
    Report report;
    if (!report.Open()) {
        report.PrintFailure();
        return Failure;
    }
    int result = NoErrors;
    if (arguments.help) {
        report.Write(synopsis);
        report.Write(usage);
    } else {
        result = checkLevels(arguments, report);
    }
    if (!report.Close()) {
        report.PrintFailure();
        return Failure;
    }
    return result;
}
