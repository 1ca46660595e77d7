#pragma once

#include <QListWidget>
#include <QString>

#include <string>

namespace editor {

// The file list `File1`: the names of the files in one folder that match the pattern ("*.lev",
// whatever the letter case), sorted by name. One entry at a time can be selected; listIndex() is
// -1 when none is. Files are held by the exact bytes of their names: a name that is no UTF-8
// (Windows-1252, from a game folder made on Windows) shows as Windows-1252, and loading, saving
// and deleting use the name's own bytes.
class FileList : public QListWidget {
    Q_OBJECT
public:
    explicit FileList(const QString& pattern, QWidget* parent = nullptr);

    // The folder shown, as shown and as the core takes it.
    QString path() const;
    const std::string& corePath() const { return m_path; }
    // Shows the matching files of another folder (a path as the core takes it); no entry is
    // selected afterwards.
    void setCorePath(const std::string& path);
    // Re-reads the folder; the selected entry stays selected while its file exists.
    void refresh();

    int listIndex() const;
    // The selected entry's bare file name as shown, empty when none is selected.
    QString selectedFileName() const;
    // The same name's exact bytes, as the core takes it.
    std::string selectedName() const;

signals:
    // A key that produces a character was typed while the list had the focus.
    void characterTyped(int code);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::string m_pattern; // its ASCII letters in lower case
    std::string m_path;
};

} // namespace editor
