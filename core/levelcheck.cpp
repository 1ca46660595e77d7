#include "core/levelcheck.h"

#include "core/entryparse.h"
#include "core/sectionblocks.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace level {

namespace {

using Severity = Finding::Severity;

// Hashing that lets the cache be searched with a string_view.
struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const noexcept {
        return std::hash<std::string_view>{}(name);
    }
};

std::string concat(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (std::string_view part : parts)
        size += part.size();
    std::string text;
    text.reserve(size);
    for (std::string_view part : parts)
        text += part;
    return text;
}

// One pass over the rows, collecting findings row by row.
class Checker {
public:
    explicit Checker(const FileLookup& fileExists)
        : m_fileExists(fileExists) {}

    std::vector<Finding> Run(const std::vector<std::string>& rows) {
        for (std::size_t i = 0; i < rows.size(); ++i)
            checkRow(static_cast<int>(i + 1), rows[i]);
        if (m_block)
            notClosed();
        checkTypes();
        if (!m_sawWinFile)
            add(0, Severity::Warning, "the level has no [winfile] block");
        // Findings are added in row order, except those known only later: an unclosed block
        // (on its opening row), types (once all ship files are counted) and the level's own.
        // A stable sort keeps each row's findings in their order.
        const auto byRow = [](const Finding& a, const Finding& b) { return a.row < b.row; };
        if (!std::is_sorted(m_findings.begin(), m_findings.end(), byRow))
            std::stable_sort(m_findings.begin(), m_findings.end(), byRow);
        return std::move(m_findings);
    }

private:
    struct OpenBlock {
        int row = 0;
        std::string_view marker;
    };
    struct TypeUse {
        int row = 0;
        std::string_view text; // in the rows, which outlive the check
    };

    void add(int row, Severity severity, std::string message) {
        m_findings.push_back({row, severity, std::move(message)});
    }

    void checkRow(int row, const std::string& text) {
        if (text == ShipFilesMarker || text == WinFileMarker) {
            if (m_block)
                notClosed();
            m_block = OpenBlock{row, text == ShipFilesMarker ? ShipFilesMarker : WinFileMarker};
            (text == WinFileMarker ? m_sawWinFile : m_sawShipFiles) = true;
        } else if (text == EndMarker) {
            if (!m_block)
                add(row, Severity::Error, "[end] closes no open block");
            m_block.reset();
        } else if (m_block) {
            if (m_block->marker == ShipFilesMarker)
                ++m_shipFileCount;
            checkFile(row, text,
                      m_block->marker == ShipFilesMarker ? "the row in the [shipfiles] block"
                                                         : "the row in the [winfile] block");
        } else if (!text.empty()) {
            checkOutsideRow(row, text);
        }
    }

    void notClosed() {
        add(m_block->row, Severity::Error,
            "the " + std::string(m_block->marker) + " block is not closed by [end]");
    }

    void checkOutsideRow(int row, const std::string& text) {
        const std::optional<EntryView> entry = ViewEntryLine(text);
        if (!entry) {
            add(row, Severity::Error,
                text.find_first_not_of(' ') == std::string::npos
                    ? "the row holds only blanks, which is neither an entry nor an empty row"
                    : "the row is neither a ship entry, a base entry, a section marker nor "
                      "empty");
            return;
        }
        const bool ship = entry->kind == EntryKind::Ship;
        const std::string_view what = ship ? "the ship entry" : "the base entry";
        if (entry->fault) {
            add(row, Severity::Error, concat({what, " ", entry->fault->Describe()}));
            return;
        }
        if (!entry->xNumber)
            add(row, Severity::Error,
                concat({what, "'s x= value \"", entry->x, "\" is not a number"}));
        if (!entry->yNumber)
            add(row, Severity::Error,
                concat({what, "'s y= value \"", entry->y, "\" is not a number"}));
        farOff(row, "x=", entry->x, entry->xNumber);
        farOff(row, "y=", entry->y, entry->yNumber);

        if (!ship) {
            checkFile(row, entry->value, "the base entry's file=");
            return;
        }
        if (entry->team != "1" && entry->team != "2")
            add(row, Severity::Warning,
                concat({"team=", entry->team, " is neither team 1 nor team 2"}));
        if (entry->option == ShipOption::File) {
            checkFile(row, entry->value, "the ship entry's file=");
        } else if (entry->option == ShipOption::Type) {
            m_types.push_back({row, entry->value});
        }
    }

    // A coordinate the map does not draw: "x=10000000 is beyond ±1,000,000: ...".
    void farOff(int row, std::string_view key, std::string_view text,
                const std::optional<double>& number) {
        if (!number || std::abs(*number) <= MapCoordinateLimit)
            return;
        const std::size_t first = text.find_first_not_of(" \t");
        text = first == std::string_view::npos ? std::string_view() : text.substr(first);
        text = text.substr(0, text.find_last_not_of(" \t") + 1);
        add(row, Severity::Warning,
            concat({key, text, " is beyond \u00b11,000,000: the map does not show it"}));
    }

    // A file name as the game would look it up; `where` names the place of the name.
    void checkFile(int row, std::string_view name, std::string_view where) {
        if (name.find_first_not_of(' ') == std::string_view::npos) {
            add(row, Severity::Error, concat({where, " names no file"}));
            return;
        }
        switch (presence(name)) {
        case FilePresence::Exists:
            break;
        case FilePresence::OtherCase:
            add(row, Severity::Warning,
                concat({name, " exists in the game folder only in other letter case"}));
            break;
        case FilePresence::Missing:
            add(row, Severity::Error, concat({name, " does not exist in the game folder"}));
            break;
        }
    }

    FilePresence presence(std::string_view name) {
        const auto known = m_presence.find(name);
        if (known != m_presence.end())
            return known->second;
        std::string key(name);
        const FilePresence found = m_fileExists(key);
        m_presence.emplace(std::move(key), found);
        return found;
    }

    // Types are checked once the whole level's ship files are counted. Without any
    // [shipfiles] block the level lists no ship files to compare with.
    void checkTypes() {
        if (!m_sawShipFiles)
            return;
        for (const TypeUse& use : m_types) {
            const auto number = ReadNumber(use.text, ".");
            if (!number || *number != std::floor(*number) ||
                *number <= static_cast<double>(m_shipFileCount))
                continue;
            add(use.row, Severity::Warning,
                "typ=" + std::string(use.text) + " asks for ship file " +
                    NumberText(*number).substr(1) + ", but the level lists only " +
                    std::to_string(m_shipFileCount) +
                    (m_shipFileCount == 1 ? " ship file" : " ship files"));
        }
    }

    const FileLookup& m_fileExists;
    std::vector<Finding> m_findings;
    std::optional<OpenBlock> m_block;
    bool m_sawWinFile = false;
    bool m_sawShipFiles = false;
    std::size_t m_shipFileCount = 0;
    std::vector<TypeUse> m_types;
    std::unordered_map<std::string, FilePresence, NameHash, std::equal_to<>> m_presence;
};

} // namespace

std::vector<Finding> CheckLevel(const std::vector<std::string>& rows,
                                const FileLookup& fileExists) {
    return Checker(fileExists).Run(rows);
}

} // namespace level
