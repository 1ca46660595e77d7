#pragma once

// Texts and paths between Qt and the core. The core holds texts in UTF-8 and paths as the
// platform writes them (its own separators); Qt holds QStrings with "/" separators everywhere.

#include <QDir>
#include <QString>

#include <string>

namespace widgets {

inline QString toQString(const std::string& text) {
    return QString::fromStdString(text);
}

inline std::string toStdString(const QString& text) {
    return text.toStdString();
}

// A Qt path as the core takes it: the platform's separators.
inline std::string toCorePath(const QString& path) {
    return QDir::toNativeSeparators(path).toStdString();
}

// A path of the core as Qt takes it.
inline QString fromCorePath(const std::string& path) {
    return QDir::fromNativeSeparators(toQString(path));
}

} // namespace widgets
