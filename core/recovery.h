#pragma once

#include "core/result.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace level {

// Recovery files: the rows of a level that is being edited and not yet saved, kept in the user's
// own state folder (never in the game folder, whose levels/ the game and the selector read
// whole), so that a crash or a power cut loses nothing. Each running editor has one, and holds a
// lock on it for its whole run: a recovery whose lock is free belongs to an editor that ended
// without removing it, one that crashed.

// What a recovery file says about the rows it holds.
struct RecoveryFacts {
    std::string startFolder;    // the editor's start folder, as the core writes paths
    std::string levelFile;      // the level file the rows were loaded from or saved to; "" for none
    std::int64_t writtenAt = 0; // seconds since 1970-01-01 UTC
};

struct Recovery {
    RecoveryFacts facts;
    std::vector<std::string> rows; // UTF-8, as the editor holds them, every byte kept
};

// A recovery file's bytes: a small header, then the rows as a level file holds them (Windows-1252,
// CR LF after each row), or in UTF-8 where a row holds a character Windows-1252 cannot store;
// the header counts the rows and bytes and carries a check sum, so that a file cut short or
// damaged is told apart from a whole one.
std::string FormatRecovery(const RecoveryFacts& facts, const std::vector<std::string>& rows);
// The recovery in bytes, or why they are none (cut short, damaged, another kind of file).
Result<Recovery, std::string> ParseRecovery(std::string_view bytes);

// The folder of this user's recovery files, created (for this user alone) when missing:
// $XDG_STATE_HOME/leveltools/recovery/ (by default ~/.local/state/leveltools/recovery/) on
// POSIX systems, %LOCALAPPDATA%\leveltools\recovery\ on Windows. With a trailing separator.
Result<std::string> RecoveryFolder();

// The recovery file of this running editor in a folder: a name of its own, and the lock held
// while the slot lives (on POSIX a lock on a lock file beside it, on Windows that file held open
// without sharing), which the system drops when the process ends, however it ends. Write replaces
// the file in one step (a crash mid-write leaves the previous one whole), readable by this user
// alone; Remove takes it away. Destroying the slot releases the lock and removes the file (the
// editor ends normally).
class RecoverySlot {
public:
    static Result<std::unique_ptr<RecoverySlot>> Open(const std::string& folder);
    ~RecoverySlot();
    RecoverySlot(const RecoverySlot&) = delete;
    RecoverySlot& operator=(const RecoverySlot&) = delete;

    Result<void> Write(const RecoveryFacts& facts, const std::vector<std::string>& rows);
    // Removes the file (the rows are as saved); the slot and its lock stay.
    Result<void> Remove();
    const std::string& path() const;

private:
    struct State;
    explicit RecoverySlot(std::unique_ptr<State> state);
    std::unique_ptr<State> m_state;
};

// A recovery file of an editor that is no longer running, claimed by this process (its lock is
// held while the claim lives, so that two editors starting at once never take the same one).
class ClaimedRecovery {
public:
    ~ClaimedRecovery(); // releases the claim; the file stays
    ClaimedRecovery(const ClaimedRecovery&) = delete;
    ClaimedRecovery& operator=(const ClaimedRecovery&) = delete;

    const std::string& path() const;
    // Offered once and declined: it is kept for one more start, and removed then.
    bool declined() const;
    // Reads it; a file that cannot be read or is damaged gives the reason.
    Result<Recovery> Read() const;
    // Marks it declined (see declined()).
    Result<void> Decline();
    // Removes it (restored, or declined before), with its lock file.
    Result<void> Remove();
    // Moves it aside (damaged): renamed so that it is never offered again, kept for a person to
    // look at; the new path.
    Result<std::string> SetAside();

private:
    friend Result<std::vector<std::unique_ptr<ClaimedRecovery>>>
    ClaimAbandonedRecoveries(const std::string& folder);
    struct State;
    explicit ClaimedRecovery(std::unique_ptr<State> state);
    void forgetCompanions();
    std::unique_ptr<State> m_state;
};

// The recovery files in folder whose editors no longer run, newest first (by the time the file
// was written), each claimed; files of running editors are left alone.
Result<std::vector<std::unique_ptr<ClaimedRecovery>>>
ClaimAbandonedRecoveries(const std::string& folder);

} // namespace level
