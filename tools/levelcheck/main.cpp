// levelcheck: checks level files against a game folder and prints what the game would not load
// as meant and where the two teams differ: one finding per line, the way compilers print theirs,
// or as one JSON document, as GitHub Actions workflow commands, or as a SARIF log.
#include "core/entryparse.h"
#include "core/folderfiles.h"
#include "core/levelcheck.h"
#include "core/levelfile.h"
#include "core/levellinelist.h"
#include "core/utf8.h"

#include <algorithm>
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
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;

enum ExitCode { NoErrors = 0, LevelErrors = 1, Failure = 2 };

constexpr std::string_view synopsis =
    "Usage: levelcheck [--game-folder DIR] [--format FORMAT] [--notes] [--summary] FILE...\n";
constexpr std::string_view usage = R"(
Checks level files: section blocks, ship and base entries, that the ship, base and win
files they name are in the game folder (DIR, the current folder when not given), and
whether the two teams have the same ships and mirror each other.

  --game-folder DIR   where the ship, base and win files are looked for
  --format FORMAT     text (the default), json, github or sarif; also --format=FORMAT
  --notes             also the notes in text and github (json and sarif always have
                      them)
  --summary           also the ships of each team by kind, and the bases, of each level

Findings are errors (the game will not load the level as meant), warnings (likely
mistakes) and notes (facts that may be meant: the teams' ships differ). A level
without errors or warnings prints nothing, unless --notes shows its notes.

Formats:
  text    each finding as FILE:ROW: error: MESSAGE or FILE:ROW: warning: MESSAGE,
          with --notes also FILE:ROW: note: MESSAGE; findings about a level as a
          whole have no row (FILE: warning: MESSAGE).
          --summary adds FILE: team 1: ... · team 2: ... · N bases after each level.
          Control characters in names and quoted texts are written escaped (\n, \t,
          \x1b), and a backslash as \\, so that each finding is one line.
  json    one JSON array, an object per level file in the order given:
            {"path": FILE, "findings": [{"row": ROW or null, "severity": "error",
             "warning" or "note", "rule": RULE, "message": MESSAGE}, ...],
             "tally": {"1": {"ships": N, "kinds": {"typ=1": N, ...}}, "2": {...},
                       "bases": N}}
          A file that cannot be read has "error": MESSAGE instead of findings and
          tally. Bytes of a name that are no UTF-8 are written as U+FFFD.
  github  GitHub Actions workflow commands, one per finding:
            ::error file=FILE,line=ROW,title=RULE::MESSAGE (::warning for warnings,
          with --notes ::notice for notes)
          --summary adds ::notice file=FILE,title=team tally::... for each level.
  sarif   one SARIF 2.1.0 log with one run, for code scanning: the rules, and a
          result for every finding with its level (error, warning, note), the
          file's URI (relative to the current folder when the file lies in it) and
          its row (row 1 for a finding about a level as a whole). A file that cannot
          be read is a notification of the run's invocation.

Rules: open-block, stray-end, no-file-name, missing-file, file-case, blank-row,
unknown-row, missing-field, field-order, text-before-x, not-a-number, unknown-team,
type-beyond, no-winfile, far-off, team-tally, no-mirror (man levelcheck tells each).

Exit codes:
  0  no level has an error (warnings and notes may have been printed)
  1  at least one level has an error
  2  a file or the game folder cannot be read, the report cannot be written, or the
     arguments are wrong
)";

enum class Format { Text, Json, Github, Sarif };

struct Arguments {
    std::string gameFolder = ".";
    std::vector<std::string> files;
    Format format = Format::Text;
    bool notes = false;
    bool summary = false;
    bool help = false;
};

// The format a --format value names, or a message saying it names none.
std::optional<std::string> readFormat(std::string_view name, Format& format) {
    if (name == "text")
        format = Format::Text;
    else if (name == "json")
        format = Format::Json;
    else if (name == "github")
        format = Format::Github;
    else if (name == "sarif")
        format = Format::Sarif;
    else
        return "unknown format \"" + std::string(name) + "\" (text, json, github or sarif)";
    return std::nullopt;
}

// The arguments, or a message saying what is wrong with them.
std::optional<std::string> parseArguments(int argc, char** argv, Arguments& arguments) {
    constexpr std::string_view folderOption = "--game-folder";
    constexpr std::string_view formatOption = "--format";
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
        } else if (argument == formatOption) {
            if (++i == argc)
                return "--format needs a format (text, json, github or sarif)";
            if (auto wrong = readFormat(argv[i], arguments.format))
                return wrong;
        } else if (argument.starts_with(formatOption) && argument[formatOption.size()] == '=') {
            if (auto wrong = readFormat(argument.substr(formatOption.size() + 1), arguments.format))
                return wrong;
        } else if (argument == "--notes") {
            arguments.notes = true;
        } else if (argument == "--summary") {
            arguments.summary = true;
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
// separators count too, as some line readers split at them. A backslash is written "\\", so
// that a name holding the two characters \n reads apart from one holding a line end. Bytes that
// are no UTF-8 stay as they are: a name is printed as its own bytes.
std::string escaped(std::string_view text) {
    static constexpr char hex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
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

// A JSON string (RFC 8259) of UTF-8 text. Quotes, backslashes and control characters are
// escaped (\n, \t, \u001b), and so are DEL, the C1 controls and the line and paragraph
// separators, as escaped() has them: the document stays one finding a line and nothing reaches
// a terminal raw. A byte that is no UTF-8 (names are bytes) becomes U+FFFD, so that the
// document is valid UTF-8 whatever a path holds.
std::string jsonString(std::string_view text) {
    static constexpr char hex[] = "0123456789abcdef";
    const auto codeEscape = [](std::string& out, char32_t code) {
        out += "\\u";
        for (int shift = 12; shift >= 0; shift -= 4)
            out += hex[(code >> shift) & 0xF];
    };
    std::string out = "\"";
    out.reserve(text.size() + 2);
    for (std::size_t i = 0; i < text.size();) {
        const level::Utf8Character character = level::ReadUtf8Character(text, i);
        const char32_t code = character.code;
        if (character.malformed) {
            out += "\\ufffd";
        } else if (code == '"' || code == '\\') {
            out += '\\';
            out += static_cast<char>(code);
        } else if (code == '\n') {
            out += "\\n";
        } else if (code == '\t') {
            out += "\\t";
        } else if (code == '\r') {
            out += "\\r";
        } else if (code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == 0x2028 ||
                   code == 0x2029) {
            codeEscape(out, code);
        } else {
            out.append(text, i, character.next - i);
        }
        i = character.next;
    }
    out += '"';
    return out;
}

// Text for a GitHub Actions workflow command, escaped as the runner reads it back: "%", CR and
// LF as %25, %0D and %0A, and in a property's value (file=, title=) also ":" and "," as %3A and
// %2C, which would end the value. The other control characters, for which the runner has no
// escape, are written as escaped() writes them (\t, \x1b), so that none reaches the log raw.
std::string githubText(std::string_view text, bool property) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '%')
            out += "%25";
        else if (c == '\r')
            out += "%0D";
        else if (c == '\n')
            out += "%0A";
        else if (property && c == ':')
            out += "%3A";
        else if (property && c == ',')
            out += "%2C";
        else
            out += c;
    }
    return escaped(out);
}

// {"ships": 12, "kinds": {"typ=1": 8, "file=fighter.shp": 4}}: the kinds in the tally's order,
// each by its field's key and value as written.
std::string jsonTeam(const level::TeamTally::Team& team) {
    std::string out = "{\"ships\": " + std::to_string(team.ships) + ", \"kinds\": {";
    for (std::size_t i = 0; i < team.kinds.size(); ++i) {
        const level::TeamTally::Kind& kind = team.kinds[i];
        if (i > 0)
            out += ", ";
        out += jsonString(std::string(level::ShipOptionKey(kind.option)) + kind.value) + ": " +
               std::to_string(kind.ships);
    }
    return out + "}}";
}

// A file name of the command line as a path: UTF-8 on Windows, bytes elsewhere. And a path in
// its generic form, with forward slashes, as the same text.
fs::path pathOf(const std::string& text) {
#ifdef _WIN32
    return fs::path(std::u8string(text.begin(), text.end()));
#else
    return fs::path(text);
#endif
}
std::string genericText(const fs::path& path) {
#ifdef _WIN32
    const std::u8string text = path.generic_u8string();
    return std::string(text.begin(), text.end());
#else
    return path.generic_string();
#endif
}

// A path for a URI: letters, digits, "-._~" and "/" as they are, every other byte
// percent-encoded ("a b" as "a%20b", "ö" as "%C3%B6"), ":" too unless `colon` (a relative
// reference's first segment may hold none).
std::string uriPath(std::string_view path, bool colon) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size());
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
            (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' || c == '~' ||
            c == '/' || (colon && c == ':')) {
            out += c;
        } else {
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 0xF];
        }
    }
    return out;
}

// The file URI of an absolute path: "file:///home/x/a.lev", "file:///C:/Games/a.lev",
// "file://server/share/a.lev".
std::string fileUri(const fs::path& absolute) {
    const std::string path = genericText(absolute);
    return (path.starts_with('/') ? "file://" : "file:///") + uriPath(path, true);
}

// Where a level file is for SARIF: a URI reference relative to the working folder when the file
// lies inside it ("levels/a%20b.lev"), else its file URI.
struct ArtifactUri {
    std::string uri;
    bool relative = false;
};
ArtifactUri artifactUri(const std::string& file, const std::optional<fs::path>& workingFolder) {
    std::error_code error;
    const fs::path absolute = fs::absolute(pathOf(file), error).lexically_normal();
    if (error)
        return {uriPath(genericText(pathOf(file)), false), true};
    if (workingFolder) {
        const fs::path relative = absolute.lexically_relative(*workingFolder);
        if (!relative.empty() && relative != "." && *relative.begin() != "..")
            return {uriPath(genericText(relative), false), true};
    }
    return {fileUri(absolute), false};
}

// "error", "warning" or "note", as text and json name a severity, and SARIF its levels.
const char* severityName(level::Finding::Severity severity) {
    switch (severity) {
    case level::Finding::Severity::Error:
        return "error";
    case level::Finding::Severity::Warning:
        return "warning";
    case level::Finding::Severity::Note:
        return "note";
    }
    return "error";
}

// The workflow command that annotates a finding of a severity, with its blank: GitHub's name
// for a note is "notice".
std::string githubCommand(level::Finding::Severity severity) {
    return severity == level::Finding::Severity::Note
               ? std::string("::notice ")
               : std::string("::") + severityName(severity) + " ";
}

// The start of a SARIF log of one run: the tool and its rules, the working folder as
// %SRCROOT%, against which relative file URIs are read, and the opening of the results.
std::string sarifStart(const std::optional<fs::path>& workingFolder) {
    std::string out =
        "{\n  \"$schema\": "
        "\"https://docs.oasis-open.org/sarif/sarif/v2.1.0/errata01/os/schemas/"
        "sarif-schema-2.1.0.json\",\n  \"version\": \"2.1.0\",\n  \"runs\": [\n    {\n"
        "      \"tool\": {\n        \"driver\": {\n          \"name\": \"levelcheck\",\n"
        "          \"version\": \"" LEVELTOOLS_VERSION "\",\n"
        "          \"rules\": [";
    for (std::size_t i = 0; i < level::FindingRules.size(); ++i) {
        const level::FindingRule& rule = level::FindingRules[i];
        out += i == 0 ? "\n            " : ",\n            ";
        out += "{\"id\": " + jsonString(rule.id) +
               ", \"shortDescription\": {\"text\": " + jsonString(rule.description) +
               "}, \"defaultConfiguration\": {\"level\": \"" + severityName(rule.severity) + "\"}}";
    }
    out += "\n          ]\n        }\n      },\n";
    if (workingFolder) {
        std::string folder = fileUri(*workingFolder);
        if (!folder.ends_with('/'))
            folder += '/';
        out += "      \"originalUriBaseIds\": {\"%SRCROOT%\": {\"uri\": " + jsonString(folder) +
               "}},\n";
    }
    return out + "      \"results\": [";
}

// A SARIF location of a level file, on a row when `row` is greater than 0, else the whole file.
std::string sarifLocation(const ArtifactUri& file, int row) {
    std::string out =
        "{\"physicalLocation\": {\"artifactLocation\": {\"uri\": " + jsonString(file.uri) +
        (file.relative ? ", \"uriBaseId\": \"%SRCROOT%\"}" : "}");
    if (row > 0)
        out += ", \"region\": {\"startLine\": " + std::to_string(row) + "}";
    return out + "}}";
}

// The report of all levels in one format, written through `report` level by level.
class Output {
public:
    Output(Report& report, const Arguments& arguments)
        : m_report(report)
        , m_format(arguments.format)
        , m_notes(arguments.notes)
        , m_summary(arguments.summary) {}

    // Before the first level: json opens its array, sarif its log up to the results.
    void Begin() {
        if (m_format == Format::Json)
            m_report.Write("[");
        if (m_format == Format::Sarif) {
            std::error_code error;
            const fs::path folder = fs::current_path(error);
            if (!error)
                m_workingFolder = folder;
            m_report.Write(sarifStart(m_workingFolder));
        }
    }

    // The findings of one level, and with --summary its tally; true when one of them is an
    // error.
    bool Level(const std::string& file, const level::LevelReport& checked) {
        bool error = false;
        for (const level::Finding& finding : checked.findings)
            error = error || isError(finding);
        switch (m_format) {
        case Format::Text:
            text(file, checked);
            break;
        case Format::Json:
            json(file, checked);
            break;
        case Format::Github:
            github(file, checked);
            break;
        case Format::Sarif:
            sarif(file, checked);
            break;
        }
        return error;
    }

    // A level file that could not be read, whose message has gone to standard error. Json has
    // an object for it with the message and neither findings nor tally, so that the level
    // cannot pass for a clean one; text and github have nothing more to say.
    void Unreadable(const std::string& file, const std::string& message) {
        if (m_format == Format::Json)
            m_report.Write(nextObject() + "  {\"path\": " + jsonString(file) +
                           ", \"error\": " + jsonString(message) + "}");
        if (m_format == Format::Sarif)
            m_notifications += std::string(m_notifications.empty() ? "\n" : ",\n") +
                               "            {\"level\": \"error\", \"message\": {\"text\": " +
                               jsonString(message) + "}, \"locations\": [" +
                               sarifLocation(artifactUri(file, m_workingFolder), 0) + "]}";
    }

    // After the last level: json closes its array; sarif its results, and tells in its
    // invocation whether every level could be read, and which could not.
    void End() {
        if (m_format == Format::Json)
            m_report.Write(m_levels == 0 ? "]\n" : "\n]\n");
        if (m_format == Format::Sarif)
            m_report.Write(std::string(m_results == 0 ? "],\n" : "\n      ],\n") +
                           "      \"invocations\": [\n        {\"executionSuccessful\": " +
                           (m_notifications.empty() ? "true" : "false") +
                           ", \"toolExecutionNotifications\": [" + m_notifications +
                           (m_notifications.empty() ? "]}" : "\n        ]}") +
                           "\n      ]\n    }\n  ]\n}\n");
    }

private:
    void text(const std::string& file, const level::LevelReport& checked) {
        const std::string name = escaped(file);
        for (const level::Finding& finding : checked.findings) {
            if (!shown(finding))
                continue;
            std::string line = name + ':';
            if (finding.row > 0)
                line += std::to_string(finding.row) + ':';
            line += std::string(" ") + severityName(finding.severity) + ": ";
            line += escaped(finding.message);
            line += '\n';
            m_report.Write(line);
        }
        if (m_summary)
            m_report.Write(name + ": " + escaped(level::TallyText(checked.tally)) + '\n');
    }

    // One object a level, one finding a line; --summary changes nothing, the tally is always
    // there.
    void json(const std::string& file, const level::LevelReport& checked) {
        std::string out =
            nextObject() + "  {\n    \"path\": " + jsonString(file) + ",\n    \"findings\": [";
        for (std::size_t i = 0; i < checked.findings.size(); ++i) {
            const level::Finding& finding = checked.findings[i];
            out += i == 0 ? "\n      " : ",\n      ";
            out += "{\"row\": " + (finding.row > 0 ? std::to_string(finding.row) : "null") +
                   ", \"severity\": \"" + severityName(finding.severity) + '"' +
                   ", \"rule\": " + jsonString(finding.rule) +
                   ", \"message\": " + jsonString(finding.message) + "}";
        }
        out += checked.findings.empty() ? "],\n" : "\n    ],\n";
        const level::TeamTally& tally = checked.tally;
        out += "    \"tally\": {\n      \"1\": " + jsonTeam(tally.teams[0]) +
               ",\n      \"2\": " + jsonTeam(tally.teams[1]) +
               ",\n      \"bases\": " + std::to_string(tally.bases) + "\n    }\n  }";
        m_report.Write(out);
    }

    // ::error file=levels/a.lev,line=3,title=missing-file::lost.shp does not exist in ...
    void github(const std::string& file, const level::LevelReport& checked) {
        const std::string fileProperty = "file=" + githubText(file, true);
        for (const level::Finding& finding : checked.findings) {
            if (!shown(finding))
                continue;
            std::string line = githubCommand(finding.severity);
            line += fileProperty;
            if (finding.row > 0)
                line += ",line=" + std::to_string(finding.row);
            line += ",title=" + githubText(finding.rule, true) +
                    "::" + githubText(finding.message, false) + '\n';
            m_report.Write(line);
        }
        if (m_summary)
            m_report.Write("::notice " + fileProperty + ",title=team tally::" +
                           githubText(level::TallyText(checked.tally), false) + '\n');
    }

    // One result a finding, notes too; --summary changes nothing. A finding about the level as
    // a whole stands on its first row, as GitHub's code scanning shows only results on a line.
    void sarif(const std::string& file, const level::LevelReport& checked) {
        const ArtifactUri uri = artifactUri(file, m_workingFolder);
        std::string out;
        for (const level::Finding& finding : checked.findings) {
            const auto rule = std::find_if(
                level::FindingRules.begin(), level::FindingRules.end(),
                [&finding](const level::FindingRule& known) { return known.id == finding.rule; });
            out += m_results++ == 0 ? "\n        " : ",\n        ";
            out += "{\"ruleId\": " + jsonString(finding.rule);
            if (rule != level::FindingRules.end())
                out += ", \"ruleIndex\": " + std::to_string(rule - level::FindingRules.begin());
            out += std::string(", \"level\": \"") + severityName(finding.severity) +
                   "\", \"message\": {\"text\": " + jsonString(finding.message) +
                   "}, \"locations\": [" + sarifLocation(uri, std::max(finding.row, 1)) + "]}";
        }
        m_report.Write(out);
    }

    static bool isError(const level::Finding& finding) {
        return finding.severity == level::Finding::Severity::Error;
    }

    // Whether text and github write a finding: notes only when asked for.
    bool shown(const level::Finding& finding) const {
        return m_notes || finding.severity != level::Finding::Severity::Note;
    }

    // What goes before a level's object in the json array.
    std::string nextObject() { return m_levels++ == 0 ? "\n" : ",\n"; }

    Report& m_report;
    Format m_format;
    bool m_notes;
    bool m_summary;
    std::size_t m_levels = 0;
    std::size_t m_results = 0;               // sarif's, so far
    std::string m_notifications;             // sarif's, of the levels that could not be read
    std::optional<fs::path> m_workingFolder; // sarif's %SRCROOT%
};

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

// Checks every level and reports its findings; the exit code. When the game folder cannot be
// read, nothing is written on standard output, not even an empty json array.
int checkLevels(const Arguments& arguments, Report& report) {
    const auto folder = level::FolderFiles::Read(arguments.gameFolder);
    if (!folder) {
        std::cerr << "levelcheck: " << escaped(folder.error().Message()) << '\n';
        return Failure;
    }
    const level::FileLookup lookup = [&folder](const std::string& name) {
        return folder->Lookup(name);
    };

    Output output(report, arguments);
    output.Begin();
    int result = NoErrors;
    for (const std::string& file : arguments.files) {
        level::LevelLineList level;
        if (const auto loaded = level::LoadLevelFile(file, level); !loaded) {
            report.Flush(); // keep the order of both streams on a terminal
            const std::string message = loaded.error().Message();
            std::cerr << "levelcheck: " << escaped(message) << '\n';
            output.Unreadable(file, message);
            result = Failure;
            continue;
        }
        if (output.Level(file, level::CheckLevelAndTeams(level.Lines(), lookup)) &&
            result == NoErrors)
            result = LevelErrors;
    }
    output.End();
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
