#pragma once

#include "core/filestamp.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>

#include <string>
#include <string_view>

namespace editor {

// The level file the editor's rows came from: the one last loaded or saved. It remembers what
// the file was then (size, modification time, a hash of its bytes), so that a change by someone
// else (another designer, a text editor, a checkout) is noticed: when the file watcher reports
// one, and whenever the editor's window becomes active again (watchers miss changes on some file
// systems, and names that are no UTF-8). A file deleted on disk counts as changed. Paths are the
// core's, so that every byte of a name counts.
class LevelFileWatch : public QObject {
    Q_OBJECT
public:
    explicit LevelFileWatch(QObject* parent = nullptr);

    // The rows are now those of the file at path, as bytes holds them (after a load or a save).
    void setFile(const std::string& path, std::string_view bytes);
    // No file any more (the rows came from elsewhere: a recovery).
    void forget();
    const std::string& path() const { return m_path; }
    // Whether path names the file.
    bool isFile(const std::string& path) const;

    // Whether the file on disk differs from what the rows came from: deleted, or other bytes.
    bool changedOnDisk() const;
    // Whether it changed since the last change told (told() marks the change as told, so that
    // one change brings one question).
    bool newlyChanged();
    void told();

signals:
    // The watcher saw the file (or its folder) change.
    void fileChanged();

private:
    // What the file is now; the bytes are read only when size or time differ from known.
    level::FileStamp stampNow(const level::FileStamp& known) const;
    static bool differ(const level::FileStamp& a, const level::FileStamp& b);
    void watch();

    std::string m_path;
    level::FileStamp m_loaded; // when the rows came from it
    level::FileStamp m_told;   // the last change told
    QFileSystemWatcher m_watcher;
};

} // namespace editor
