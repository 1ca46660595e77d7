#include "editor/filebrowser.h"

#include "core/startfolder.h"
#include "editor/directorylist.h"
#include "editor/drivelist.h"
#include "editor/filelist.h"
#include "widgets/listframe.h"

namespace editor {

FileBrowser::FileBrowser(QWidget* window, const Places& places)
    : QObject(window) {
    Drive1 = widgets::placed<DriveList>(window, places.drives);
    Dir1 = widgets::placed<DirectoryList>(window, places.folders);
    File1 = widgets::placed<FileList>(window, places.files, QStringLiteral("*.lev"));
    // What a screen reader calls the lists.
    Drive1->setAccessibleName(QStringLiteral("drives"));
    Dir1->setAccessibleName(QStringLiteral("folders"));
    File1->setAccessibleName(QStringLiteral("level files"));
    widgets::keepFrameOnTop(Dir1);
    widgets::keepFrameOnTop(File1);

    connect(Drive1, &DriveList::driveChanged, this, &FileBrowser::drive1Changed);
    connect(Dir1, &DirectoryList::pathChanged, this, &FileBrowser::dir1Changed);
    connect(File1, &FileList::characterTyped, this, &FileBrowser::fileListCharacterTyped);
}

void FileBrowser::open(const QString& folder) {
    Dir1->setPath(folder);
    Drive1->showDriveOf(Dir1->path());
    File1->setCorePath(Dir1->corePath());
}

const std::string& FileBrowser::folder() const {
    return Dir1->corePath();
}

std::string FileBrowser::pathOf(const std::string& name) const {
    return level::JoinPath(Dir1->corePath(), name);
}

bool FileBrowser::hasSelectedFile() const {
    return File1->listIndex() != -1;
}

QString FileBrowser::selectedFileName() const {
    return File1->selectedFileName();
}

std::string FileBrowser::selectedName() const {
    return File1->selectedName();
}

void FileBrowser::refresh() {
    File1->refresh();
}

void FileBrowser::drive1Changed(const QString& root) {
    if (!Dir1->setPath(root))
        Drive1->showDriveOf(Dir1->path());
}

void FileBrowser::dir1Changed() {
    File1->setCorePath(Dir1->corePath());
}

} // namespace editor
