#include "selector/form1.h"
#include "tests/common/e2elayout.h"
#include "tests/common/modalanswerer.h"
#include "tests/common/windowtest.h"
#include "widgets/geometry.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <functional>
#include <memory>

using selector::Form1;

namespace {

// The level choice file of a game folder and ways to prepare it.
QString choiceFile(const GameFolder& game) {
    return game.levels() + QStringLiteral("/uselev.lst");
}

// An empty level file in the levels folder, to be picked in the open-file dialog.
QString addLevel(const GameFolder& game, const QString& name) {
    const QString file = game.levels() + QLatin1Char('/') + name;
    if (!writeBytes(file, {}))
        qFatal("cannot create %s", qPrintable(file));
    return file;
}

void writeChoiceFile(const GameFolder& game, const QByteArray& bytes) {
    if (!writeBytes(choiceFile(game), bytes))
        qFatal("cannot write %s", qPrintable(choiceFile(game)));
}

bool choiceFileExists(const GameFolder& game) {
    return QFileInfo::exists(choiceFile(game));
}

QLabel* label1(QWidget& w) {
    return w.findChild<QLabel*>(QStringLiteral("Label1"));
}
QPushButton* command1(QWidget& w) {
    return w.findChild<QPushButton*>(QStringLiteral("Command1"));
}
QPushButton* command3(QWidget& w) {
    return w.findChild<QPushButton*>(QStringLiteral("Command3"));
}

// Notes whether the application was asked to quit.
class QuitWatch : public QObject {
public:
    QuitWatch() { qApp->installEventFilter(this); }
    bool quitAsked = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == qApp && event->type() == QEvent::Quit)
            quitAsked = true;
        return false;
    }
};

// Runs the application's event loop as main() does and performs action inside it. True when the
// program ended by itself: whatever ends it (the last window closing) posts its quit while the
// action runs, so a marker posted after the action tells the two outcomes apart without waiting
// for time.
bool programEndsDuring(const std::function<void()>& action) {
    QuitWatch watch;
    bool stopped = false;
    QMetaObject::invokeMethod(
        qApp,
        [&] {
            action();
            QMetaObject::invokeMethod(
                qApp,
                [&] {
                    if (watch.quitAsked)
                        return;
                    stopped = true;
                    QCoreApplication::quit();
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    QCoreApplication::exec();
    return !stopped;
}

} // namespace

class SelectorTest : public QObject {
    Q_OBJECT
private slots:
    void startState();
    void endToEndTestsKnowTheControlsPlaces();
    void keyboard();

    void save_data();
    void save();

    void dialogFolder_data();
    void dialogFolder();
    void cancelKeepsTheLabel();
    void aLevelOutsideTheLevelsFolderIsRefused();
    void aLongNameShowsWholeAsToolTip();

    void failedSave_data();
    void failedSave();

    void closingWritesNothing();
};

void SelectorTest::startState() {
    GameFolder game;
    Form1 w(game.coreStartFolder());
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));

    QCOMPARE(w.objectName(), QStringLiteral("Form1"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Levelselector"));
    QCOMPARE(w.windowType(), Qt::Tool);
    QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));

    // Fixed client area of 2055 x 780 twips.
    QCOMPARE(w.size(), QSize(137, 52));
    QCOMPARE(w.minimumSize(), w.maximumSize());

    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect client = w.geometry();
    QVERIFY2(std::abs(2 * (client.x() - screen.x()) + client.width() - screen.width()) <= 1 &&
                 std::abs(2 * (client.y() - screen.y()) + client.height() - screen.height()) <= 1,
             "the window opens centred on the screen");

    struct Expected {
        QWidget* control;
        QString text;
        QRect place;
    };
    const Expected controls[] = {
        {label1(w), QStringLiteral("level1.lev"), widgets::twipsRect(120, 120, 1335, 255)},
        {command3(w), QStringLiteral("..."), widgets::twipsRect(1560, 100, 375, 280)},
        {command1(w), QStringLiteral("save"), widgets::twipsRect(120, 480, 1815, 255)},
    };
    for (const auto& c : controls) {
        QVERIFY2(c.control, qPrintable(c.text));
        QCOMPARE(c.control->property("text").toString(), c.text);
        QCOMPARE(c.control->geometry(), c.place);
        QVERIFY(c.control->isVisible());
    }

    QCOMPARE(QApplication::focusWidget(), command1(w));
    QVERIFY(!choiceFileExists(game));
}

// The end-to-end tests click the controls where they are.
void SelectorTest::endToEndTestsKnowTheControlsPlaces() {
    GameFolder game;
    Form1 w(game.coreStartFolder());
    const QStringList wrong = e2eLayoutMismatches(w, QStringLiteral("selector"));
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
}

void SelectorTest::keyboard() {
    GameFolder game;
    Form1 w(game.coreStartFolder());
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));

    // Tab runs "save" -> "..." -> "save"; the label takes no focus.
    QCOMPARE(QApplication::focusWidget(), command1(w));
    QTest::keyClick(&w, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), command3(w));
    QTest::keyClick(&w, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), command1(w));

    // Return on the focused "save" saves and ends the program.
    ModalAnswerer answers;
    answers.press(QMessageBox::Ok);
    QVERIFY(
        programEndsDuring([&] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }));
    QCOMPARE(answers.count(), 1);
    QCOMPARE(readBytes(choiceFile(game)), QByteArray("level1.lev\r\n"));
}

void SelectorTest::save_data() {
    QTest::addColumn<QString>("choose");      // a level file picked with "..." first, if any
    QTest::addColumn<QByteArray>("previous"); // uselev.lst before, if any
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("right after start") << QString() << QByteArray() << QByteArray("level1.lev\r\n");
    QTest::newRow("replaces a longer previous choice")
        << QString() << QByteArray("a-much-longer-name.lev\r\nstray second line\r\n")
        << QByteArray("level1.lev\r\n");
    QTest::newRow("chosen name") << "mission7.lev" << QByteArray("level1.lev\r\n")
                                 << QByteArray("mission7.lev\r\n");
    QTest::newRow("blanks and comma as shown")
        << " two, words .lev" << QByteArray() << QByteArray(" two, words .lev\r\n");
    QTest::newRow("umlauts as single Windows-1252 bytes")
        << QStringLiteral("W\u00fcste-\u00e4.lev") << QByteArray()
        << QByteArray("W\xfcste-\xe4.lev\r\n");
    QTest::newRow("euro sign") << QStringLiteral("\u20ac.lev") << QByteArray()
                               << QByteArray("\x80.lev\r\n");
}

void SelectorTest::save() {
    QFETCH(QString, choose);
    QFETCH(QByteArray, previous);
    QFETCH(QByteArray, written);

    GameFolder game;
    if (!previous.isNull())
        writeChoiceFile(game, previous);
    Form1 w(game.coreStartFolder());
    w.show();

    ModalAnswerer answers;
    if (!choose.isEmpty())
        answers.chooseFile(addLevel(game, choose));
    answers.press(QMessageBox::Ok);

    QString shownBeforeSave;
    const bool ended = programEndsDuring([&] {
        if (!choose.isEmpty())
            QTest::mouseClick(command3(w), Qt::LeftButton);
        shownBeforeSave = label1(w)->text();
        QTest::mouseClick(command1(w), Qt::LeftButton);
    });

    QCOMPARE(shownBeforeSave, choose.isEmpty() ? QStringLiteral("level1.lev") : choose);
    QCOMPARE(readBytes(choiceFile(game)), written);

    QCOMPARE(answers.unanswered(), 0);
    const auto& box = answers.seen().back();
    QCOMPARE(box.title, QStringLiteral("uselev.lst"));
    QCOMPARE(box.text, QDir::toNativeSeparators(choiceFile(game)));
    QCOMPARE(box.buttons, QStringList{QStringLiteral("OK")});
    QCOMPARE(box.icon, QMessageBox::NoIcon);
    QVERIFY(box.width >= titleTextWidth(box.title));

    QVERIFY2(ended, "the program ends once the confirmation is dismissed");
    QVERIFY(!w.isVisible());
}

void SelectorTest::dialogFolder_data() {
    QTest::addColumn<bool>("withLevels");
    QTest::newRow("levels folder") << true;
    QTest::newRow("no levels folder: start folder") << false;
}

void SelectorTest::dialogFolder() {
    QFETCH(bool, withLevels);
    GameFolder game(withLevels);
    Form1 w(game.coreStartFolder());
    w.show();

    QString folder;
    QStringList filters;
    ModalAnswerer answers;
    answers.then([&](QWidget* modal) {
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            folder = dialog->directory().absolutePath();
            filters = dialog->nameFilters();
            dialog->reject();
        } else {
            modal->close();
        }
    });
    QTest::mouseClick(command3(w), Qt::LeftButton);

    QCOMPARE(answers.unanswered(), 0);
    QCOMPARE(answers.seen().front().className, QStringLiteral("QFileDialog"));
    QCOMPARE(folder, withLevels ? game.levels() : game.path());
    QVERIFY2(filters.join(QLatin1Char(' ')).contains(QStringLiteral("*.lev")),
             qPrintable(filters.join(QLatin1Char(' '))));
    QVERIFY(w.isVisible());
}

void SelectorTest::cancelKeepsTheLabel() {
    GameFolder game;
    Form1 w(game.coreStartFolder());
    w.show();

    {
        ModalAnswerer answers;
        answers.cancelDialog();
        QTest::mouseClick(command3(w), Qt::LeftButton);
        QCOMPARE(answers.unanswered(), 0);
        QCOMPARE(label1(w)->text(), QStringLiteral("level1.lev"));
    }
    {
        ModalAnswerer answers;
        answers.chooseFile(addLevel(game, QStringLiteral("chosen.lev"))).cancelDialog();
        QTest::mouseClick(command3(w), Qt::LeftButton);
        QTest::mouseClick(command3(w), Qt::LeftButton);
        QCOMPARE(answers.unanswered(), 0);
        QCOMPARE(label1(w)->text(), QStringLiteral("chosen.lev"));
    }
    QVERIFY(!choiceFileExists(game));
}

// The game finds only levels in its levels folder; one of the same name there is another level.
void SelectorTest::aLevelOutsideTheLevelsFolderIsRefused() {
    GameFolder game;
    addLevel(game, QStringLiteral("outside.lev"));
    const QString outside = game.path() + QStringLiteral("/drafts/outside.lev");
    QVERIFY(QDir().mkpath(game.path() + QStringLiteral("/drafts")));
    QVERIFY(writeBytes(outside, {}));
    Form1 w(game.coreStartFolder());
    w.show();

    ModalAnswerer answers;
    answers.chooseFile(outside).press(QMessageBox::Ok);
    QTest::mouseClick(command3(w), Qt::LeftButton);
    QCOMPARE(answers.unanswered(), 0);
    const auto& box = answers.seen().back();
    QCOMPARE(box.text, QStringLiteral("outside.lev is not in %1: the game plays only levels from "
                                      "there")
                           .arg(QDir::toNativeSeparators(game.levels() + QLatin1Char('/'))));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(label1(w)->text(), QStringLiteral("level1.lev"));
    QVERIFY(!choiceFileExists(game));
}

void SelectorTest::aLongNameShowsWholeAsToolTip() {
    GameFolder game;
    Form1 w(game.coreStartFolder());
    w.show();
    const QString name =
        QStringLiteral("the last mission, where every ship of both teams meets at the gate.lev");
    ModalAnswerer answers;
    answers.chooseFile(addLevel(game, name)).chooseFile(addLevel(game, QStringLiteral("a.lev")));
    QTest::mouseClick(command3(w), Qt::LeftButton);
    QCOMPARE(label1(w)->text(), name);
    QCOMPARE(label1(w)->toolTip().remove(QLatin1Char('\n')), name);
    QTest::mouseClick(command3(w), Qt::LeftButton);
    QCOMPARE(label1(w)->toolTip(), QString());
}

void SelectorTest::failedSave_data() {
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QString>("choose");
    QTest::addColumn<QByteArray>("previous"); // uselev.lst before, if any

    QTest::newRow("no levels folder") << "no levels" << QString() << QByteArray();
    QTest::newRow("read-only uselev.lst") << "read-only" << QString() << QByteArray("kept.lev\r\n");
    QTest::newRow("a folder named uselev.lst") << "folder" << QString() << QByteArray();
    QTest::newRow("name without Windows-1252 form")
        << "" << QStringLiteral("\u6708.lev") << QByteArray("kept.lev\r\n");
}

void SelectorTest::failedSave() {
    QFETCH(QString, condition);
    QFETCH(QString, choose);
    QFETCH(QByteArray, previous);

    GameFolder game(condition != QLatin1String("no levels"));
    if (!previous.isNull())
        writeChoiceFile(game, previous);
    if (condition == QLatin1String("read-only"))
        QVERIFY(QFile::setPermissions(choiceFile(game), QFileDevice::ReadOwner |
                                                            QFileDevice::ReadGroup |
                                                            QFileDevice::ReadOther));
    if (condition == QLatin1String("folder"))
        QVERIFY(QDir(game.levels()).mkdir(QStringLiteral("uselev.lst")));

    Form1 w(game.coreStartFolder());
    w.show();

    ModalAnswerer answers;
    if (!choose.isEmpty()) {
        answers.chooseFile(addLevel(game, choose));
        QTest::mouseClick(command3(w), Qt::LeftButton);
        QCOMPARE(label1(w)->text(), choose);
    }
    answers.press(QMessageBox::Ok);
    bool shownAfterSave = false;
    const bool ended = programEndsDuring([&] {
        QTest::mouseClick(command1(w), Qt::LeftButton);
        shownAfterSave = w.isVisible();
    });

    QCOMPARE(answers.unanswered(), 0);
    QCOMPARE(answers.count(), choose.isEmpty() ? 1 : 2);
    const auto& box = answers.seen().back();
    QCOMPARE(box.icon, QMessageBox::Critical);
    QVERIFY2(box.title != QStringLiteral("uselev.lst"), "no confirmation after a failure");
    QVERIFY2(box.text.contains(QStringLiteral("uselev.lst")), qPrintable(box.text));
    QVERIFY2(shownAfterSave, "the window stays open after a failed save");
    QVERIFY2(!ended, "a failed save does not end the program");
    QCOMPARE(label1(w)->text(), choose.isEmpty() ? QStringLiteral("level1.lev") : choose);
    if (condition == QLatin1String("folder"))
        QVERIFY(QFileInfo(choiceFile(game)).isDir());
    else if (previous.isNull())
        QVERIFY(!choiceFileExists(game));
    else
        QCOMPARE(readBytes(choiceFile(game)), previous);
    if (condition != QLatin1String("no levels"))
        QCOMPARE(QDir(game.levels())
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                     .size(),
                 1 + (choose.isEmpty() ? 0 : 1)); // no temporary file left behind
}

void SelectorTest::closingWritesNothing() {
    GameFolder game;
    writeChoiceFile(game, "before.lev\r\n");
    Form1 w(game.coreStartFolder());
    w.show();

    ModalAnswerer answers;
    answers.chooseFile(addLevel(game, QStringLiteral("other.lev")));
    const bool ended = programEndsDuring([&] {
        QTest::mouseClick(command3(w), Qt::LeftButton);
        w.close();
    });
    QVERIFY2(ended, "closing the window ends the program");
    QCOMPARE(label1(w)->text(), QStringLiteral("other.lev"));
    QCOMPARE(readBytes(choiceFile(game)), QByteArray("before.lev\r\n"));
}

LEVELTOOLS_TEST_MAIN(SelectorTest)
#include "test_selector.moc"
