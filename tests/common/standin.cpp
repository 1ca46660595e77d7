// A stand-in for one of the game's own editors in the launcher tests on Windows: appends its own
// name, the number of its arguments and its working folder (with forward slashes, as Qt writes
// folders) to the file that STANDIN_RECORD names.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

int main(int argc, char** argv) {
    const char* record = std::getenv("STANDIN_RECORD");
    if (record == nullptr || argc < 1)
        return 1;
    std::error_code error;
    const std::string here = std::filesystem::current_path(error).generic_string();
    const std::string name = std::filesystem::path(argv[0]).filename().string();
    std::FILE* file = std::fopen(record, "ab"); // binary: a line end of "\n" alone
    if (file == nullptr)
        return 1;
    std::fprintf(file, "%s %d %s\n", name.c_str(), argc - 1, here.c_str());
    return std::fclose(file) == 0 ? 0 : 1;
}
