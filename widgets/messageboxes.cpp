#include "widgets/messageboxes.h"

#include "core/foldernames.h"
#include "widgets/qtpath.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QScreen>
#include <QSpacerItem>

#include <algorithm>

namespace widgets {

namespace {

// Words longer than this many characters get places where a line may break.
constexpr qsizetype LongestUnbrokenWord = 40;
constexpr QChar ZeroWidthSpace(0x200B);

// QMessageBox breaks its text only at blanks: a word wider than the box, such as a long file name
// or a number of 400 digits, runs over the box's edge and is cut. Long words get a zero-width
// space between their characters, where a line may break; the text reads the same.
QString breakableText(const QString& text) {
    QString result;
    result.reserve(text.size());
    for (qsizetype start = 0; start < text.size();) {
        const bool blanks = text.at(start).isSpace();
        qsizetype end = start;
        while (end < text.size() && text.at(end).isSpace() == blanks)
            ++end;
        const QStringView part = QStringView(text).mid(start, end - start);
        if (blanks || part.size() <= LongestUnbrokenWord) {
            result += part;
        } else {
            for (qsizetype i = 0; i < part.size(); ++i) {
                // Never inside a surrogate pair or before a combining mark.
                if (i > 0 && !part.at(i).isLowSurrogate() && !part.at(i).isMark())
                    result += ZeroWidthSpace;
                result += part.at(i);
            }
        }
        start = end;
    }
    return result;
}

// The widest a message box makes itself on the screen of parent (QMessageBox keeps within this
// limit and shrinks its content beyond it).
int widestBox(const QWidget* parent) {
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int available = screen ? screen->availableGeometry().width() : 1024;
    return available <= 1024 ? available : std::min(available - 480, 1000);
}

// A box shows its text as plain text (a file name is never markup), with long words breakable,
// and is at least as wide as its title needs, so that a window manager does not shorten a title
// that is the only place where the box names its file.
void prepare(QMessageBox& box, QWidget* parent) {
    box.setTextFormat(Qt::PlainText);
    box.setText(breakableText(box.text()));
    // Copied text would carry the zero-width spaces along.
    box.setTextInteractionFlags(Qt::NoTextInteraction);
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    const QMargins margins = grid->contentsMargins();
    const int width = std::min(titleBarWidth(box.windowTitle()),
                               widestBox(parent) - margins.left() - margins.right());
    // A spacer of that width in the row of the buttons.
    int row = grid->rowCount() - 1;
    if (const auto* buttons = box.findChild<QDialogButtonBox*>()) {
        int column = 0;
        int rowSpan = 0;
        int columnSpan = 0;
        grid->getItemPosition(grid->indexOf(buttons), &row, &column, &rowSpan, &columnSpan);
    }
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), row, 0, 1,
                  grid->columnCount());
}

} // namespace

// Window managers draw titles in fonts of their own, which Qt knows only where the platform
// tells it (the title font). The title is measured in that font and in the bold application
// font with a seventh more, for title fonts somewhat larger than the application's, and the
// wider of the two is taken. The room for the icon, the buttons and the padding beside the title
// (some 170 pixels at 96 dpi in Openbox's default theme, some 180 on Windows 10) is ten lines.
int titleBarWidth(const QString& title) {
    QFont font = QApplication::font();
    font.setBold(true);
    const QFontMetrics metrics(font);
    QFont titleFont = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    titleFont.setBold(true);
    const int text = std::max(metrics.horizontalAdvance(title) * 8 / 7,
                              QFontMetrics(titleFont).horizontalAdvance(title));
    return text + 10 * metrics.height();
}

bool askYesNo(QWidget* parent, const QString& title, const QString& text, QMessageBox::Icon icon,
              QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(defaultButton);
    prepare(box, parent);
    return box.exec() == QMessageBox::Yes;
}

void showFailure(QWidget* parent, const QString& message) {
    QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(), message,
                    QMessageBox::Ok, parent);
    prepare(box, parent);
    box.exec();
}

void showWarning(QWidget* parent, const QString& message) {
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(), message,
                    QMessageBox::Ok, parent);
    prepare(box, parent);
    box.exec();
}

void showFailure(QWidget* parent, const level::FileError& error) {
    // A path whose names are no UTF-8 shows them as Windows-1252, as the file browser does.
    showFailure(parent, toQString(level::FileError{error.action, level::PathForDisplay(error.path),
                                                   error.reason}
                                      .Message()));
}

void showMessage(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    prepare(box, parent);
    box.exec();
}

} // namespace widgets
