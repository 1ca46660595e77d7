#pragma once

#include "widgets/geometry.h"

#include <QObject>
#include <QString>
#include <QWidget>

#include <string>

namespace editor {

class DirectoryList;
class DriveList;
class FileList;

// The level file browser of the editor's window: the drive list Drive1, the directory list Dir1
// and the file list File1 of the level files ("*.lev"), made as controls of the window at the
// places its layout gives them. Choosing a drive opens its root in the directory list (a drive
// whose root cannot be opened leaves the drive list on the drive the directory list shows);
// opening a folder lists its level files. The browser offers the window the folder it shows and
// the selected file, and passes on the character codes typed into the file list.
class FileBrowser : public QObject {
    Q_OBJECT
public:
    // The places of the three lists in window's layout.
    struct Places {
        widgets::ControlPlace drives;
        widgets::ControlPlace folders;
        widgets::ControlPlace files;
    };

    FileBrowser(QWidget* window, const Places& places);

    // Opens folder (its drive shown in the drive list, its level files listed), as at start-up.
    void open(const QString& folder);
    // The folder the directory list shows, as the core takes it.
    const std::string& folder() const;
    // A file of that folder, as the core takes its path.
    std::string pathOf(const std::string& name) const;

    bool hasSelectedFile() const;
    // The selected file's bare name as shown, empty when none is selected.
    QString selectedFileName() const;
    // The same name's exact bytes, as the core takes it.
    std::string selectedName() const;

    // Reads the level files of the folder again; the selected file stays selected while it exists.
    void refresh();

signals:
    // A key that produces a character was typed while the file list had the focus.
    void fileListCharacterTyped(int code);

private:
    void drive1Changed(const QString& root);
    void dir1Changed();

    DriveList* Drive1 = nullptr;
    DirectoryList* Dir1 = nullptr;
    FileList* File1 = nullptr;
};

} // namespace editor
