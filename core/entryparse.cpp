#include "core/entryparse.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace level {

namespace {

constexpr std::string_view shipHead = "ADD SHIP";
constexpr std::string_view baseHead = "ADD BASE";
constexpr std::size_t headLength = 8; // both heads

// The keys as they stand in a row, each with its leading blank.
constexpr std::array<std::string_view, 4> shipKeys{" x=", " y=", " r=", " team="};
constexpr std::array<std::string_view, 3> baseKeys{" x=", " y=", " file="};
constexpr std::array<std::string_view, 3> optionKeys{" file=", " typ=", " sl="};
constexpr std::array<ShipOption, 3> options{ShipOption::File, ShipOption::Type, ShipOption::Level};

// Compared by hand: the keys are a few characters long, too short to be worth a call of memcmp.
bool endsWith(std::string_view text, std::string_view key) {
    if (text.size() < key.size())
        return false;
    const char* tail = text.data() + (text.size() - key.size());
    for (std::size_t i = key.size(); i-- > 0;)
        if (tail[i] != key[i])
            return false;
    return true;
}

// Where the first occurrence of any of the keys at or after from starts, and which key it is.
// Every key ends with its only "=", so the occurrence that starts first is the one whose "="
// comes first, and looking at each "=" of the row (a few) is quicker than searching for each
// key's blank (many).
struct KeyHit {
    std::size_t start = std::string_view::npos;
    std::size_t index = 0;
};

KeyHit findKey(std::string_view line, std::span<const std::string_view> keys, std::size_t from) {
    for (std::size_t equals = line.find('=', from); equals != std::string_view::npos;
         equals = line.find('=', equals + 1)) {
        const std::size_t end = equals + 1;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const std::string_view key = keys[i];
            if (end - from >= key.size() && endsWith(line.substr(0, end), key))
                return {end - key.size(), i};
        }
    }
    return {};
}

std::size_t findKey(std::string_view line, std::string_view key, std::size_t from) {
    return findKey(line, std::span(&key, 1), from).start;
}

// ReadNumber with "." as separator. The numbers of entry lines are nearly all whole numbers,
// with NumberText's sign column (" 100", "-20") or without (r "270"); those are read here
// directly, any other text goes to ReadNumber. A whole number of up to 15 digits is exact in a
// double, so both ways give the same value.
std::optional<double> readEntryNumber(std::string_view text) {
    const bool negative = !text.empty() && text[0] == '-';
    const std::size_t first = !text.empty() && (negative || text[0] == ' ') ? 1 : 0;
    const std::size_t digits = text.size() - first;
    if (digits >= 1 && digits <= 15) {
        std::int64_t whole = 0;
        std::size_t i = first;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
            whole = whole * 10 + (text[i] - '0');
        if (i == text.size()) {
            const auto value = static_cast<double>(whole);
            return negative ? -value : value;
        }
    }
    if (const auto number = ReadNumber(text, "."))
        return *number;
    return std::nullopt;
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

std::optional<EntryView> ViewEntryLine(std::string_view line) {
    const bool ship = line.starts_with(shipHead);
    if (!ship && !line.starts_with(baseHead))
        return std::nullopt;
    if (line.size() > headLength && line[headLength] != ' ')
        return std::nullopt; // "ADD SHIPS", "ADD BASEx=0"

    // Built in place: the view is some 200 bytes, worth neither a copy nor a second clearing.
    std::optional<EntryView> result(std::in_place);
    EntryView& entry = *result;
    entry.kind = ship ? EntryKind::Ship : EntryKind::Base;
    const std::size_t fixedCount = ship ? shipKeys.size() : baseKeys.size();
    auto keyAt = [&](std::size_t i) { return ship ? shipKeys[i] : baseKeys[i]; };

    // Where each key begins and where its value begins; after the last key, the row's end.
    std::array<std::size_t, 6> starts; // filled up to count
    std::array<std::size_t, 5> ends;
    std::size_t from = headLength;
    for (std::size_t i = 0; i < fixedCount; ++i) {
        const std::string_view key = keyAt(i);
        const std::size_t pos = findKey(line, key, from);
        if (pos == std::string_view::npos) {
            const bool earlier = i > 0 && findKey(line, key, headLength) != std::string_view::npos;
            entry.fault = earlier
                              ? EntryFault{EntryFault::Kind::OutOfOrder, withoutBlank(key),
                                           withoutBlank(keyAt(i - 1))}
                              : EntryFault{EntryFault::Kind::MissingField, withoutBlank(key), {}};
            return result;
        }
        starts[i] = pos;
        ends[i] = from = pos + key.size();
    }
    std::size_t count = fixedCount;
    if (ship) {
        const KeyHit hit = findKey(line, optionKeys, from);
        if (hit.start == std::string_view::npos) {
            const KeyHit earlier = findKey(line, optionKeys, headLength);
            entry.fault =
                earlier.start != std::string_view::npos
                    ? EntryFault{EntryFault::Kind::OutOfOrder,
                                 withoutBlank(optionKeys[earlier.index]), "team="}
                    : EntryFault{EntryFault::Kind::MissingField, "file=, typ= or sl=", {}};
            return result;
        }
        entry.option = options[hit.index];
        starts[count] = hit.start;
        ends[count] = hit.start + optionKeys[hit.index].size();
        ++count;
    }

    if (line.substr(headLength, starts[0] - headLength).find_first_not_of(' ') !=
        std::string_view::npos) {
        entry.fault = EntryFault{EntryFault::Kind::TextBeforeX, "x=", {}};
        return result;
    }
    entry.head = line.substr(0, starts[0]);
    starts[count] = line.size();

    auto value = [&](std::size_t i) { return line.substr(ends[i], starts[i + 1] - ends[i]); };
    entry.x = value(0);
    entry.y = value(1);
    entry.xNumber = readEntryNumber(entry.x);
    entry.yNumber = readEntryNumber(entry.y);
    if (ship) {
        entry.r = value(2);
        entry.team = value(3);
        entry.value = value(4);
        entry.rNumber = readEntryNumber(entry.r);
    } else {
        entry.value = value(2);
    }
    return result;
}

std::optional<ParsedEntry> ParseEntryLine(std::string_view line) {
    std::optional<EntryView> view = ViewEntryLine(line);
    if (!view)
        return std::nullopt;
    return ParsedEntry{view->kind,           std::string(view->head),
                       std::string(view->x), std::string(view->y),
                       std::string(view->r), std::string(view->team),
                       view->option,         std::string(view->value),
                       view->xNumber,        view->yNumber,
                       view->rNumber,        std::move(view->fault)};
}

} // namespace level
