#include "editor/levelfilewatch.h"

#include "widgets/qtpath.h"

#include <QFileInfo>

namespace editor {

LevelFileWatch::LevelFileWatch(QObject* parent)
    : QObject(parent) {
    const auto changed = [this] {
        watch(); // a file replaced by a rename leaves the watcher
        emit fileChanged();
    };
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, changed);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, changed);
}

void LevelFileWatch::setFile(const std::string& path, std::string_view bytes) {
    m_path = path;
    m_loaded = level::StampFile(path);
    m_loaded.hash = level::HashBytes(bytes);
    m_told = m_loaded;
    watch();
}

void LevelFileWatch::forget() {
    m_path.clear();
    m_loaded = level::FileStamp{};
    m_told = level::FileStamp{};
    watch();
}

bool LevelFileWatch::isFile(const std::string& path) const {
    return !m_path.empty() && level::SameFile(m_path, path);
}

// The folder is watched too: a save that replaces the file by a rename, or a delete, ends the
// watch of the file itself.
void LevelFileWatch::watch() {
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    if (m_path.empty())
        return;
    const QString file = widgets::fromCorePath(m_path);
    if (QFileInfo(file).isFile())
        m_watcher.addPath(file);
    const QString folder = QFileInfo(file).absolutePath();
    if (QFileInfo(folder).isDir())
        m_watcher.addPath(folder);
}

level::FileStamp LevelFileWatch::stampNow(const level::FileStamp& known) const {
    level::FileStamp now = level::StampFile(m_path);
    if (!now.exists)
        return now;
    // Size or time differ, or the known stamp was taken too soon after a change for its time to
    // tell: the bytes tell whether the content did (a checkout or a touch may leave it as it was).
    if (known.exists && !known.racy && now.size == known.size && now.modified == known.modified)
        now.hash = known.hash;
    else
        now = level::StampFileWithHash(m_path);
    return now;
}

bool LevelFileWatch::differ(const level::FileStamp& a, const level::FileStamp& b) {
    return a.exists != b.exists || (a.exists && a.hash != b.hash);
}

bool LevelFileWatch::changedOnDisk() const {
    return !m_path.empty() && differ(stampNow(m_loaded), m_loaded);
}

// An unchanged file's newer stamp is kept, so that the bytes are read again only while its time
// cannot tell.
bool LevelFileWatch::newlyChanged() {
    if (m_path.empty())
        return false;
    const level::FileStamp now = stampNow(m_told);
    if (differ(now, m_told))
        return true;
    m_told = now;
    return false;
}

void LevelFileWatch::told() {
    if (!m_path.empty())
        m_told = stampNow(m_told);
}

} // namespace editor
