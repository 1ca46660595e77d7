#include "core/rowtext.h"

#include <algorithm>

namespace level {

std::string RowsAsText(const std::vector<std::string>& rows) {
    std::size_t size = 0;
    for (const auto& row : rows)
        size += row.size() + 1;
    std::string text;
    text.reserve(size);
    for (const auto& row : rows) {
        text += row;
        text += '\n';
    }
    return text;
}

std::vector<std::string> TextAsRows(std::string_view text) {
    std::vector<std::string> rows;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find('\r', pos), text.find('\n', pos));
        if (end == std::string_view::npos) {
            rows.emplace_back(text.substr(pos));
            break;
        }
        rows.emplace_back(text.substr(pos, end - pos));
        pos = end + 1;
        if (text[end] == '\r' && pos < text.size() && text[pos] == '\n')
            ++pos;
    }
    return rows;
}

namespace {

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool RowContains(std::string_view row, std::string_view text) {
    if (text.size() > row.size())
        return false;
    return std::search(row.begin(), row.end(), text.begin(), text.end(),
                       [](char a, char b) { return lower(a) == lower(b); }) != row.end();
}

int FindRow(const std::vector<std::string>& rows, std::string_view text, int from, bool backwards) {
    const int count = static_cast<int>(rows.size());
    if (text.empty() || count == 0)
        return -1;
    from = ((from % count) + count) % count;
    for (int step = 0; step < count; ++step) {
        const int row = backwards ? (from - step + count) % count : (from + step) % count;
        if (RowContains(rows[static_cast<std::size_t>(row)], text))
            return row;
    }
    return -1;
}

} // namespace level
