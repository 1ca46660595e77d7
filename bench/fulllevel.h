#pragma once

// A level of 32,767 ship entries of some 45 characters, of both teams and twenty kinds: the most
// rows a level holds, for the benchmarks of whole-level work.

#include <string>
#include <vector>

inline std::vector<std::string> fullLevel() {
    std::vector<std::string> rows;
    for (int i = 0; i < 32767; ++i)
        rows.push_back("ADD SHIP x= " + std::to_string(i % 1000) + " y=-" +
                       std::to_string(i % 450) + " r=" + std::to_string(i % 360) +
                       " team=" + std::to_string(1 + i % 2) + " typ=" + std::to_string(1 + i % 20));
    return rows;
}
