#pragma once

#include <string>

namespace level {

// A failed file operation, as a value: what was being done, on which path, and why.
struct FileError {
    std::string action; // a verb phrase, e.g. "open", "write", "save", "load"
    std::string path;
    std::string reason; // the system's reason ("Permission denied") or our own

    // One sentence a person can act on: "cannot <action> <path>: <reason>".
    std::string Message() const { return "cannot " + action + " " + path + ": " + reason; }
};

} // namespace level
