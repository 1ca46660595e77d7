#include "core/diskfiles.h"
#include "core/windows1252.h"
#include "tests/core/tempfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifndef _WIN32
#include <grp.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;

namespace {

// Injected writers: each takes the place of the system's write for one test.
std::size_t bytesBeforeFailure = 0;
std::size_t bytesWritten = 0;

long failAfterSomeBytes(int fd, const void* data, std::size_t size) {
    if (bytesWritten >= bytesBeforeFailure) {
        errno = ENOSPC;
        return -1;
    }
    const std::size_t now = std::min(size, bytesBeforeFailure - bytesWritten);
    bytesWritten += now;
    return static_cast<long>(::write(fd, data, now));
}

long oneByteAtATime(int fd, const void* data, std::size_t size) {
    return static_cast<long>(::write(fd, data, size > 0 ? 1 : 0));
}

long interruptedEveryOtherCall(int fd, const void* data, std::size_t size) {
    static bool interrupt = false;
    interrupt = !interrupt;
    if (interrupt) {
        errno = EINTR;
        return -1;
    }
    return static_cast<long>(::write(fd, data, std::min<std::size_t>(size, 3)));
}

// The first write fails with firstWriteError; the others write as the system does.
int firstWriteError = 0;
std::size_t writeCalls = 0;

long firstWriteFails(int fd, const void* data, std::size_t size) {
    if (writeCalls++ == 0) {
        errno = firstWriteError;
        return -1;
    }
    return static_cast<long>(::write(fd, data, size));
}

long writesNothing(int, const void*, std::size_t) {
    return 0;
}

int syncFails(int) {
    errno = EIO;
    return -1;
}

int syncAlwaysInterrupted(int) {
    errno = EINTR;
    return -1;
}

// The descriptor is closed, as after any close, but the system reports that data was lost.
int closeFails(int fd) {
    ::close(fd);
    errno = EIO;
    return -1;
}

#ifndef _WIN32
// The permission bits of the file being written, as the write seam sees them, and what else
// stood in its folder at that moment.
unsigned modeWhileWritten = 0;
std::vector<std::string> entriesWhileWritten;
std::filesystem::path folderWritten;

long noteModeThenWrite(int fd, const void* data, std::size_t size) {
    struct stat st {};
    fstat(fd, &st);
    modeWhileWritten = st.st_mode & 07777;
    entriesWhileWritten.clear();
    for (const auto& entry : fs::directory_iterator(folderWritten))
        entriesWhileWritten.push_back(entry.path().filename().string());
    return static_cast<long>(::write(fd, data, size));
}
#endif

// Limits that every test file here is within.
const level::ReadLimits anyFile{std::size_t{1} << 30, "too large", std::size_t{1} << 30,
                                "too many lines"};

// The number of descriptors this process has open. Windows has no list of them: there it is the
// lowest free descriptor, which a descriptor left open moves up.
std::size_t openDescriptors() {
#ifdef _WIN32
    const int fd = _wopen(L"NUL", _O_RDONLY);
    _close(fd);
    return static_cast<std::size_t>(fd);
#else
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
#endif
}

// The system's own text for an error number, as the file layer reports it.
std::string systemText(int error) {
    return std::generic_category().message(error);
}

// Whether the platform's library makes symbolic links here (GCC's for Windows does not).
bool canMakeLinks(const fs::path& folder) {
    std::error_code error;
    fs::create_symlink("target", folder / "probe", error);
    const bool made = !error && fs::is_symlink(folder / "probe", error);
    fs::remove(folder / "probe", error);
    return made;
}

// The write seam and the umask are put back after each test.
class DiskFiles : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        m_oldUmask = umask(022);
        bytesWritten = 0;
    }
    void TearDown() override {
        level::SetFileCallsForTesting({});
        umask(m_oldUmask);
        TempFolderTest::TearDown();
    }

    static unsigned modeOf(const std::string& file) {
#ifdef _WIN32
        struct _stat64 st {};
        EXPECT_EQ(_wstat64(fs::path(std::u8string(file.begin(), file.end())).c_str(), &st), 0);
        return st.st_mode & 0777;
#else
        struct stat st {};
        EXPECT_EQ(lstat(file.c_str(), &st), 0) << file;
        return st.st_mode & 07777;
#endif
    }
    // What a file keeps of mode: all of it on POSIX systems; on Windows only whether anyone may
    // write, which chmod turns into the read-only attribute.
    static unsigned kept(unsigned mode) {
#ifdef _WIN32
        return mode & 0200 ? 0666u : 0444u;
#else
        return mode;
#endif
    }

    mode_t m_oldUmask = 0;
};

} // namespace

TEST_F(DiskFiles, NewFileGetsTheBytesAndTheUsualMode) {
    const std::string file = path("new.lev");
    ASSERT_TRUE(level::WriteFileAtomically(file, std::string("a\0b\r\n", 5)));
    EXPECT_EQ(readBytes(file), std::string("a\0b\r\n", 5));
    EXPECT_EQ(modeOf(file), kept(0644));
    EXPECT_EQ(entries(), Names{"new.lev"});
    // A save leaves the process's umask as it was: the next new files get the usual mode too.
    ASSERT_TRUE(level::WriteFileAtomically(path("second.lev"), "b\r\n"));
    ASSERT_TRUE(level::CreateEmptyFileIfMissing(path("added.lev")));
    EXPECT_EQ(modeOf(path("second.lev")), kept(0644));
    EXPECT_EQ(modeOf(path("added.lev")), kept(0644));

    umask(077);
    ASSERT_TRUE(level::WriteFileAtomically(path("private.lev"), ""));
    EXPECT_EQ(modeOf(path("private.lev")), kept(0600));
    EXPECT_EQ(fs::file_size(path("private.lev")), 0u);
}

TEST_F(DiskFiles, ReplacingKeepsThePermissionBits) {
    for (const unsigned mode : {0640u, 0600u, 0755u, 0200u, 0666u}) {
        const std::string file = path("kept.lev");
        writeBytes(file, "a much longer old content\r\n");
        ASSERT_EQ(chmod(file.c_str(), mode), 0);
        ASSERT_TRUE(level::WriteFileAtomically(file, "new\r\n"));
        EXPECT_EQ(readBytes(file), "new\r\n");
        EXPECT_EQ(modeOf(file), kept(mode));
        EXPECT_EQ(entries(), Names{"kept.lev"});
    }
}

TEST_F(DiskFiles, FailureKeepsTheOldFileAndLeavesNoTemporaryFile) {
    fs::create_directory(path("dir.lev"));
    writeBytes(path("dir.lev/inside"), "x");
    struct Case {
        const char* name;
        unsigned mode; // of the old file
        level::FileCallsForTesting calls;
        std::size_t failAfter;
        std::string reason;
    };
    const Case cases[] = {
        {"read-only", 0444, {}, 0, "the file is read-only"},
        {"read-only for its owner alone", 0400, {}, 0, "the file is read-only"},
        {"no space at once", 0644, {failAfterSomeBytes}, 0, systemText(ENOSPC)},
        {"no space midway", 0644, {failAfterSomeBytes}, 7, systemText(ENOSPC)},
        {"system takes nothing", 0644, {writesNothing}, 0, systemText(EIO)},
        {"an I/O error is not tried again", 0644, {firstWriteFails}, 0, systemText(EIO)},
        {"flush to disk fails", 0644, {nullptr, syncFails}, 0, systemText(EIO)},
        {"flush always interrupted", 0644, {nullptr, syncAlwaysInterrupted}, 0, systemText(EINTR)},
        {"close fails", 0644, {nullptr, nullptr, closeFails}, 0, systemText(EIO)},
    };
    const std::size_t descriptors = openDescriptors();
    for (const Case& c : cases) {
        const std::string file = path("old.lev");
        writeBytes(file, "old bytes\r\n");
        ASSERT_EQ(chmod(file.c_str(), c.mode), 0);
        bytesWritten = 0;
        bytesBeforeFailure = c.failAfter;
        writeCalls = 0;
        firstWriteError = EIO;
        level::SetFileCallsForTesting(c.calls);
        const auto error = level::WriteFileAtomically(file, "new bytes, more of them\r\n", "save");
        level::SetFileCallsForTesting({});
        ASSERT_FALSE(error) << c.name;
        EXPECT_EQ(error.error().action, "save") << c.name;
        EXPECT_EQ(error.error().path, file) << c.name;
        EXPECT_EQ(error.error().reason, c.reason) << c.name;
        EXPECT_EQ(readBytes(file), "old bytes\r\n") << c.name;
        EXPECT_EQ(modeOf(file), kept(c.mode)) << c.name;
        EXPECT_EQ(entries(), (Names{"dir.lev", "old.lev"})) << c.name;
        EXPECT_EQ(openDescriptors(), descriptors) << c.name;
        ASSERT_EQ(chmod(file.c_str(), 0644), 0);
    }
}

TEST_F(DiskFiles, ManySavesLeaveNoDescriptorOpen) {
    const std::size_t before = openDescriptors();
    for (int i = 0; i < 2000; ++i) {
        ASSERT_TRUE(level::WriteFileAtomically(path("a.lev"), std::to_string(i) + "\r\n"));
        ASSERT_TRUE(level::ReadWholeFile(path("a.lev"), anyFile));
        ASSERT_FALSE(level::WriteFileAtomically(path("missing/a.lev"), "x"));
    }
    EXPECT_EQ(openDescriptors(), before);
    EXPECT_EQ(readBytes(path("a.lev")), "1999\r\n");
}

TEST_F(DiskFiles, LeftoversOfACrashAndLongNamesDoNotStopASave) {
    // What a save killed midway leaves: its temporary file beside the target.
    writeBytes(path("crash.lev"), "old\r\n");
    writeBytes(path(".crash.lev~0123456789"), "half of a n");
    ASSERT_TRUE(level::WriteFileAtomically(path("crash.lev"), "new\r\n"));
    EXPECT_EQ(readBytes(path("crash.lev")), "new\r\n");

    // Names near the usual limit of 255 bytes, also of characters that take two bytes, at even
    // and at odd places. The temporary names are cut short between characters, never in one.
    static std::vector<std::string> temporaryNames;
    level::FileCallsForTesting calls;
    calls.beforeReplace = [](const std::string& temporary) {
        temporaryNames.push_back(temporary.substr(temporary.find_last_of("/\\") + 1));
    };
    const auto umlauts = [](std::string name) { // 124 two-byte characters after name
        for (int i = 0; i < 124; ++i)
            name += "\xc3\xa4";
        return name + ".lev";
    };
    for (const bool named : {false, true}) {
        calls.namedTemporaryFiles = named;
        level::SetFileCallsForTesting(calls);
        for (const std::string& name :
             {std::string(240, 'a') + ".lev", std::string(251, 'b') + ".lev", umlauts("\xc3\xa4"),
              umlauts("x")}) {
            ASSERT_TRUE(level::WriteFileAtomically(path(name), "long\r\n")) << name.size();
            EXPECT_EQ(readBytes(path(name)), "long\r\n");
            ASSERT_TRUE(level::WriteFileAtomically(path(name), "longer\r\n")) << name.size();
            EXPECT_EQ(readBytes(path(name)), "longer\r\n");
        }
    }
    level::SetFileCallsForTesting({});
    EXPECT_EQ(temporaryNames.size(), 16u);
    for (const std::string& name : temporaryNames)
        EXPECT_TRUE(level::IsUtf8(name) && name.size() <= 255) << name;
}

TEST_F(DiskFiles, DirectoryInTheWayOrMissingFolderIsAnError) {
    fs::create_directory(path("dir.lev"));
    writeBytes(path("dir.lev/inside"), "x");
    struct Case {
        std::string file;
        std::string reason;
    };
    // Windows says of a file used as a folder what it says of a missing folder.
#ifdef _WIN32
    const int fileAsFolder = ENOENT;
#else
    const int fileAsFolder = ENOTDIR;
#endif
    const Case cases[] = {
        {path("dir.lev"), systemText(EISDIR)},
        {path("levels/a.lev"), systemText(ENOENT)},
        {path("dir.lev/inside/a.lev"), systemText(fileAsFolder)},
    };
    for (const Case& c : cases) {
        const auto error = level::WriteFileAtomically(c.file, "x\r\n", "write");
        ASSERT_FALSE(error) << c.file;
        EXPECT_EQ(error.error().Message(), "cannot write " + c.file + ": " + c.reason);
    }
    EXPECT_EQ(entries(), Names{"dir.lev"});
    EXPECT_EQ(entries(m_folder / "dir.lev"), Names{"inside"});
    EXPECT_EQ(readBytes(path("dir.lev/inside")), "x");
}

TEST_F(DiskFiles, ShortAndInterruptedWritesStillWriteEverything) {
    std::string bytes;
    for (int i = 0; i < 300; ++i)
        bytes += "ADD SHIP x= " + std::to_string(i) + "\r\n";
    for (const auto writer : {oneByteAtATime, interruptedEveryOtherCall, firstWriteFails}) {
        writeCalls = 0;
        firstWriteError = EINTR; // for firstWriteFails: one interruption before anything
        level::SetFileCallsForTesting({writer});
        ASSERT_TRUE(level::WriteFileAtomically(path("a.lev"), bytes));
        level::SetFileCallsForTesting({});
        EXPECT_EQ(readBytes(path("a.lev")), bytes);
    }
}

TEST_F(DiskFiles, SymbolicLinkSurvivesAndItsTargetIsReplaced) {
    if (!canMakeLinks(m_folder))
        GTEST_SKIP() << "the platform's library cannot make symbolic links";
    fs::create_directory(path("real"));
    writeBytes(path("real/target.lev"), "old\r\n");
    ASSERT_EQ(chmod(path("real/target.lev").c_str(), 0640), 0);
    fs::create_symlink("real/target.lev", path("relative.lev"));
    fs::create_symlink(path("relative.lev"), path("chain.lev"));

    ASSERT_TRUE(level::WriteFileAtomically(path("relative.lev"), "one\r\n"));
    EXPECT_TRUE(fs::is_symlink(path("relative.lev")));
    EXPECT_EQ(readBytes(path("real/target.lev")), "one\r\n");
    EXPECT_EQ(modeOf(path("real/target.lev")), 0640u);

    ASSERT_TRUE(level::WriteFileAtomically(path("chain.lev"), "two\r\n"));
    EXPECT_TRUE(fs::is_symlink(path("chain.lev")));
    EXPECT_TRUE(fs::is_symlink(path("relative.lev")));
    EXPECT_EQ(readBytes(path("real/target.lev")), "two\r\n");
    EXPECT_EQ(entries(m_folder / "real"), Names{"target.lev"});
}

TEST_F(DiskFiles, DanglingLinkGetsItsTargetCreated) {
    if (!canMakeLinks(m_folder))
        GTEST_SKIP() << "the platform's library cannot make symbolic links";
    fs::create_directory(path("real"));
    fs::create_symlink("real/later.lev", path("dangling.lev"));
    ASSERT_TRUE(level::WriteFileAtomically(path("dangling.lev"), "x\r\n"));
    EXPECT_TRUE(fs::is_symlink(path("dangling.lev")));
    EXPECT_EQ(readBytes(path("real/later.lev")), "x\r\n");

    fs::create_symlink("loop2.lev", path("loop1.lev"));
    fs::create_symlink("loop1.lev", path("loop2.lev"));
    const auto error = level::WriteFileAtomically(path("loop1.lev"), "x");
    ASSERT_FALSE(error);
    EXPECT_TRUE(fs::is_symlink(path("loop1.lev")));
}

TEST_F(DiskFiles, ReadWholeFileReadsEveryByteOrNamesTheReason) {
    std::string bytes(200000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    writeBytes(path("big.lev"), bytes);
    const auto big = level::ReadWholeFile(path("big.lev"), anyFile);
    ASSERT_TRUE(big);
    EXPECT_EQ(*big, bytes);

    writeBytes(path("empty.lev"), "");
    const auto empty = level::ReadWholeFile(path("empty.lev"), anyFile);
    ASSERT_TRUE(empty);
    EXPECT_EQ(*empty, "");

    // A file that grows while it is read, or whose size the file system reports too small, is
    // read to its end.
    level::FileCallsForTesting grows;
    grows.read = [](int fd, void* data, std::size_t size) -> long {
        static std::string_view more = "bcd\r\n";
        const long n = static_cast<long>(::read(fd, data, static_cast<unsigned>(size)));
        if (n != 0)
            return n;
        const std::size_t taken = std::min(size, more.size());
        std::memcpy(data, more.data(), taken);
        more.remove_prefix(taken);
        return static_cast<long>(taken);
    };
    level::SetFileCallsForTesting(grows);
    writeBytes(path("grows.lev"), "a\r\n");
    const auto grown = level::ReadWholeFile(path("grows.lev"), anyFile);
    level::SetFileCallsForTesting({});
    ASSERT_TRUE(grown);
    EXPECT_EQ(*grown, "a\r\nbcd\r\n");

    fs::create_directory(path("dir"));
    // A name that is no UTF-8 (Latin-1 "ä") names no file, on Windows too.
    for (const auto& [file, reason] :
         {std::pair{path("missing.lev"), systemText(ENOENT)},
          std::pair{path("dir"), systemText(EISDIR)},
          std::pair{m_game.startFolder() + "\xE4.lev", systemText(ENOENT)}}) {
        const auto error = level::ReadWholeFile(file, anyFile);
        ASSERT_FALSE(error) << file;
        EXPECT_EQ(error.error().Message(), "cannot read " + file + ": " + reason);
    }
}

TEST_F(DiskFiles, ReaderRefusesFilesBeyondItsLimitsBeforeReadingThem) {
    const level::ReadLimits small{1000, "too large", 3, "too many lines"};
    struct Case {
        std::string bytes;
        const char* reason; // nullptr: read
    };
    const Case cases[] = {
        {std::string(1000, 'x'), nullptr},
        {std::string(1001, 'x'), "too large"},
        {"a\r\nb\nc\rd", nullptr},
        {"\r\n\r\n\r\n", nullptr},
        {"a\r\nb\nc\rd\n", "too many lines"},
        {"\r\r\r\r", "too many lines"},
        {"\n\n\n\n" + std::string(900, 'x'), "too many lines"},
    };
    for (const Case& c : cases) {
        writeBytes(path("f.lev"), c.bytes);
        const auto read = level::ReadWholeFile(path("f.lev"), small);
        if (!c.reason) {
            ASSERT_TRUE(read) << read.error().Message();
            EXPECT_EQ(*read, c.bytes);
        } else {
            ASSERT_FALSE(read) << c.reason;
            EXPECT_EQ(read.error().Message(), "cannot read " + path("f.lev") + ": " + c.reason);
        }
    }
}

#ifndef _WIN32
// A FIFO would hold a blocking open until a writer comes (this test then fails by its time-out);
// devices would be read without end.
TEST_F(DiskFiles, ReaderRefusesWhatIsNoRegularFileWithoutWaiting) {
    ASSERT_EQ(mkfifo(path("fifo.lev").c_str(), 0644), 0);
    fs::create_symlink("/dev/zero", path("zero.lev"));
    fs::create_symlink("/dev/urandom", path("random.lev"));
    const int listening = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listening, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path("socket.lev").c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(bind(listening, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);

    for (const char* name : {"fifo.lev", "zero.lev", "random.lev", "socket.lev"}) {
        const auto read = level::ReadWholeFile(path(name), anyFile);
        ASSERT_FALSE(read) << name;
        EXPECT_EQ(read.error().reason, "it is not a regular file") << name;
    }
    close(listening);
}

TEST_F(DiskFiles, TemporaryFileIsPrivateUntilItIsComplete) {
    folderWritten = m_folder;
    // Where the system has files without a name, a save's temporary file is one of them.
    bool unnamedHere = false;
#ifdef O_TMPFILE
    if (const int fd = open(m_folder.c_str(), O_TMPFILE | O_WRONLY, 0600); fd >= 0) {
        unnamedHere = true;
        close(fd);
    }
#endif
    for (const bool named : {false, true})
        for (const unsigned mode : {0600u, 0644u, 0666u}) {
            level::SetFileCallsForTesting({noteModeThenWrite, nullptr, nullptr, named});
            writeBytes(path("secret.lev"), "old\r\n");
            ASSERT_EQ(chmod(path("secret.lev").c_str(), mode), 0);
            ASSERT_TRUE(level::WriteFileAtomically(path("secret.lev"), "new\r\n"));
            EXPECT_EQ(modeWhileWritten, 0600u) << std::oct << mode;
            EXPECT_EQ(modeOf(path("secret.lev")), mode);
            // Beside the old file there is at most the temporary file, by its known name.
            for (const std::string& name : entriesWhileWritten)
                EXPECT_TRUE(name == "secret.lev" || ((named || !unnamedHere) && name.size() == 27 &&
                                                     name.starts_with(".secret.lev.part-")))
                    << name;
            EXPECT_EQ(entries(), Names{"secret.lev"});
        }
    ASSERT_TRUE(level::WriteFileAtomically(path("fresh.lev"), "new\r\n"));
    EXPECT_EQ(modeWhileWritten, 0600u);
    EXPECT_EQ(modeOf(path("fresh.lev")), 0644u); // as any new file under umask 022
    EXPECT_EQ(entries(), (Names{"fresh.lev", "secret.lev"}));
}

TEST_F(DiskFiles, OwnerGroupAndSpecialBitsAsFarAsTheSavingUserMay) {
    if (geteuid() != 0)
        GTEST_SKIP() << "acting as another user needs root";
    const uid_t otherUser = 65534;
    const gid_t sharedGroup = 4242;
    // The saving user writes its temporary file into this folder.
    ASSERT_EQ(chmod(m_folder.c_str(), 0777), 0);
    struct Case {
        const char* name;
        uid_t owner;
        gid_t group;
        unsigned mode;
        uid_t ownerAfter;
        gid_t groupAfter;
        unsigned modeAfter;
    };
    const Case cases[] = {
        // A member of the group keeps the group, so the next member may write it too.
        {"group.lev", 0, sharedGroup, 0664, otherUser, sharedGroup, 0664},
        // The owner cannot be kept: a program must not come to run as its new owner.
        {"setuid.lev", 0, 0, 04777, otherUser, 65534, 0777},
        {"setgid.lev", 0, sharedGroup, 02775, otherUser, sharedGroup, 0775},
    };
    for (const Case& c : cases) {
        writeBytes(path(c.name), "old\r\n");
        ASSERT_EQ(chown(path(c.name).c_str(), c.owner, c.group), 0);
        ASSERT_EQ(chmod(path(c.name).c_str(), c.mode), 0);
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const gid_t groups[] = {sharedGroup};
        bool saved = setgid(65534) == 0 && setgroups(1, groups) == 0 && setuid(otherUser) == 0;
        for (const Case& c : cases)
            saved = saved && level::WriteFileAtomically(path(c.name), "new\r\n").ok();
        _exit(saved ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the other user's saves failed";
    for (const Case& c : cases) {
        struct stat st {};
        ASSERT_EQ(stat(path(c.name).c_str(), &st), 0);
        EXPECT_EQ(readBytes(path(c.name)), "new\r\n") << c.name;
        EXPECT_EQ(st.st_uid, c.ownerAfter) << c.name;
        EXPECT_EQ(st.st_gid, c.groupAfter) << c.name;
        EXPECT_EQ(st.st_mode & 07777, c.modeAfter) << c.name;
    }

    // A privileged save keeps owner, group and every bit.
    writeBytes(path("kept.lev"), "old\r\n");
    ASSERT_EQ(chown(path("kept.lev").c_str(), 1234, sharedGroup), 0);
    ASSERT_EQ(chmod(path("kept.lev").c_str(), 06755), 0);
    ASSERT_TRUE(level::WriteFileAtomically(path("kept.lev"), "new\r\n"));
    struct stat st {};
    ASSERT_EQ(stat(path("kept.lev").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 1234u);
    EXPECT_EQ(st.st_gid, sharedGroup);
    EXPECT_EQ(st.st_mode & 07777, 06755u);
}

TEST_F(DiskFiles, StaleTemporaryFilesOfTheTargetAreRemovedByItsNextSave) {
    const auto dayAndMore = fs::file_time_type::clock::now() - std::chrono::hours(25);
    const auto leftover = [&](const std::string& name, bool stale) {
        writeBytes(path(name), "half of a");
        if (stale)
            fs::last_write_time(path(name), dayAndMore);
    };
    leftover(".a.lev.part-0123456789", true);  // removed
    leftover(".a.lev.part-abcdefghij", false); // removed too: no running save holds it
    leftover(".b.lev.part-0123456789", true);  // another target's
    leftover(".a.lev.part-0123", true);        // not a name the saves give
    Names kept{".a.lev.part-0123", ".b.lev.part-0123456789", "a.lev"};
    if (geteuid() == 0) {
        leftover(".a.lev.part-someoneels", true); // another user's
        ASSERT_EQ(chown(path(".a.lev.part-someoneels").c_str(), 65534, 65534), 0);
        kept.push_back(".a.lev.part-someoneels");
        std::sort(kept.begin(), kept.end());
    }
    ASSERT_TRUE(level::WriteFileAtomically(path("a.lev"), "new\r\n"));
    EXPECT_EQ(entries(), kept);
}

// A save flushes the new file to disk, then the folder, so that the rename survives a power cut.
std::vector<ino_t> synced;

TEST_F(DiskFiles, ASaveFlushesTheFileAndThenItsFolder) {
    writeBytes(path("a.lev"), "old\r\n");
    level::FileCallsForTesting calls;
    calls.sync = [](int fd) {
        struct stat st {};
        fstat(fd, &st);
        synced.push_back(st.st_ino);
        return ::fsync(fd);
    };
    level::SetFileCallsForTesting(calls);
    ASSERT_TRUE(level::WriteFileAtomically(path("a.lev"), "new\r\n"));
    struct stat file {};
    struct stat folder {};
    ASSERT_EQ(stat(path("a.lev").c_str(), &file), 0);
    ASSERT_EQ(stat(m_folder.c_str(), &folder), 0);
    EXPECT_EQ(synced, (std::vector<ino_t>{file.st_ino, folder.st_ino}));
}

// A save that dies between naming its temporary file and the rename leaves that file behind;
// the next save of the level removes it at once, but never the temporary file of a save that is
// still running, here one that a second save starts in the middle of.
std::string runningSaveTarget;
std::vector<std::string> seenDuringSecondSave;
bool secondSaveSucceeded = false;

TEST_F(DiskFiles, LeftoverOfACrashedSaveIsRemovedByTheNextSaveButNotThatOfARunningOne) {
    for (const bool named : {false, true}) {
        SCOPED_TRACE(named ? "named temporary files" : "unnamed temporary files");
        runningSaveTarget = path("a.lev");
        writeBytes(runningSaveTarget, "old\r\n");
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            level::FileCallsForTesting crash;
            crash.namedTemporaryFiles = named;
            crash.beforeReplace = [](const std::string&) { _exit(0); };
            level::SetFileCallsForTesting(crash);
            (void)level::WriteFileAtomically(runningSaveTarget, "crashed\r\n");
            _exit(1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "no crash before the rename";
        ASSERT_EQ(entries().size(), 2u); // a.lev and the leftover

        level::FileCallsForTesting calls;
        calls.namedTemporaryFiles = named;
        calls.beforeReplace = [](const std::string& running) {
            level::FileCallsForTesting inner;
            inner.namedTemporaryFiles = true;
            level::SetFileCallsForTesting(inner);
            secondSaveSucceeded = bool(level::WriteFileAtomically(runningSaveTarget, "b\r\n"));
            seenDuringSecondSave.clear();
            for (const auto& entry : fs::directory_iterator(fs::path(running).parent_path()))
                seenDuringSecondSave.push_back(entry.path().string());
        };
        level::SetFileCallsForTesting(calls);
        const auto saved = level::WriteFileAtomically(runningSaveTarget, "a\r\n");
        level::SetFileCallsForTesting({});
        ASSERT_TRUE(saved);
        EXPECT_TRUE(secondSaveSucceeded);
        EXPECT_EQ(seenDuringSecondSave.size(), 2u); // a.lev and the running save's file
        EXPECT_EQ(readBytes(runningSaveTarget), "a\r\n");
        EXPECT_EQ(entries(), Names{"a.lev"});
    }
}
#endif

TEST_F(DiskFiles, LackOfMemoryIsAFailureLikeAnyOther) {
    writeBytes(path("a.lev"), "old\r\n");
    level::SetFileCallsForTesting(
        {[](int, const void*, std::size_t) -> long { throw std::bad_alloc(); }});
    const auto saved = level::WriteFileAtomically(path("a.lev"), "new\r\n");
    level::SetFileCallsForTesting({});
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().Message(), "cannot save " + path("a.lev") + ": not enough memory");
    EXPECT_EQ(readBytes(path("a.lev")), "old\r\n");
    EXPECT_EQ(entries(), Names{"a.lev"});
}

TEST_F(DiskFiles, CreateEmptyFileLeavesAnExistingFileAlone) {
    ASSERT_TRUE(level::CreateEmptyFileIfMissing(path("new.lev")));
    EXPECT_TRUE(fs::is_regular_file(path("new.lev")));
    EXPECT_EQ(fs::file_size(path("new.lev")), 0u);

    writeBytes(path("full.lev"), "ADD SHIP\r\n");
    ASSERT_TRUE(level::CreateEmptyFileIfMissing(path("full.lev")));
    EXPECT_EQ(readBytes(path("full.lev")), "ADD SHIP\r\n");

    fs::create_directory(path("dir.lev"));
    std::vector<std::pair<std::string, std::string>> cases{
        {path("nofolder/x.lev"), systemText(ENOENT)}, {path("dir.lev"), systemText(EISDIR)}};
    if (canMakeLinks(m_folder)) {
        fs::create_symlink("nowhere.lev", path("dangling.lev"));
        cases.emplace_back(path("dangling.lev"),
                           "it is a symbolic link to nowhere.lev, which does not exist");
    }
    for (const auto& [file, reason] : cases) {
        const auto error = level::CreateEmptyFileIfMissing(file);
        ASSERT_FALSE(error) << file;
        EXPECT_EQ(error.error().Message(), "cannot create " + file + ": " + reason);
    }
    EXPECT_FALSE(fs::exists(path("nowhere.lev")));
}

TEST_F(DiskFiles, RemoveFileRemovesItOrNamesTheReason) {
    writeBytes(path("gone.lev"), "x");
    ASSERT_TRUE(level::RemoveFile(path("gone.lev")));
    EXPECT_FALSE(fs::exists(path("gone.lev")));

    const auto error = level::RemoveFile(path("gone.lev"));
    ASSERT_FALSE(error);
    EXPECT_EQ(error.error().Message(),
              "cannot delete " + path("gone.lev") + ": " + systemText(ENOENT));
}
