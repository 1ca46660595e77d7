#include "atomicfile.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
class AtomicFile : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        m_oldUmask = umask(022);
        bytesWritten = 0;
    }
    void TearDown() override {
        SetFileCallsForTesting({});
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

TEST_F(AtomicFile, NewFileGetsTheBytesAndTheUsualMode) {
    const std::string file = path("new.lev");
    ASSERT_TRUE(WriteFileAtomically(file, std::string("a\0b\r\n", 5)));
    EXPECT_EQ(readBytes(file), std::string("a\0b\r\n", 5));
    EXPECT_EQ(modeOf(file), kept(0644));
    EXPECT_EQ(entries(), Names{"new.lev"});

    umask(077);
    ASSERT_TRUE(WriteFileAtomically(path("private.lev"), ""));
    EXPECT_EQ(modeOf(path("private.lev")), kept(0600));
    EXPECT_EQ(fs::file_size(path("private.lev")), 0u);
}

TEST_F(AtomicFile, ReplacingKeepsThePermissionBits) {
    for (const unsigned mode : {0640u, 0600u, 0755u, 0200u, 0666u}) {
        const std::string file = path("kept.lev");
        writeBytes(file, "a much longer old content\r\n");
        ASSERT_EQ(chmod(file.c_str(), mode), 0);
        ASSERT_TRUE(WriteFileAtomically(file, "new\r\n"));
        EXPECT_EQ(readBytes(file), "new\r\n");
        EXPECT_EQ(modeOf(file), kept(mode));
        EXPECT_EQ(entries(), Names{"kept.lev"});
    }
}

TEST_F(AtomicFile, FailureKeepsTheOldFileAndLeavesNoTemporaryFile) {
    fs::create_directory(path("dir.lev"));
    writeBytes(path("dir.lev/inside"), "x");
    struct Case {
        const char* name;
        unsigned mode; // of the old file
        FileCallsForTesting calls;
        std::size_t failAfter;
        std::string reason;
    };
    const Case cases[] = {
        {"read-only", 0444, {}, 0, "the file is read-only"},
        {"read-only for its owner alone", 0400, {}, 0, "the file is read-only"},
        {"no space at once", 0644, {failAfterSomeBytes}, 0, systemText(ENOSPC)},
        {"no space midway", 0644, {failAfterSomeBytes}, 7, systemText(ENOSPC)},
        {"system takes nothing", 0644, {writesNothing}, 0, systemText(EIO)},
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
        SetFileCallsForTesting(c.calls);
        const auto error = WriteFileAtomically(file, "new bytes, more of them\r\n", "save");
        SetFileCallsForTesting({});
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

TEST_F(AtomicFile, ManySavesLeaveNoDescriptorOpen) {
    const std::size_t before = openDescriptors();
    for (int i = 0; i < 2000; ++i) {
        ASSERT_TRUE(WriteFileAtomically(path("a.lev"), std::to_string(i) + "\r\n"));
        ASSERT_TRUE(ReadWholeFile(path("a.lev")));
        ASSERT_FALSE(WriteFileAtomically(path("missing/a.lev"), "x"));
    }
    EXPECT_EQ(openDescriptors(), before);
    EXPECT_EQ(readBytes(path("a.lev")), "1999\r\n");
}

TEST_F(AtomicFile, LeftoversOfACrashAndLongNamesDoNotStopASave) {
    // What a save killed midway leaves: its temporary file beside the target.
    writeBytes(path("crash.lev"), "old\r\n");
    writeBytes(path(".crash.lev~0123456789"), "half of a n");
    ASSERT_TRUE(WriteFileAtomically(path("crash.lev"), "new\r\n"));
    EXPECT_EQ(readBytes(path("crash.lev")), "new\r\n");

    // Names near the usual limit of 255 bytes, also of characters that take two bytes.
    for (const std::string& name :
         {std::string(240, 'a') + ".lev", std::string(251, 'b') + ".lev", [] {
              std::string umlauts;
              for (int i = 0; i < 125; ++i)
                  umlauts += "\xc3\xa4";
              return umlauts + ".lev";
          }()}) {
        ASSERT_TRUE(WriteFileAtomically(path(name), "long\r\n")) << name.size();
        EXPECT_EQ(readBytes(path(name)), "long\r\n");
        ASSERT_TRUE(WriteFileAtomically(path(name), "longer\r\n")) << name.size();
        EXPECT_EQ(readBytes(path(name)), "longer\r\n");
    }
}

TEST_F(AtomicFile, DirectoryInTheWayOrMissingFolderIsAnError) {
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
        const auto error = WriteFileAtomically(c.file, "x\r\n", "write");
        ASSERT_FALSE(error) << c.file;
        EXPECT_EQ(error.error().Message(), "cannot write " + c.file + ": " + c.reason);
    }
    EXPECT_EQ(entries(), Names{"dir.lev"});
    EXPECT_EQ(entries(m_folder / "dir.lev"), Names{"inside"});
    EXPECT_EQ(readBytes(path("dir.lev/inside")), "x");
}

TEST_F(AtomicFile, ShortAndInterruptedWritesStillWriteEverything) {
    std::string bytes;
    for (int i = 0; i < 300; ++i)
        bytes += "ADD SHIP x= " + std::to_string(i) + "\r\n";
    for (const auto writer : {oneByteAtATime, interruptedEveryOtherCall}) {
        SetFileCallsForTesting({writer});
        ASSERT_TRUE(WriteFileAtomically(path("a.lev"), bytes));
        SetFileCallsForTesting({});
        EXPECT_EQ(readBytes(path("a.lev")), bytes);
    }
}

TEST_F(AtomicFile, SymbolicLinkSurvivesAndItsTargetIsReplaced) {
    if (!canMakeLinks(m_folder))
        GTEST_SKIP() << "the platform's library cannot make symbolic links";
    fs::create_directory(path("real"));
    writeBytes(path("real/target.lev"), "old\r\n");
    ASSERT_EQ(chmod(path("real/target.lev").c_str(), 0640), 0);
    fs::create_symlink("real/target.lev", path("relative.lev"));
    fs::create_symlink(path("relative.lev"), path("chain.lev"));

    ASSERT_TRUE(WriteFileAtomically(path("relative.lev"), "one\r\n"));
    EXPECT_TRUE(fs::is_symlink(path("relative.lev")));
    EXPECT_EQ(readBytes(path("real/target.lev")), "one\r\n");
    EXPECT_EQ(modeOf(path("real/target.lev")), 0640u);

    ASSERT_TRUE(WriteFileAtomically(path("chain.lev"), "two\r\n"));
    EXPECT_TRUE(fs::is_symlink(path("chain.lev")));
    EXPECT_TRUE(fs::is_symlink(path("relative.lev")));
    EXPECT_EQ(readBytes(path("real/target.lev")), "two\r\n");
    EXPECT_EQ(entries(m_folder / "real"), Names{"target.lev"});
}

TEST_F(AtomicFile, DanglingLinkGetsItsTargetCreated) {
    if (!canMakeLinks(m_folder))
        GTEST_SKIP() << "the platform's library cannot make symbolic links";
    fs::create_directory(path("real"));
    fs::create_symlink("real/later.lev", path("dangling.lev"));
    ASSERT_TRUE(WriteFileAtomically(path("dangling.lev"), "x\r\n"));
    EXPECT_TRUE(fs::is_symlink(path("dangling.lev")));
    EXPECT_EQ(readBytes(path("real/later.lev")), "x\r\n");

    fs::create_symlink("loop2.lev", path("loop1.lev"));
    fs::create_symlink("loop1.lev", path("loop2.lev"));
    const auto error = WriteFileAtomically(path("loop1.lev"), "x");
    ASSERT_FALSE(error);
    EXPECT_TRUE(fs::is_symlink(path("loop1.lev")));
}

TEST_F(AtomicFile, ReadWholeFileReadsEveryByteOrNamesTheReason) {
    std::string bytes(200000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    writeBytes(path("big.lev"), bytes);
    const auto big = ReadWholeFile(path("big.lev"));
    ASSERT_TRUE(big);
    EXPECT_EQ(*big, bytes);

    writeBytes(path("empty.lev"), "");
    const auto empty = ReadWholeFile(path("empty.lev"));
    ASSERT_TRUE(empty);
    EXPECT_EQ(*empty, "");

    fs::create_directory(path("dir"));
    // A name that is no UTF-8 (Latin-1 "ä") names no file, on Windows too.
    for (const auto& [file, reason] :
         {std::pair{path("missing.lev"), systemText(ENOENT)},
          std::pair{path("dir"), systemText(EISDIR)},
          std::pair{m_game.startFolder() + "\xE4.lev", systemText(ENOENT)}}) {
        const auto error = ReadWholeFile(file);
        ASSERT_FALSE(error) << file;
        EXPECT_EQ(error.error().Message(), "cannot read " + file + ": " + reason);
    }
}

TEST_F(AtomicFile, CreateEmptyFileLeavesAnExistingFileAlone) {
    ASSERT_TRUE(CreateEmptyFileIfMissing(path("new.lev")));
    EXPECT_TRUE(fs::is_regular_file(path("new.lev")));
    EXPECT_EQ(fs::file_size(path("new.lev")), 0u);

    writeBytes(path("full.lev"), "ADD SHIP\r\n");
    ASSERT_TRUE(CreateEmptyFileIfMissing(path("full.lev")));
    EXPECT_EQ(readBytes(path("full.lev")), "ADD SHIP\r\n");

    fs::create_directory(path("dir.lev"));
    for (const auto& [file, reason] : {std::pair{path("nofolder/x.lev"), systemText(ENOENT)},
                                       std::pair{path("dir.lev"), systemText(EISDIR)}}) {
        const auto error = CreateEmptyFileIfMissing(file);
        ASSERT_FALSE(error) << file;
        EXPECT_EQ(error.error().Message(), "cannot create " + file + ": " + reason);
    }
}

TEST_F(AtomicFile, DeleteFileRemovesItOrNamesTheReason) {
    writeBytes(path("gone.lev"), "x");
    ASSERT_TRUE(DeleteFile(path("gone.lev")));
    EXPECT_FALSE(fs::exists(path("gone.lev")));

    const auto error = DeleteFile(path("gone.lev"));
    ASSERT_FALSE(error);
    EXPECT_EQ(error.error().Message(),
              "cannot delete " + path("gone.lev") + ": " + systemText(ENOENT));
}
