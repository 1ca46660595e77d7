#pragma once

// How much of a long text a control shows: level rows and file names. Qt Core only, so that the
// level document's item model can use it without the windows.

#include "core/utf8.h"

#include <QChar>
#include <QString>

#include <cstddef>
#include <string_view>

namespace widgets {

// The most characters of one text that a list draws or a tool tip shows; a longer text shows its
// start followed by "…". (Laying out a row of twenty million characters freezes a window for a
// minute and overflows the text layout's coordinates.)
inline constexpr int MaxShownCharacters = 4000;

// How much of a UTF-8 text a control shows: its first MaxShownCharacters characters.
struct ShownPart {
    std::size_t bytes = 0; // the bytes shown
    bool cut = false;      // the text goes on beyond them, and "…" follows
};

inline ShownPart shownPart(std::string_view utf8) {
    const std::size_t bytes =
        level::Utf8PrefixLength(utf8, static_cast<std::size_t>(MaxShownCharacters));
    return {bytes, bytes < utf8.size()};
}

// What a control shows of a UTF-8 text: the text, or its shown part followed by "…".
inline QString shownText(std::string_view utf8) {
    const ShownPart part = shownPart(utf8);
    QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(part.bytes));
    if (part.cut)
        text += QChar(0x2026);
    return text;
}

} // namespace widgets
