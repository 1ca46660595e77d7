// Saves a level file over and over, for bench/crash-save.sh to kill at random moments.
//   crash_saver versions FOLDER        writes the two versions it saves, a.lev and b.lev
//   crash_saver loop TARGET [--named]  saves version a, then b, then a ... until killed
//   crash_saver once TARGET [--named]  saves version a once
// --named makes the temporary files named, as on systems without unnamed files.
#include "core/diskfiles.h"
#include "core/levelfile.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Some 8 MB of level text; the versions differ in every row.
std::string version(char which) {
    std::string bytes;
    for (int row = 0; bytes.size() < 8'000'000; ++row)
        bytes += "ADD SHIP x= " + std::to_string(row) + " y= " + std::string(1, which) +
                 " r=0 team=1 typ=1 " + std::string(200, which) + "\r\n";
    return bytes;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc >= 3 && std::strcmp(argv[1], "versions") == 0) {
        const std::string folder = argv[2];
        for (const char which : {'a', 'b'})
            if (!level::WriteFileAtomically(folder + "/" + which + ".lev", version(which)))
                return 1;
        return 0;
    }
    const bool loop = argc >= 3 && std::strcmp(argv[1], "loop") == 0;
    if (loop || (argc >= 3 && std::strcmp(argv[1], "once") == 0)) {
        if (argc >= 4 && std::strcmp(argv[3], "--named") == 0)
            level::SetFileCallsForTesting({nullptr, nullptr, nullptr, true});
        const std::string versions[] = {version('a'), version('b')};
        for (unsigned long i = 0; loop || i < 1; ++i)
            if (const auto saved = level::WriteFileAtomically(argv[2], versions[i % 2]); !saved) {
                std::fprintf(stderr, "%s\n", saved.error().Message().c_str());
                return 1;
            }
        return 0;
    }
    std::fprintf(stderr, "usage: crash_saver versions FOLDER | crash_saver loop|once TARGET "
                         "[--named]\n");
    return 2;
}
