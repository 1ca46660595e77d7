#include "entryparse.h"

#include <array>
#include <cstddef>

namespace {

constexpr std::string_view shipHead = "ADD SHIP";
constexpr std::string_view baseHead = "ADD BASE";
constexpr std::size_t headLength = 8; // both heads

// The keys as they stand in a row, each with its leading blank.
constexpr std::array<std::string_view, 4> shipKeys{" x=", " y=", " r=", " team="};
constexpr std::array<std::string_view, 3> baseKeys{" x=", " y=", " file="};
constexpr std::array<std::string_view, 3> optionKeys{" file=", " typ=", " sl="};
constexpr std::array<ShipOption, 3> options{ShipOption::File, ShipOption::Type, ShipOption::Level};

// Where the first of the option keys occurs at or after from, and which it is.
struct OptionHit {
    std::size_t pos = std::string_view::npos;
    std::size_t index = 0;
};

OptionHit findOption(std::string_view line, std::size_t from) {
    OptionHit hit;
    for (std::size_t i = 0; i < optionKeys.size(); ++i) {
        const std::size_t pos = line.find(optionKeys[i], from);
        if (pos < hit.pos)
            hit = {pos, i};
    }
    return hit;
}

std::string withoutBlank(std::string_view key) {
    return std::string(key.substr(1));
}

} // namespace

std::string EntryFault::Describe() const {
    switch (kind) {
    case Kind::MissingField:
        return "lacks the field " + field;
    case Kind::OutOfOrder:
        return "has " + field + " before " + before;
    case Kind::TextBeforeX:
        return "has text other than blanks before x=";
    }
    return {};
}

std::string_view ShipOptionKey(ShipOption option) {
    switch (option) {
    case ShipOption::File:
        return "file=";
    case ShipOption::Type:
        return "typ=";
    case ShipOption::Level:
        return "sl=";
    }
    return {};
}

std::optional<ParsedEntry> ParseEntryLine(std::string_view line) {
    ParsedEntry entry;
    if (line.starts_with(shipHead))
        entry.kind = EntryKind::Ship;
    else if (line.starts_with(baseHead))
        entry.kind = EntryKind::Base;
    else
        return std::nullopt;
    if (line.size() > headLength && line[headLength] != ' ')
        return std::nullopt; // "ADD SHIPS", "ADD BASEx=0"
    const bool ship = entry.kind == EntryKind::Ship;
    const std::size_t fixedCount = ship ? shipKeys.size() : baseKeys.size();
    auto keyAt = [&](std::size_t i) { return ship ? shipKeys[i] : baseKeys[i]; };

    // Where each key begins and where its value begins; after the last key, the row's end.
    std::array<std::size_t, 6> starts{};
    std::array<std::size_t, 5> ends{};
    std::size_t from = headLength;
    for (std::size_t i = 0; i < fixedCount; ++i) {
        const std::string_view key = keyAt(i);
        const std::size_t pos = line.find(key, from);
        if (pos == std::string_view::npos) {
            const bool earlier = i > 0 && line.find(key, headLength) != std::string_view::npos;
            entry.fault = earlier
                              ? EntryFault{EntryFault::Kind::OutOfOrder, withoutBlank(key),
                                           withoutBlank(keyAt(i - 1))}
                              : EntryFault{EntryFault::Kind::MissingField, withoutBlank(key), {}};
            return entry;
        }
        starts[i] = pos;
        ends[i] = from = pos + key.size();
    }
    std::size_t count = fixedCount;
    if (ship) {
        const OptionHit hit = findOption(line, from);
        if (hit.pos == std::string_view::npos) {
            const OptionHit earlier = findOption(line, headLength);
            entry.fault =
                earlier.pos != std::string_view::npos
                    ? EntryFault{EntryFault::Kind::OutOfOrder,
                                 withoutBlank(optionKeys[earlier.index]), "team="}
                    : EntryFault{EntryFault::Kind::MissingField, "file=, typ= or sl=", {}};
            return entry;
        }
        entry.option = options[hit.index];
        starts[count] = hit.pos;
        ends[count] = hit.pos + optionKeys[hit.index].size();
        ++count;
    }

    if (line.substr(headLength, starts[0] - headLength).find_first_not_of(' ') !=
        std::string_view::npos) {
        entry.fault = EntryFault{EntryFault::Kind::TextBeforeX, "x=", {}};
        return entry;
    }
    entry.head = std::string(line.substr(0, starts[0]));
    starts[count] = line.size();

    auto value = [&](std::size_t i) {
        return std::string(line.substr(ends[i], starts[i + 1] - ends[i]));
    };
    entry.x = value(0);
    entry.y = value(1);
    entry.xNumber = ReadNumber(entry.x, ".");
    entry.yNumber = ReadNumber(entry.y, ".");
    if (ship) {
        entry.r = value(2);
        entry.team = value(3);
        entry.value = value(4);
        entry.rNumber = ReadNumber(entry.r, ".");
    } else {
        entry.value = value(2);
    }
    return entry;
}
