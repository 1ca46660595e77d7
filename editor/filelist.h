#pragma once

#include <QListWidget>
#include <QString>

namespace editor {

// The file list `File1`: the names of the files in one folder that match the pattern ("*.lev"),
// sorted by name. One entry at a time can be selected; listIndex() is -1 when none is.
class FileList : public QListWidget {
    Q_OBJECT
public:
    explicit FileList(const QString& pattern, QWidget* parent = nullptr);

    QString path() const { return m_path; }
    // Shows the matching files of another folder; no entry is selected afterwards.
    void setPath(const QString& path);
    // Re-reads the folder; the selected entry stays selected while its file exists.
    void refresh();

    int listIndex() const;
    // The selected entry's bare file name, empty when none is selected.
    QString selectedFileName() const;

signals:
    // A key that produces a character was typed while the list had the focus.
    void characterTyped(int code);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString m_pattern;
    QString m_path;
};

} // namespace editor
