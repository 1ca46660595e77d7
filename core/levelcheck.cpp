#include "core/levelcheck.h"

#include "core/entryedit.h"
#include "core/entryparse.h"
#include "core/sectionblocks.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
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

std::string_view faultRule(EntryFault::Kind kind) {
    switch (kind) {
    case EntryFault::Kind::MissingField:
        return "missing-field";
    case EntryFault::Kind::OutOfOrder:
        return "field-order";
    case EntryFault::Kind::TextBeforeX:
        return "text-before-x";
    }
    return "missing-field";
}

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

// A kind's rank in the tally: types, ship levels, files.
int optionRank(ShipOption option) {
    switch (option) {
    case ShipOption::Type:
        return 0;
    case ShipOption::Level:
        return 1;
    case ShipOption::File:
        return 2;
    }
    return 2;
}

// A number of the centre without NumberText's sign column: "1000", "-20", "1000.5".
std::string centreText(double value) {
    std::string text = NumberText(value);
    if (text.front() == ' ')
        text.erase(0, 1);
    return text;
}

std::string_view modeText(MirrorMode mode) {
    switch (mode) {
    case MirrorMode::Point:
        return "point symmetry";
    case MirrorMode::LeftRight:
        return "left↔right";
    case MirrorMode::TopBottom:
        return "top↔bottom";
    }
    return {};
}

// The ships and bases of a level, gathered while its rows are checked, and what they say about
// the two teams: the tally and the ships that no ship of the other team mirrors.
class TeamCheck {
public:
    void AddBase(const EntryView& entry) {
        ++m_bases;
        if (entry.xNumber && entry.yNumber) {
            m_places.push_back({*entry.xNumber, *entry.yNumber});
            m_basePlaces.push_back(m_places.back());
        }
    }

    void AddShip(int row, const EntryView& entry) {
        const bool placed = entry.xNumber && entry.yNumber;
        if (placed)
            m_places.push_back({*entry.xNumber, *entry.yNumber});
        const int team = entry.team == "1" ? 0 : entry.team == "2" ? 1 : -1;
        if (team < 0)
            return;
        const int kind = kindOf(entry.option, entry.value);
        ++m_kinds[static_cast<std::size_t>(kind)].ships[static_cast<std::size_t>(team)];
        ++m_teamShips[static_cast<std::size_t>(team)];
        if (!placed || !onGrid(*entry.xNumber) || !onGrid(*entry.yNumber))
            return;
        Ship ship;
        ship.row = row;
        ship.team = team;
        ship.kind = kind;
        ship.x = *entry.xNumber;
        ship.y = *entry.yNumber;
        ship.cellX = static_cast<std::int64_t>(std::floor(ship.x));
        ship.cellY = static_cast<std::int64_t>(std::floor(ship.y));
        ship.hasHeading = entry.rNumber.has_value();
        ship.heading = fullCircle(entry.rNumber.value_or(0));
        ship.headingText = entry.r;
        m_ships.push_back(ship);
    }

    TeamTally Tally() const {
        TeamTally tally;
        tally.bases = m_bases;
        for (std::size_t team = 0; team < 2; ++team) {
            tally.teams[team].ships = m_teamShips[team];
            for (const int kind : kindOrder()) {
                const KindUse& use = m_kinds[static_cast<std::size_t>(kind)];
                if (use.ships[team] > 0)
                    tally.teams[team].kinds.push_back(
                        {use.option, std::string(use.value), use.ships[team]});
            }
        }
        return tally;
    }

    void AddFindings(std::vector<Finding>& findings) {
        for (const int kind : kindOrder()) {
            const KindUse& use = m_kinds[static_cast<std::size_t>(kind)];
            if (use.ships[0] == use.ships[1])
                continue;
            const std::size_t fewer = use.ships[0] < use.ships[1] ? 0 : 1;
            const int missing = std::abs(use.ships[0] - use.ships[1]);
            findings.push_back({0, Finding::Severity::Note,
                                "team " + std::to_string(fewer + 1) + " has " +
                                    (missing == 1 ? "one" : std::to_string(missing)) + " " +
                                    ShipKindText(use.option, use.value) +
                                    (missing == 1 ? " ship" : " ships") + " fewer than team " +
                                    std::to_string(2 - fewer),
                                "team-tally"});
        }
        addMirrorFindings(findings);
    }

private:
    struct KindUse {
        ShipOption option = ShipOption::Type;
        std::string_view value; // in the rows, which outlive the check
        std::array<int, 2> ships{};
    };
    struct Ship {
        int row = 0;
        int team = 0; // 0 for team 1, 1 for team 2
        int kind = 0;
        double x = 0;
        double y = 0;
        std::int64_t cellX = 0; // the unit square the ship stands in
        std::int64_t cellY = 0;
        bool hasHeading = false;
        double heading = 0; // brought to [0, 360)
        std::string_view headingText;
    };

    // A heading brought to [0, 360).
    static double fullCircle(double degrees) {
        if (degrees >= 0 && degrees < 360)
            return degrees;
        const double turned = std::fmod(degrees, 360.0);
        return turned < 0 ? turned + 360.0 : turned;
    }

    // Far beyond any level, and small enough for a whole number of 64 bits.
    static bool onGrid(double coordinate) { return std::fabs(coordinate) < 1e15; }

    int kindOf(ShipOption option, std::string_view value) {
        auto& ids = m_kindIds[static_cast<std::size_t>(optionRank(option))];
        const auto [it, added] = ids.try_emplace(value, static_cast<int>(m_kinds.size()));
        if (added)
            m_kinds.push_back({option, value, {}});
        return it->second;
    }

    // The kinds in the tally's order: by option, numbers by their digits (shorter first),
    // files by name.
    std::vector<int> kindOrder() const {
        std::vector<int> order(m_kinds.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = static_cast<int>(i);
        std::sort(order.begin(), order.end(), [this](int a, int b) {
            const KindUse& ka = m_kinds[static_cast<std::size_t>(a)];
            const KindUse& kb = m_kinds[static_cast<std::size_t>(b)];
            if (ka.option != kb.option)
                return optionRank(ka.option) < optionRank(kb.option);
            if (ka.option != ShipOption::File && ka.value.size() != kb.value.size())
                return ka.value.size() < kb.value.size();
            return ka.value < kb.value;
        });
        return order;
    }

    static std::uint64_t cellHash(int team, int kind, std::int64_t x, std::int64_t y) {
        std::uint64_t h = static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15u;
        h ^= static_cast<std::uint64_t>(y) * 0xC2B2AE3D27D4EB4Fu;
        h ^= static_cast<std::uint64_t>(kind * 2 + team) * 0x165667B19E3779F9u;
        h ^= h >> 29;
        h *= 0xBF58476D1CE4E5B9u;
        return h ^ (h >> 32);
    }

    // The ships in a hash table by team, kind and unit square, chained through m_next.
    void buildGrid() {
        std::size_t buckets = 16;
        while (buckets < 2 * m_ships.size())
            buckets *= 2;
        m_mask = buckets - 1;
        m_head.assign(buckets, -1);
        m_next.assign(m_ships.size(), -1);
        for (std::size_t i = 0; i < m_ships.size(); ++i) {
            const Ship& s = m_ships[i];
            const std::size_t bucket = cellHash(s.team, s.kind, s.cellX, s.cellY) & m_mask;
            m_next[i] = m_head[bucket];
            m_head[bucket] = static_cast<std::int32_t>(i);
        }
    }

    // Whether the heading of `other` is within 1° of `mirrored`, the mirrored heading of `ship`;
    // a heading that is not a number matches only the same text.
    static bool headingNear(double mirrored, const Ship& ship, const Ship& other) {
        if (ship.hasHeading != other.hasHeading)
            return false;
        if (!ship.hasHeading)
            return ship.headingText == other.headingText;
        const double apart = std::fabs(mirrored - other.heading); // both in [0, 360)
        return std::min(apart, 360.0 - apart) <= 1.0 + 1e-9;
    }

    static bool headingsMatch(MirrorMode mode, const Ship& ship, const Ship& other) {
        return headingNear(MirroredHeading(mode, ship.heading), ship, other);
    }

    // Whether a ship of the other team and the same kind stands at the ship's mirrored place.
    bool mirrored(MirrorMode mode, MapPoint centre, const Ship& ship) const {
        const MapPoint target = MirroredPoint(mode, centre, {ship.x, ship.y});
        if (!onGrid(target.x) || !onGrid(target.y))
            return false;
        const auto cellX = static_cast<std::int64_t>(std::floor(target.x));
        const auto cellY = static_cast<std::int64_t>(std::floor(target.y));
        const int team = 1 - ship.team;
        // A ship within 1 unit stands in the target's square or one of its eight neighbours;
        // the target's own square first, where an exact mirror stands.
        static constexpr std::array<std::array<int, 2>, 9> around{
            {{0, 0}, {-1, 0}, {1, 0}, {0, -1}, {0, 1}, {-1, -1}, {-1, 1}, {1, -1}, {1, 1}}};
        for (const auto& [dx, dy] : around) {
            const std::int64_t x = cellX + dx;
            const std::int64_t y = cellY + dy;
            for (std::int32_t i = m_head[cellHash(team, ship.kind, x, y) & m_mask]; i >= 0;
                 i = m_next[static_cast<std::size_t>(i)]) {
                const Ship& other = m_ships[static_cast<std::size_t>(i)];
                if (other.team != team || other.kind != ship.kind || other.cellX != x ||
                    other.cellY != y)
                    continue;
                const double ddx = other.x - target.x;
                const double ddy = other.y - target.y;
                if (ddx * ddx + ddy * ddy <= 1.0 + 1e-9 && headingsMatch(mode, ship, other))
                    return true;
            }
        }
        return false;
    }

    // A centre to try in one mode. Left↔right reads only its x, top↔bottom only its y.
    struct Trial {
        MirrorMode mode = MirrorMode::Point;
        MapPoint centre;
    };

    static constexpr std::array<MirrorMode, 3> modes{MirrorMode::Point, MirrorMode::LeftRight,
                                                     MirrorMode::TopBottom};

    // Whether two centres are the same one for the mode.
    static bool sameCentre(MirrorMode mode, MapPoint a, MapPoint b) {
        return (mode == MirrorMode::TopBottom || a.x == b.x) &&
               (mode == MirrorMode::LeftRight || a.y == b.y);
    }

    // How far the search for the centre goes, so that it stays within a few milliseconds at the
    // largest level: at most MaxAnchors ships of team 1 vote, with at most MaxPairs pairs in all,
    // the MaxVoted centres of each mode with the most votes are tried, every trial on a sample
    // of at most SampleShips ships, and only the best of them on every ship.
    static constexpr std::size_t MaxAnchors = 16;
    static constexpr std::size_t MaxPairs = 16384;
    static constexpr std::size_t MaxVoted = 4;
    static constexpr std::size_t SampleShips = 512;

    // A centre a pair of ships votes for: twice its x and y, rounded (left↔right keeps y 0,
    // top↔bottom x), so that the votes for one centre meet exactly.
    struct Vote {
        std::int64_t x = 0;
        std::int64_t y = 0;
        bool operator==(const Vote&) const = default;
    };
    // A centre voted for, its votes, and its first vote's place among the mode's votes.
    struct Count {
        Vote centre;
        std::size_t votes = 0;
        std::size_t first = 0;
    };

    // The MaxVoted centres with the most votes, ties to the first voted for, best first.
    static std::vector<Count> mostVoted(const std::vector<Vote>& votes) {
        std::size_t slots = 16;
        while (slots < 2 * votes.size())
            slots *= 2;
        std::vector<std::int32_t> slot(slots, -1); // into counts
        std::vector<Count> counts;
        for (std::size_t i = 0; i < votes.size(); ++i) {
            const Vote& vote = votes[i];
            std::uint64_t h = static_cast<std::uint64_t>(vote.x) * 0x9E3779B97F4A7C15u ^
                              static_cast<std::uint64_t>(vote.y) * 0xC2B2AE3D27D4EB4Fu;
            h ^= h >> 31;
            for (std::size_t at = h & (slots - 1);; at = (at + 1) & (slots - 1)) {
                if (slot[at] < 0) {
                    slot[at] = static_cast<std::int32_t>(counts.size());
                    counts.push_back({vote, 1, i});
                    break;
                }
                Count& known = counts[static_cast<std::size_t>(slot[at])];
                if (known.centre == vote) {
                    ++known.votes;
                    break;
                }
            }
        }
        const auto better = [](const Count& a, const Count& b) {
            return a.votes != b.votes ? a.votes > b.votes : a.first < b.first;
        };
        std::vector<Count> top;
        for (const Count& count : counts) {
            if (top.size() == MaxVoted && !better(count, top.back()))
                continue;
            if (top.size() == MaxVoted)
                top.pop_back();
            top.insert(std::upper_bound(top.begin(), top.end(), count, better), count);
        }
        return top;
    }

    // The centres that pairs of ships vote for, the most voted of each mode. A ship of team 1
    // (an anchor) and a ship of team 2 of the same kind vote for the centre about which they
    // mirror each other in a mode, when there is one: left↔right needs their y within a unit,
    // top↔bottom their x, and each mode their headings to match. Every anchor that the best
    // centre's mirror maps onto a ship votes for it, a chance centre gets few votes. The anchors
    // are spread over team 1's ships in row order.
    std::vector<Trial> votedCentres() const {
        std::vector<std::size_t> teamOne;
        std::vector<std::size_t> kindStart(m_kinds.size() + 1, 0); // team 2's ships by kind
        for (std::size_t i = 0; i < m_ships.size(); ++i) {
            if (m_ships[i].team == 0)
                teamOne.push_back(i);
            else
                ++kindStart[static_cast<std::size_t>(m_ships[i].kind) + 1];
        }
        for (std::size_t k = 1; k < kindStart.size(); ++k)
            kindStart[k] += kindStart[k - 1];
        std::vector<std::size_t> teamTwo(kindStart.back());
        std::vector<std::size_t> filled(kindStart.begin(), kindStart.end() - 1);
        for (std::size_t i = 0; i < m_ships.size(); ++i)
            if (m_ships[i].team == 1)
                teamTwo[filled[static_cast<std::size_t>(m_ships[i].kind)]++] = i;

        std::array<std::vector<Vote>, 3> votes; // by mode
        const std::size_t anchors = std::min(MaxAnchors, teamOne.size());
        std::size_t pairs = 0;
        for (std::size_t a = 0; a < anchors; ++a) {
            const Ship& anchor = m_ships[teamOne[a * teamOne.size() / anchors]];
            const auto kind = static_cast<std::size_t>(anchor.kind);
            if (pairs + kindStart[kind + 1] - kindStart[kind] > MaxPairs)
                continue;
            pairs += kindStart[kind + 1] - kindStart[kind];
            std::array<double, 3> headings{};
            for (std::size_t m = 0; m < modes.size(); ++m)
                headings[m] = MirroredHeading(modes[m], anchor.heading);
            for (std::size_t t = kindStart[kind]; t < kindStart[kind + 1]; ++t) {
                const Ship& other = m_ships[teamTwo[t]];
                const auto x = static_cast<std::int64_t>(std::llround(anchor.x + other.x));
                const auto y = static_cast<std::int64_t>(std::llround(anchor.y + other.y));
                if (headingNear(headings[0], anchor, other))
                    votes[0].push_back({x, y});
                if (std::fabs(anchor.y - other.y) <= 1 && headingNear(headings[1], anchor, other))
                    votes[1].push_back({x, 0});
                if (std::fabs(anchor.x - other.x) <= 1 && headingNear(headings[2], anchor, other))
                    votes[2].push_back({0, y});
            }
        }
        std::vector<Trial> trials;
        for (std::size_t m = 0; m < modes.size(); ++m)
            for (const Count& count : mostVoted(votes[m]))
                trials.push_back({modes[m],
                                  {static_cast<double>(count.centre.x) / 2,
                                   static_cast<double>(count.centre.y) / 2}});
        return trials;
    }

    // What to try, in this order: the middle of the entries the map draws (the map's mirror
    // centre), then that of the bases, each in every mode, then the centres most voted for.
    std::vector<Trial> symmetryTrials() const {
        std::vector<Trial> trials;
        const auto add = [&trials](const Trial& trial) {
            for (const Trial& known : trials)
                if (known.mode == trial.mode && sameCentre(trial.mode, known.centre, trial.centre))
                    return;
            trials.push_back(trial);
        };
        for (const auto& centre : {MapCentre(m_places), MapCentre(m_basePlaces)})
            if (centre)
                for (const MirrorMode mode : modes)
                    add({mode, *centre});
        for (const Trial& trial : votedCentres())
            add(trial);
        return trials;
    }

    // The trial that leaves the fewest ships of a sample unmirrored, ties to the earlier trial,
    // if it leaves at most a fifth of them. A level of up to SampleShips ships is its own sample;
    // of a larger one the sample is spread over its rows, and a quarter of it may be left, as a
    // sample may hold a few more unmirrored ships than the level.
    std::optional<Trial> bestOnSample(const std::vector<Trial>& trials) const {
        const std::size_t sample = std::min(SampleShips, m_ships.size());
        std::size_t fewest = sample == m_ships.size() ? sample / 5 : sample / 4;
        std::optional<Trial> best;
        for (const Trial& trial : trials) {
            std::size_t unmirrored = 0;
            for (std::size_t i = 0; i < sample && unmirrored <= fewest; ++i)
                if (!mirrored(trial.mode, trial.centre, m_ships[i * m_ships.size() / sample]))
                    ++unmirrored;
            if (unmirrored > fewest || (best && unmirrored == fewest))
                continue;
            best = trial;
            fewest = unmirrored;
            if (fewest == 0)
                break;
        }
        return best;
    }

    void addMirrorFindings(std::vector<Finding>& findings) {
        if (m_ships.empty())
            return;
        buildGrid();
        const std::optional<Trial> best = bestOnSample(symmetryTrials());
        if (!best)
            return;
        // The ships it leaves unmirrored, unless more than a fifth of all are.
        std::vector<std::size_t> unmirrored;
        for (std::size_t i = 0; i < m_ships.size(); ++i) {
            if (mirrored(best->mode, best->centre, m_ships[i]))
                continue;
            if (unmirrored.size() == m_ships.size() / 5)
                return;
            unmirrored.push_back(i);
        }
        const MirrorMode mode = best->mode;
        std::string about = " (" + std::string(modeText(mode)) + " about ";
        if (mode != MirrorMode::TopBottom)
            about += "x = " + centreText(best->centre.x);
        if (mode == MirrorMode::Point)
            about += ", ";
        if (mode != MirrorMode::LeftRight)
            about += "y = " + centreText(best->centre.y);
        about += ")";
        for (const std::size_t i : unmirrored) {
            const Ship& ship = m_ships[i];
            findings.push_back(
                {ship.row, Finding::Severity::Warning,
                 "no ship of team " + std::to_string(2 - ship.team) + " mirrors this one" + about,
                 "no-mirror"});
        }
    }

    std::vector<KindUse> m_kinds;
    std::array<std::unordered_map<std::string_view, int>, 3> m_kindIds; // by optionRank
    std::array<int, 2> m_teamShips{};
    int m_bases = 0;
    std::vector<MapPoint> m_places;     // of the entries whose x and y are numbers
    std::vector<MapPoint> m_basePlaces; // of those that are bases
    std::vector<Ship> m_ships;          // of team 1 and 2, with a place, in row order
    std::vector<std::int32_t> m_head;
    std::vector<std::int32_t> m_next;
    std::size_t m_mask = 0;
};

// One pass over the rows, collecting findings row by row.
class Checker {
public:
    // The teams' ships and bases go to `teams`, when given.
    explicit Checker(const FileLookup& fileExists, TeamCheck* teams = nullptr)
        : m_fileExists(fileExists)
        , m_teams(teams) {}

    std::vector<Finding> Run(const std::vector<std::string>& rows) {
        for (std::size_t i = 0; i < rows.size(); ++i)
            checkRow(static_cast<int>(i + 1), rows[i]);
        if (m_block)
            notClosed();
        checkTypes();
        if (!m_sawWinFile)
            add(0, Severity::Warning, "no-winfile", "the level has no [winfile] block");
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

    void add(int row, Severity severity, std::string_view rule, std::string message) {
        m_findings.push_back({row, severity, std::move(message), std::string(rule)});
    }

    void checkRow(int row, const std::string& text) {
        if (text == ShipFilesMarker || text == WinFileMarker) {
            if (m_block)
                notClosed();
            m_block = OpenBlock{row, text == ShipFilesMarker ? ShipFilesMarker : WinFileMarker};
            (text == WinFileMarker ? m_sawWinFile : m_sawShipFiles) = true;
        } else if (text == EndMarker) {
            if (!m_block)
                add(row, Severity::Error, "stray-end", "[end] closes no open block");
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
        add(m_block->row, Severity::Error, "open-block",
            "the " + std::string(m_block->marker) + " block is not closed by [end]");
    }

    void checkOutsideRow(int row, const std::string& text) {
        const std::optional<EntryView> entry = ViewEntryLine(text);
        if (!entry) {
            const bool blank = text.find_first_not_of(' ') == std::string::npos;
            add(row, Severity::Error, blank ? "blank-row" : "unknown-row",
                blank ? "the row holds only blanks, which is neither an entry nor an empty row"
                      : "the row is neither a ship entry, a base entry, a section marker nor "
                        "empty");
            return;
        }
        const bool ship = entry->kind == EntryKind::Ship;
        const std::string_view what = ship ? "the ship entry" : "the base entry";
        if (entry->fault) {
            add(row, Severity::Error, faultRule(entry->fault->kind),
                concat({what, " ", entry->fault->Describe()}));
            return;
        }
        if (m_teams) {
            if (ship)
                m_teams->AddShip(row, *entry);
            else
                m_teams->AddBase(*entry);
        }
        if (!entry->xNumber)
            add(row, Severity::Error, "not-a-number",
                concat({what, "'s x= value \"", entry->x, "\" is not a number"}));
        if (!entry->yNumber)
            add(row, Severity::Error, "not-a-number",
                concat({what, "'s y= value \"", entry->y, "\" is not a number"}));
        farOff(row, "x=", entry->x, entry->xNumber);
        farOff(row, "y=", entry->y, entry->yNumber);

        if (!ship) {
            checkFile(row, entry->value, "the base entry's file=");
            return;
        }
        if (entry->team != "1" && entry->team != "2")
            add(row, Severity::Warning, "unknown-team",
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
        add(row, Severity::Warning, "far-off",
            concat({key, text, " is beyond \u00b11,000,000: the map does not show it"}));
    }

    // A file name as the game would look it up; `where` names the place of the name.
    void checkFile(int row, std::string_view name, std::string_view where) {
        if (name.find_first_not_of(' ') == std::string_view::npos) {
            add(row, Severity::Error, "no-file-name", concat({where, " names no file"}));
            return;
        }
        switch (presence(name)) {
        case FilePresence::Exists:
            break;
        case FilePresence::OtherCase:
            add(row, Severity::Warning, "file-case",
                concat({name, " exists in the game folder only in other letter case"}));
            break;
        case FilePresence::Missing:
            add(row, Severity::Error, "missing-file",
                concat({name, " does not exist in the game folder"}));
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
            add(use.row, Severity::Warning, "type-beyond",
                "typ=" + std::string(use.text) + " asks for ship file " +
                    NumberText(*number).substr(1) + ", but the level lists only " +
                    std::to_string(m_shipFileCount) +
                    (m_shipFileCount == 1 ? " ship file" : " ship files"));
        }
    }

    const FileLookup& m_fileExists;
    TeamCheck* m_teams;
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

std::string ShipKindText(ShipOption option, std::string_view value) {
    switch (option) {
    case ShipOption::Type:
        return "typ " + std::string(value);
    case ShipOption::Level:
        return "sl " + std::string(value);
    case ShipOption::File:
        break;
    }
    return std::string(value);
}

std::string TallyText(const TeamTally& tally) {
    std::string text;
    for (std::size_t team = 0; team < tally.teams.size(); ++team) {
        const TeamTally::Team& t = tally.teams[team];
        text += "team " + std::to_string(team + 1) + ": " + std::to_string(t.ships) +
                (t.ships == 1 ? " ship" : " ships");
        for (std::size_t i = 0; i < t.kinds.size(); ++i) {
            text += i == 0 ? " (" : ", ";
            text += ShipKindText(t.kinds[i].option, t.kinds[i].value) + " ×" +
                    std::to_string(t.kinds[i].ships);
        }
        if (!t.kinds.empty())
            text += ")";
        text += " · ";
    }
    return text + std::to_string(tally.bases) + (tally.bases == 1 ? " base" : " bases");
}

LevelReport CheckLevelAndTeams(const std::vector<std::string>& rows, const FileLookup& fileExists) {
    TeamCheck teams;
    LevelReport report{Checker(fileExists, &teams).Run(rows), {}};
    teams.AddFindings(report.findings);
    report.tally = teams.Tally();
    return report;
}

} // namespace level
