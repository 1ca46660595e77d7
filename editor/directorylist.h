#pragma once

#include <QString>
#include <QTreeWidget>

#include <string>

namespace editor {

// The directory list `Dir1`: the chain of folders from the root down to the current folder,
// then the current folder's subfolders, indented like a tree. Double-click or Enter on an entry
// opens it. The list reads the disk synchronously whenever it refreshes. Folders are held by the
// exact bytes of their names, so a folder whose name is no UTF-8 (Windows-1252, from a game
// folder made on Windows) is listed, shown as Windows-1252, and opened all the same.
class DirectoryList : public QTreeWidget {
    Q_OBJECT
public:
    explicit DirectoryList(QWidget* parent = nullptr);

    // The current folder as shown, without a trailing separator except at a root ("/", "C:/").
    QString path() const;
    // The current folder as the core takes it: its exact bytes.
    const std::string& corePath() const { return m_path; }
    // Opens a folder; an unreadable or missing folder is reported and the list stays where it
    // was. Emits pathChanged when the folder changes. Returns false on failure.
    bool setPath(const QString& path);
    bool setCorePath(const std::string& path);
    // Re-reads the folders from disk. When the current folder has gone, the nearest folder
    // above it that still exists becomes the current one.
    void refresh();

signals:
    void pathChanged(const QString& path);

protected:
    void drawBranches(QPainter* painter, const QRect& rect,
                      const QModelIndex& index) const override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void dir1Activated(QTreeWidgetItem* item);
    void rebuild();

    std::string m_path;
};

} // namespace editor
