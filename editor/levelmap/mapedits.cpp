#include "editor/levelmap/mapedits.h"

#include "core/entryparse.h"
#include "editor/document/stepnames.h"

#include <cmath>

#include <functional>
#include <string_view>
#include <utility>

namespace editor::mapedits {

namespace {

using RowEdit = std::function<level::EntryEdit(std::string_view row)>;

// Counts why an entry stayed as it was; false when no memory is left (nothing is changed then).
bool count(level::EntryEditProblem problem, Outcome& outcome) {
    switch (problem) {
    case level::EntryEditProblem::NotAShip:
        ++outcome.notShips;
        break;
    case level::EntryEditProblem::NotANumber:
        ++outcome.notNumbers;
        break;
    case level::EntryEditProblem::NoTeamToSwap:
        ++outcome.noTeam;
        break;
    case level::EntryEditProblem::BeyondRange:
        ++outcome.beyond;
        break;
    case level::EntryEditProblem::LandsOnItself:
        ++outcome.skipped;
        break;
    case level::EntryEditProblem::NotEnoughMemory:
        outcome = Outcome{};
        outcome.refused = Outcome::Refusal::NoMemory;
        return false;
    case level::EntryEditProblem::NotAnEntry:
        break;
    }
    return true;
}

// Gives each row the text edit makes of it, as one step: "move row 12", "move 3 entries".
Outcome rewrite(LevelDocument& document, const Rows& rows, const RowEdit& edit, const QString& verb,
                const QString& things, MergeKind kind, bool continues) {
    Outcome outcome;
    Rows indices;
    std::vector<std::string> texts;
    for (const Index row : rows) {
        if (row < 0 || row >= document.lines().LineCount())
            continue;
        const std::string& line = document.lines().LineAt(row);
        level::EntryEdit edited = edit(line);
        if (!edited) {
            if (!count(edited.error(), outcome))
                return outcome;
            continue;
        }
        if (*edited == line)
            continue;
        indices.push_back(row);
        texts.push_back(std::move(*edited));
    }
    outcome.changed = static_cast<int>(indices.size());
    if (!indices.empty()) {
        const QString name = stepnames::onRows(verb, indices, things);
        document.rewriteLines(std::move(indices), std::move(texts), name, kind, continues);
    }
    return outcome;
}

Outcome refusal(const LevelDocument& document, std::size_t adding) {
    Outcome outcome;
    outcome.refused = document.lines().LineCount() + adding >
                              static_cast<std::size_t>(level::LevelLineList::MaxRows)
                          ? Outcome::Refusal::TooManyRows
                          : Outcome::Refusal::NoMemory;
    return outcome;
}

} // namespace

Outcome move(LevelDocument& document, const Rows& rows, double dx, double dy, MergeKind kind,
             bool continues) {
    if (dx == 0 && dy == 0)
        return {};
    return rewrite(
        document, rows, [dx, dy](std::string_view row) { return level::MoveEntry(row, dx, dy); },
        QStringLiteral("move"), QStringLiteral("entries"), kind, continues);
}

Outcome turn(LevelDocument& document, const Rows& rows, int degrees, bool held) {
    return rewrite(
        document, rows, [degrees](std::string_view row) { return level::TurnShip(row, degrees); },
        QStringLiteral("turn"), QStringLiteral("ships"), MergeKind::Turn, held);
}

Outcome swapTeam(LevelDocument& document, const Rows& rows) {
    return rewrite(
        document, rows, [](std::string_view row) { return level::SwapShipTeam(row); },
        QStringLiteral("swap the team of"), QStringLiteral("ships"), MergeKind::None, false);
}

Outcome remove(LevelDocument& document, const Rows& rows) {
    Outcome outcome;
    if (rows.empty())
        return outcome;
    outcome.changed = static_cast<int>(rows.size());
    document.removeLines(rows, stepnames::deleted(rows, QStringLiteral("entries")));
    return outcome;
}

Outcome place(LevelDocument& document, std::string line, bool base) {
    std::vector<std::string> rows;
    rows.push_back(std::move(line));
    const QString name =
        stepnames::added(base ? stepnames::Added::PlacedBase : stepnames::Added::PlacedShip);
    if (!document.appendLines(std::move(rows), name, true))
        return refusal(document, 1);
    Outcome outcome;
    outcome.changed = 1;
    return outcome;
}

Outcome mirror(LevelDocument& document, const Rows& rows, level::MirrorMode mode,
               level::MapPoint centre) {
    Outcome outcome;
    Rows copied;
    std::vector<std::string> copies;
    for (const Index row : rows) {
        if (row < 0 || row >= document.lines().LineCount())
            continue;
        level::EntryEdit copy = level::MirrorEntry(document.lines().LineAt(row), mode, centre);
        if (copy) {
            copied.push_back(row);
            copies.push_back(std::move(*copy));
        } else if (!count(copy.error(), outcome)) {
            return outcome;
        }
    }
    if (copies.empty())
        return outcome;
    const std::size_t adding = copies.size();
    const QString name =
        stepnames::onRows(QStringLiteral("mirror"), copied, QStringLiteral("entries"));
    if (!document.appendLines(std::move(copies), name, true)) {
        Outcome refused = refusal(document, adding);
        refused.skipped = outcome.skipped;
        refused.beyond = outcome.beyond;
        return refused;
    }
    outcome.changed = static_cast<int>(adding);
    return outcome;
}

Outcome paste(LevelDocument& document, std::vector<std::string> rows,
              std::optional<level::MapPoint> at, level::MapPoint offset, bool duplicate) {
    if (rows.empty())
        return {};
    if (at) {
        level::MapBounds bounds;
        for (const auto& row : rows) {
            const auto entry = level::ViewEntryLine(row);
            if (entry && !entry->fault && entry->xNumber && entry->yNumber)
                bounds.Add({*entry->xNumber, *entry->yNumber});
        }
        if (!bounds.empty) {
            const level::MapPoint middle = bounds.Centre();
            offset = {std::round(at->x - middle.x), std::round(at->y - middle.y)};
        }
    }
    Outcome outcome;
    if (offset.x != 0 || offset.y != 0) {
        for (auto& row : rows) {
            level::EntryEdit moved = level::MoveEntry(row, offset.x, offset.y);
            if (moved)
                row = std::move(*moved);
            else if (moved.error() == level::EntryEditProblem::BeyondRange)
                ++outcome.beyond; // it goes in where it stood
            else if (moved.error() == level::EntryEditProblem::NotEnoughMemory)
                return refusal(document, 0);
        }
    }
    const std::size_t adding = rows.size();
    const QString name = duplicate ? stepnames::duplicated(adding) : stepnames::pasted(adding);
    if (!document.appendLines(std::move(rows), name, true)) {
        Outcome refused = refusal(document, adding);
        refused.beyond = outcome.beyond;
        return refused;
    }
    outcome.changed = static_cast<int>(adding);
    return outcome;
}

std::optional<level::MapPoint> basesCentre(const LevelDocument& document) {
    return level::FindLevelCentres(document.lines().Lines()).bases;
}

} // namespace editor::mapedits
