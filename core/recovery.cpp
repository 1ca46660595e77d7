#include "core/recovery.h"

#include "core/diskfiles.h"
#include "core/filestamp.h"
#include "core/levelfile.h"
#include "core/platform/fileplatform.h"
#include "core/windows1252.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <new>
#include <system_error>
#include <utility>

namespace level {

using namespace fileplatform;

namespace {

// The file's first line, and the extensions of its companions: the lock file that tells a
// running editor's recovery from an abandoned one, the mark of a recovery offered and declined,
// and the name a damaged one is moved aside to.
constexpr std::string_view Magic = "leveltools recovery 1\n";
constexpr std::string_view Extension = ".lev-recovery";
constexpr std::string_view LockExtension = ".lock";
constexpr std::string_view DeclinedExtension = ".declined";
constexpr std::string_view DamagedExtension = ".damaged";

// The body is the level file's bytes where every row can be stored in one; otherwise each row is
// written as its length in bytes, a blank, its UTF-8 bytes and a line end.
constexpr std::string_view LevelBody = "windows-1252";
constexpr std::string_view CountedBody = "utf-8-counted";

std::string hex(std::uint64_t value) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4)
        text[static_cast<std::size_t>(i)] = digits[value & 15];
    return text;
}

void appendCounted(std::string& out, std::string_view key, std::string_view text) {
    out.append(key).append(" ").append(std::to_string(text.size())).append("\n");
    out.append(text).append("\n");
}

// Reads the header's fields one after the other; the first that is not there as expected makes
// the whole file damaged.
class Reader {
public:
    explicit Reader(std::string_view bytes)
        : m_rest(bytes) {}

    bool literal(std::string_view expected) {
        if (!m_rest.starts_with(expected))
            return false;
        m_rest.remove_prefix(expected.size());
        return true;
    }
    // "<key> <decimal>\n"
    template <typename Number> bool number(std::string_view key, Number& value) {
        if (!literal(key) || !literal(" "))
            return false;
        const auto [end, error] =
            std::from_chars(m_rest.data(), m_rest.data() + m_rest.size(), value);
        if (error != std::errc() || end == m_rest.data())
            return false;
        m_rest.remove_prefix(static_cast<std::size_t>(end - m_rest.data()));
        return literal("\n");
    }
    // "<key> <length>\n<bytes>\n"
    bool counted(std::string_view key, std::string& text) {
        std::size_t size = 0;
        if (!number(key, size) || size > m_rest.size())
            return false;
        text.assign(m_rest.substr(0, size));
        m_rest.remove_prefix(size);
        return literal("\n");
    }
    // "<key> <word>\n"
    bool word(std::string_view key, std::string_view& text) {
        if (!literal(key) || !literal(" "))
            return false;
        const std::size_t end = m_rest.find('\n');
        if (end == std::string_view::npos)
            return false;
        text = m_rest.substr(0, end);
        m_rest.remove_prefix(end + 1);
        return true;
    }
    std::size_t consumed(std::string_view whole) const { return whole.size() - m_rest.size(); }
    std::string_view rest() const { return m_rest; }

private:
    std::string_view m_rest;
};

struct Header {
    RecoveryFacts facts;
    std::size_t rows = 0;
    std::string_view encoding;
    std::string_view body;
};

Result<Header, std::string> parseHeader(std::string_view bytes) {
    if (!bytes.starts_with(Magic))
        return bytes.size() < Magic.size() && Magic.starts_with(bytes)
                   ? std::string("the file is cut short")
                   : std::string("it is no recovery file");
    Reader reader(bytes);
    (void)reader.literal(Magic);
    Header header;
    std::size_t bodySize = 0;
    std::string_view check;
    if (!reader.counted("start", header.facts.startFolder) ||
        !reader.counted("level", header.facts.levelFile) ||
        !reader.number("written", header.facts.writtenAt) || !reader.number("rows", header.rows) ||
        !reader.word("body", header.encoding) || !reader.number("bytes", bodySize))
        return std::string("its header is damaged or cut short");
    const std::size_t covered = reader.consumed(bytes);
    if (!reader.word("check", check) || check.size() != 16)
        return std::string("its header is damaged or cut short");
    if (reader.rest().size() < bodySize)
        return std::string("the file is cut short");
    if (reader.rest().size() > bodySize)
        return std::string("the file is damaged (bytes beyond its end)");
    header.body = reader.rest();
    if (hex(HashBytes(header.body, HashBytes(bytes.substr(0, covered)))) != check)
        return std::string("the file is damaged (its check sum does not match)");
    if (header.encoding != LevelBody && header.encoding != CountedBody)
        return std::string("its rows are in an unknown form");
    return header;
}

Result<std::vector<std::string>, std::string> parseCountedRows(std::string_view body,
                                                               std::size_t count) {
    std::vector<std::string> rows;
    rows.reserve(std::min<std::size_t>(count, body.size() / 2 + 1));
    Reader reader(body);
    for (std::size_t i = 0; i < count; ++i) {
        std::string row;
        if (!reader.counted("", row))
            return std::string("its rows are damaged");
        rows.push_back(std::move(row));
    }
    if (!reader.rest().empty())
        return std::string("its rows are damaged");
    return rows;
}

std::string withoutExtension(const std::string& path, std::string_view extension) {
    return path.ends_with(extension) ? path.substr(0, path.size() - extension.size()) : path;
}

// Best effort: a companion that stays behind does no harm.
void removeQuietly(const std::string& path) {
    (void)fileplatform::removeFile(toPath(path));
}

// A recovery holds at most a level's rows, in the counted form up to twice its bytes.
ReadLimits recoveryLimits() {
    ReadLimits limits;
    limits.maxBytes = MaxLevelFileBytes * 2 + (std::size_t{1} << 20);
    limits.tooLarge = "the file is larger than any recovery file";
    limits.maxLineEnds = limits.maxBytes;
    limits.tooManyLines = limits.tooLarge;
    return limits;
}

bool exists(const std::string& path) {
    FileFacts facts;
    return inspect(toPath(path), facts) && facts.exists;
}

} // namespace

std::string FormatRecovery(const RecoveryFacts& facts, const std::vector<std::string>& rows) {
    std::string body;
    std::string_view encoding = LevelBody;
    if (auto text = FormatLevelText(rows)) {
        body = std::move(*text);
    } else {
        encoding = CountedBody;
        for (const std::string& row : rows)
            appendCounted(body, "", row);
    }
    std::string out(Magic);
    appendCounted(out, "start", facts.startFolder);
    appendCounted(out, "level", facts.levelFile);
    out.append("written ").append(std::to_string(facts.writtenAt)).append("\n");
    out.append("rows ").append(std::to_string(rows.size())).append("\n");
    out.append("body ").append(encoding).append("\n");
    out.append("bytes ").append(std::to_string(body.size())).append("\n");
    const std::uint64_t check = HashBytes(body, HashBytes(out));
    out.append("check ").append(hex(check)).append("\n");
    out.append(body);
    return out;
}

Result<Recovery, std::string> ParseRecovery(std::string_view bytes) {
    try {
        auto header = parseHeader(bytes);
        if (!header)
            return header.error();
        Recovery recovery;
        recovery.facts = std::move(header->facts);
        if (header->encoding == LevelBody) {
            recovery.rows = ParseLevelText(header->body);
        } else {
            auto rows = parseCountedRows(header->body, header->rows);
            if (!rows)
                return rows.error();
            recovery.rows = std::move(*rows);
        }
        if (recovery.rows.size() != header->rows)
            return std::string("its rows are damaged");
        return recovery;
    } catch (const std::bad_alloc&) {
        return std::string("not enough memory");
    }
}

Result<std::string> RecoveryFolder() {
    auto failed = [](std::string reason) {
        return FileError{"find the recovery folder", "", std::move(reason)};
    };
    fs::path state;
    if (Outcome found = userStateFolder(state); !found)
        return failed(found.error());
    const fs::path folder = state / "leveltools" / "recovery";
    const std::string path = toUtf8(folder);
    if (Outcome made = createPrivateFolders(folder); !made)
        return FileError{"create", path, made.error()};
    return toUtf8(folder / "");
}

// ----- the running editor's own recovery file -----

struct RecoverySlot::State {
    std::string path;
    std::string lockPath;
    Lock lock = NoLock;
};

RecoverySlot::RecoverySlot(std::unique_ptr<State> state)
    : m_state(std::move(state)) {}

Result<std::unique_ptr<RecoverySlot>> RecoverySlot::Open(const std::string& folder) {
    auto state = std::make_unique<State>();
    const auto now =
        static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    // The process and the time name it; a name in use (another lock holds it, or a file of that
    // name is there) is passed over.
    for (std::uint64_t attempt = 0; attempt < 100; ++attempt) {
        const std::string stem =
            folder + "level-" + std::to_string(processId()) + "-" + hex(now + attempt).substr(4);
        state->path = stem + std::string(Extension);
        state->lockPath = state->path + std::string(LockExtension);
        if (exists(state->path))
            continue;
        bool busy = false;
        if (Outcome locked = takeLock(toPath(state->lockPath), state->lock, busy); !locked)
            return FileError{"lock", state->lockPath, locked.error()};
        if (busy)
            continue;
        if (exists(state->path)) { // written between the look and the lock
            releaseLock(state->lock);
            state->lock = NoLock;
            continue;
        }
        return std::unique_ptr<RecoverySlot>(new RecoverySlot(std::move(state)));
    }
    return FileError{"create a recovery file in", folder, "every name tried is in use"};
}

RecoverySlot::~RecoverySlot() {
    removeQuietly(m_state->path);
    removeQuietly(m_state->lockPath);
    releaseLock(m_state->lock);
}

Result<void> RecoverySlot::Write(const RecoveryFacts& facts, const std::vector<std::string>& rows) {
    std::string bytes;
    try {
        bytes = FormatRecovery(facts, rows);
    } catch (const std::bad_alloc&) {
        return FileError{"write", m_state->path, "not enough memory"};
    }
    return WriteFileAtomically(m_state->path, bytes, "write", FileAccess::OwnerOnly);
}

Result<void> RecoverySlot::Remove() {
    if (!exists(m_state->path))
        return {};
    return RemoveFile(m_state->path);
}

const std::string& RecoverySlot::path() const {
    return m_state->path;
}

// ----- recoveries of editors that ended without removing theirs -----

struct ClaimedRecovery::State {
    std::string path;
    std::string lockPath;
    Lock lock = NoLock;
    std::int64_t writtenAt = 0; // for the order; 0 when the header cannot be read
};

ClaimedRecovery::ClaimedRecovery(std::unique_ptr<State> state)
    : m_state(std::move(state)) {}

ClaimedRecovery::~ClaimedRecovery() {
    releaseLock(m_state->lock);
}

const std::string& ClaimedRecovery::path() const {
    return m_state->path;
}

bool ClaimedRecovery::declined() const {
    return exists(m_state->path + std::string(DeclinedExtension));
}

Result<Recovery> ClaimedRecovery::Read() const {
    auto bytes = ReadWholeFile(m_state->path, recoveryLimits());
    if (!bytes)
        return FileError{"read", m_state->path, bytes.error().reason};
    auto recovery = ParseRecovery(*bytes);
    if (!recovery)
        return FileError{"read", m_state->path, recovery.error()};
    return std::move(*recovery);
}

Result<void> ClaimedRecovery::Decline() {
    return CreateEmptyFileIfMissing(m_state->path + std::string(DeclinedExtension));
}

// The recovery is gone: its mark of a decline goes, and its lock file too (on Windows once it is
// let go of).
void ClaimedRecovery::forgetCompanions() {
    removeQuietly(m_state->path + std::string(DeclinedExtension));
    removeQuietly(m_state->lockPath);
    releaseLock(std::exchange(m_state->lock, NoLock));
}

Result<void> ClaimedRecovery::Remove() {
    if (exists(m_state->path))
        if (auto removed = RemoveFile(m_state->path); !removed)
            return removed;
    forgetCompanions();
    return {};
}

Result<std::string> ClaimedRecovery::SetAside() {
    const std::string stem = withoutExtension(m_state->path, Extension);
    std::string aside = stem + std::string(DamagedExtension);
    for (int n = 2; exists(aside) && n < 1000; ++n)
        aside = stem + std::string(DamagedExtension) + "-" + std::to_string(n);
    if (Outcome moved = replaceFile(toPath(m_state->path), toPath(aside)); !moved)
        return FileError{"move aside", m_state->path, moved.error()};
    forgetCompanions();
    return aside;
}

Result<std::vector<std::unique_ptr<ClaimedRecovery>>>
ClaimAbandonedRecoveries(const std::string& folder) {
    std::vector<fs::path> names;
    if (Outcome listed = listNames(toPath(folder), names); !listed)
        return FileError{"read", folder, listed.error()};
    std::vector<std::unique_ptr<ClaimedRecovery>> claimed;
    for (const fs::path& name : names) {
        const std::string file = toUtf8(name);
        const bool isLock = file.ends_with(std::string(Extension) + std::string(LockExtension));
        if (!file.ends_with(Extension) && !isLock)
            continue;
        auto state = std::make_unique<ClaimedRecovery::State>();
        state->path = folder + (isLock ? withoutExtension(file, LockExtension) : file);
        state->lockPath = state->path + std::string(LockExtension);
        if (isLock && exists(state->path))
            continue; // met by its recovery file's own name
        bool busy = false;
        if (Outcome locked = takeLock(toPath(state->lockPath), state->lock, busy); !locked || busy)
            continue; // an editor runs with it, or another one claimed it just now
        if (!exists(state->path)) {
            // A lock without its file: an editor that ended before it wrote, or one that
            // removed its file just now.
            removeQuietly(state->lockPath);
            releaseLock(state->lock);
            continue;
        }
        if (auto bytes = ReadWholeFile(state->path, recoveryLimits()))
            if (auto header = parseHeader(*bytes))
                state->writtenAt = header->facts.writtenAt;
        claimed.push_back(std::unique_ptr<ClaimedRecovery>(new ClaimedRecovery(std::move(state))));
    }
    std::stable_sort(claimed.begin(), claimed.end(), [](const auto& a, const auto& b) {
        return a->m_state->writtenAt > b->m_state->writtenAt;
    });
    return claimed;
}

} // namespace level
