// The ship panel on its own: its controls, the lines it builds and the pairs it keeps in step.

#include "core/randomsource.h"
#include "editor/compasslabel.h"
#include "editor/shippanel.h"
#include "tests/common/modalanswerer.h"
#include "tests/common/windowtest.h"
#include "tests/editor/paneltest.h"
#include "widgets/geometry.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSet>
#include <QTest>

#include <algorithm>

namespace {

struct OwnRandom {
    level::RandomSource random;
};

// A ship panel with a random source of its own, set up before the panel that draws from it.
struct Panel : OwnRandom, PanelTest<ShipPanel> {
    explicit Panel(const QString& startFolder = QString())
        : PanelTest(random, startFolder) {}

    // Clicks a vertical scroll bar's lower or upper arrow.
    void arrow(const char* name, bool lower) {
        auto* bar = get<QScrollBar>(name);
        const QPoint at(bar->width() / 2, lower ? bar->height() - 3 : 2);
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, at);
    }
    QString addShip() {
        const qsizetype before = lines.size();
        click("s1");
        return lines.size() > before ? lines.last() : QString();
    }
};

QString xOf(const QString& line) {
    const qsizetype from = line.indexOf(QLatin1String(" x=")) + 3;
    return line.mid(from, line.indexOf(QLatin1String(" y=")) - from);
}

// Sets the default locale for one test and puts the old one back.
struct DefaultLocale {
    QLocale saved;
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(saved); }
};

const QString scattered = QStringLiteral("1000");

} // namespace

class TestShipPanel : public QObject {
    Q_OBJECT

private slots:

    void startValuesGiveTheKnownLine() {
        Panel p;
        QCOMPARE(p.addShip(), QStringLiteral("ADD SHIP x= 0 y= 0 r=0 team=1 typ=1"));
        QCOMPARE(p.addShip(), QStringLiteral("ADD SHIP x= 0 y= 0 r=0 team=1 typ=1"));
    }

    void startStateAndReadOnlyCaptions() {
        Panel p;
        QVERIFY(p.get<QRadioButton>("so2")->isChecked());
        QVERIFY(!p.get<QRadioButton>("so1")->isChecked());
        QVERIFY(!p.get<QRadioButton>("so3")->isChecked());
        QCOMPARE(p.get<QScrollBar>("so7")->value(), 1);
        QCOMPARE(p.text("so6"), QStringLiteral("eheavy"));
        QCOMPARE(p.get<QScrollBar>("s10")->value(), 1);
        QCOMPARE(p.get<QScrollBar>("so5")->value(), 1);

        // Captions and the boxes the scroll bars fill take no typing.
        for (const char* name : {"s2", "s4", "s6", "s8", "s9", "so6"}) {
            const QString before = p.text(name);
            QTest::mouseClick(p.get(name), Qt::LeftButton);
            QTest::keyClicks(p.get(name), QStringLiteral("7"));
            QCOMPARE(p.text(name), before);
        }
        QCOMPARE(p.addShip(), QStringLiteral("ADD SHIP x= 0 y= 0 r=0 team=1 typ=1"));
    }

    void geometrySpotChecks() {
        Panel p;
        QCOMPARE(p.panel.size(), QSize(177, 140));
        QCOMPARE(p.get("s1")->geometry(), widgets::twipsRect(0, 0, 2655, 375));
        QCOMPARE(p.get("srnd2")->geometry(), widgets::twipsRect(2280, 480, 375, 285));
        QCOMPARE(p.get("Label3")->geometry(), widgets::twipsRect(840, 680, 975, 500));
        QCOMPARE(p.get("s10")->geometry(), widgets::twipsRect(2475, 850, 200, 255));
        QCOMPARE(p.get("so7")->geometry(), widgets::twipsRect(2160, 1800, 225, 255));
        QCOMPARE(p.get("s1")->property("tabIndex").toInt(), 33);
        QCOMPARE(p.get("s12")->property("tabIndex").toInt(), 34);
        QCOMPARE(p.get("srnd1")->property("tabIndex").toInt(), 59);
    }

    void rangesScatterWithinTheirSpan() {
        Panel p;
        p.type("s3", QStringLiteral("100"));
        p.type("srnd1", QStringLiteral("10"));
        QSet<QString> seen;
        for (int i = 0; i < 100; ++i) {
            const int x = xOf(p.addShip()).trimmed().toInt();
            QVERIFY2(x >= 100 && x <= 109, qPrintable(QString::number(x)));
            seen.insert(QString::number(x));
        }
        QVERIFY(seen.size() > 5);
    }

    void unreadableNumberIsReportedAndAddsNothing_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("x") << "s3"
                           << "abc"
                           << "\"abc\" in X is not a number.";
        QTest::newRow("y") << "s5"
                           << "1.2.3"
                           << "\"1.2.3\" in Y is not a number.";
        QTest::newRow("empty x range") << "srnd1"
                                       << ""
                                       << "\"\" in the random range of X is not a number.";
        QTest::newRow("y range") << "srnd2"
                                 << "%1"
                                 << "\"%1\" in the random range of Y is not a number.";
    }
    void unreadableNumberIsReportedAndAddsNothing() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        Panel p;
        p.type(qPrintable(field), text);
        {
            ModalAnswerer answer;
            answer.press(QMessageBox::Ok);
            p.click("s1");
            QTRY_VERIFY(answer.done());
            QCOMPARE(answer.count(), 1);
            QCOMPARE(answer.seen()[0].icon, QMessageBox::Critical);
            QCOMPARE(answer.seen()[0].text, message);
        }
        QVERIFY(p.lines.isEmpty());
        QCOMPARE(p.text(qPrintable(field)), text);
    }

    // A number beyond a double is named as such; long texts wrap, so the message is read whole.
    void longTextsAreReportedWhole_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("problem");
        QTest::newRow("400 digits")
            << QString(400, QLatin1Char('9')) << "is beyond the range of numbers.";
        QTest::newRow("300 letters") << QString(300, QLatin1Char('n')) << "is not a number.";
    }
    void longTextsAreReportedWhole() {
        QFETCH(QString, text);
        QFETCH(QString, problem);
        Panel p;
        p.get<QLineEdit>("s3")->setText(text); // pasted
        bool wrapped = false;
        ModalAnswerer answer;
        answer.then([&wrapped](QWidget* box) {
            const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            // No word is wider than the text's place in the box.
            wrapped = label && label->minimumSizeHint().width() <= label->width();
            static_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
        });
        p.click("s1");
        QTRY_VERIFY(answer.done());
        QCOMPARE(answer.seen()[0].text, QStringLiteral("\"%1\" in X %2").arg(text, problem));
        QVERIFY(wrapped);
        QVERIFY(p.lines.isEmpty());
    }

    void positionBeyondNumbersIsReported() {
        Panel p;
        p.type("s3", QStringLiteral("1.7e308"));
        p.type("srnd1", QStringLiteral("1e308"));
        ModalAnswerer answer;
        answer.press(QMessageBox::Ok);
        p.click("s1");
        QTRY_VERIFY(answer.done());
        QCOMPARE(answer.seen()[0].text,
                 QStringLiteral("\"1e308\" in the random range of X gives a position beyond the "
                                "range of numbers."));
        QVERIFY(p.lines.isEmpty());
    }

    void failedAddUsesUpItsTwoRandomNumbers() {
        Panel p;
        p.type("srnd1", scattered);
        p.type("srnd2", scattered);
        p.type("s3", QStringLiteral("abc"));
        {
            ModalAnswerer answer;
            answer.press(QMessageBox::Ok);
            p.click("s1");
            QTRY_VERIFY(answer.done());
        }
        p.type("s3", QStringLiteral("0"));
        const QString next = p.addShip();

        Panel fresh;
        fresh.type("srnd1", scattered);
        fresh.type("srnd2", scattered);
        const QString first = fresh.addShip();
        QCOMPARE(next, fresh.addShip());
        QVERIFY(next != first);
    }

    void fileOptionNeedsAChosenFile() {
        GameFolder folder;
        QVERIFY(writeBytes(folder.file(QStringLiteral("f1.shp")), {}));

        Panel p(folder.path());
        p.type("srnd1", scattered);
        p.type("srnd2", scattered);
        p.click("so1");
        p.click("s1");
        QVERIFY(p.lines.isEmpty());

        // The refused add drew nothing.
        Panel fresh;
        fresh.type("srnd1", scattered);
        fresh.type("srnd2", scattered);
        const QString freshFirst = fresh.addShip();

        // Choosing a file fills s11 but leaves the option as it is.
        p.click("so2");
        {
            ModalAnswerer answer;
            answer.chooseFile(folder.file(QStringLiteral("f1.shp")));
            p.click("s12");
            QTRY_VERIFY(answer.done());
        }
        QCOMPARE(p.get<QLabel>("s11")->text(), QStringLiteral("f1.shp"));
        QVERIFY(p.get<QRadioButton>("so2")->isChecked());

        p.click("so1");
        const QString line = p.addShip();
        QVERIFY2(line.endsWith(QLatin1String(" team=1 file=f1.shp")), qPrintable(line));
        QCOMPARE(line.left(line.indexOf(QLatin1String(" r="))),
                 freshFirst.left(freshFirst.indexOf(QLatin1String(" r="))));
    }

    void dialogOffersShipFilesFromTheStartFolderAndCancelKeepsTheName() {
        GameFolder folder;
        QVERIFY(writeBytes(folder.file(QStringLiteral("f1.shp")), {}));
        Panel p(folder.path());
        {
            ModalAnswerer answer;
            answer.chooseFile(folder.file(QStringLiteral("f1.shp")));
            p.click("s12");
            QTRY_VERIFY(answer.done());
        }
        QStringList filters;
        QString directory;
        {
            ModalAnswerer answer;
            answer.then(noteOfferedFiles(filters, directory));
            p.click("s12");
            QTRY_VERIFY(answer.done());
        }
        QVERIFY2(filters.join(QLatin1Char(';')).contains(QLatin1String("*.shp")),
                 qPrintable(filters.join(QLatin1Char(';'))));
        QCOMPARE(directory, QDir(folder.path()).absolutePath());
        QCOMPARE(p.get<QLabel>("s11")->text(), QStringLiteral("f1.shp"));
    }

    void shipLevelAndTeamFollowTheirScrollBars() {
        Panel p;
        p.click("so3");
        for (int i = 0; i < 4; ++i)
            p.arrow("so7", true);
        QCOMPARE(p.get<QScrollBar>("so7")->value(), 5);
        QCOMPARE(p.text("so6"), QStringLiteral("elight"));
        QVERIFY(p.addShip().endsWith(QLatin1String(" team=1 sl=16")));

        p.arrow("so7", true);
        p.arrow("so7", true); // already at its top value
        QCOMPARE(p.text("so6"), QStringLiteral("special"));
        QVERIFY(p.addShip().endsWith(QLatin1String(" sl=32")));

        p.arrow("s10", true);
        QCOMPARE(p.text("s9"), QStringLiteral("2"));
        QVERIFY(p.addShip().endsWith(QLatin1String(" team=2 sl=32")));
        p.arrow("s10", false);
        QCOMPARE(p.text("s9"), QStringLiteral("1"));
        p.arrow("so7", false);
        QCOMPARE(p.text("so6"), QStringLiteral("elight"));
    }

    void typeNumberTakesSo4AsTyped() {
        Panel p;
        p.type("so4", QStringLiteral("150"));
        QCOMPARE(p.get<QScrollBar>("so5")->value(), 15); // "15" on the way to "150"
        QVERIFY(p.addShip().endsWith(QLatin1String(" typ=150")));
        p.type("so4", QString());
        QCOMPARE(p.get<QScrollBar>("so5")->value(), 15);
        QVERIFY(p.addShip().endsWith(QLatin1String(" typ=")));
    }

    void so4SetsSo5WhenItFits_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("entered");
        QTest::addColumn<int>("so5");
        QTest::addColumn<QString>("so4");
        QTest::newRow("fraction rounds") << 1 << "2.6" << 3 << "3";
        QTest::newRow("half to even down") << 1 << "2.5" << 2 << "2";
        QTest::newRow("half to even up") << 1 << "3.5" << 4 << "4";
        QTest::newRow("blanks and exponent") << 1 << " 1e1 " << 10 << "10";
        QTest::newRow("top") << 1 << "99" << 99 << "99";
        QTest::newRow("current value stays as typed") << 7 << "07" << 7 << "07";
        QTest::newRow("above range") << 4 << "150" << 4 << "150";
        QTest::newRow("rounds above range") << 4 << "99.5" << 4 << "99.5";
        QTest::newRow("rounds below range") << 4 << "0.5" << 4 << "0.5";
        QTest::newRow("zero") << 4 << "0" << 4 << "0";
        QTest::newRow("negative") << 4 << "-3" << 4 << "-3";
        QTest::newRow("beyond 16 bits") << 4 << "70000" << 4 << "70000";
        QTest::newRow("not a number") << 4 << "abc" << 4 << "abc";
        QTest::newRow("empty") << 4 << "" << 4 << "";
    }
    void so4SetsSo5WhenItFits() {
        QFETCH(int, start);
        QFETCH(QString, entered);
        QFETCH(int, so5);
        QFETCH(QString, so4);
        Panel p;
        p.get<QScrollBar>("so5")->setValue(start);
        QCOMPARE(p.text("so4"), QString::number(start));
        // Entered in one change, as a paste does.
        p.get<QLineEdit>("so4")->setText(entered);
        QCOMPARE(p.get<QScrollBar>("so5")->value(), so5);
        QCOMPARE(p.text("so4"), so4);
    }

    void typingIntoSo4KeyByKey() {
        Panel p;
        p.type("so4", QStringLiteral("2.6"));
        QCOMPARE(p.get<QScrollBar>("so5")->value(), 3);
        QCOMPARE(p.text("so4"), QStringLiteral("3"));
        QVERIFY(p.addShip().endsWith(QLatin1String(" typ=3")));

        p.arrow("so5", true);
        QCOMPARE(p.text("so4"), QStringLiteral("4"));

        p.type("so4", QStringLiteral("1"));
        QCOMPARE(p.get<QScrollBar>("so5")->value(), 1);
        p.arrow("so5", false); // at its bottom value already
        QCOMPARE(p.get<QScrollBar>("so5")->value(), 1);
        QCOMPARE(p.text("so4"), QStringLiteral("1"));
    }

    // A click in a scroll bar's trough pages by one step. The bars are too short for a trough in
    // some styles, so the page action that such a click triggers is run directly.
    void aPageInTheTroughMovesOneStep() {
        Panel p;
        auto* bar = p.get<QScrollBar>("so5");
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(bar->value(), 2);
        QCOMPARE(p.text("so4"), QStringLiteral("2"));
        p.get<QScrollBar>("so7")->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(p.text("so6"), QStringLiteral("heavy"));
        p.get<QScrollBar>("so7")->triggerAction(QAbstractSlider::SliderPageStepSub);
        QCOMPARE(p.text("so6"), QStringLiteral("eheavy"));
    }

    void draggedThumbReportsOnlyWhenLetGo() {
        Panel p;
        auto* bar = p.get<QScrollBar>("so5");
        bar->setSliderDown(true);
        bar->setSliderPosition(50);
        QCOMPARE(p.text("so4"), QStringLiteral("1"));
        bar->setSliderDown(false);
        QCOMPARE(p.text("so4"), QStringLiteral("50"));
    }

    void germanDecimalSeparator() {
        DefaultLocale german(QLocale(QLocale::German, QLocale::Germany));
        Panel p;
        p.type("s3", QStringLiteral("22,5"));
        QCOMPARE(p.addShip(), QStringLiteral("ADD SHIP x= 22.5 y= 0 r=0 team=1 typ=1"));

        p.get<QLineEdit>("so4")->setText(QStringLiteral("2,6"));
        QCOMPARE(p.get<QScrollBar>("so5")->value(), 3);

        p.type("s3", QStringLiteral("22.5"));
        ModalAnswerer answer;
        answer.press(QMessageBox::Ok);
        p.click("s1");
        QTRY_VERIFY(answer.done());
        QCOMPARE(answer.seen()[0].text, QStringLiteral("\"22.5\" in X is not a number."));
        QCOMPARE(p.lines.size(), 1);
    }

    void valuesSurviveHideAndShow() {
        Panel p;
        p.type("s3", QStringLiteral("-50"));
        p.type("s7", QStringLiteral("abc"));
        p.click("so3");
        p.arrow("so7", true);
        p.panel.hide();
        p.panel.show();
        QCOMPARE(p.text("s3"), QStringLiteral("-50"));
        QVERIFY(p.get<QRadioButton>("so3")->isChecked());
        QCOMPARE(p.text("so6"), QStringLiteral("heavy"));
        QCOMPARE(p.addShip(), QStringLiteral("ADD SHIP x=-50 y= 0 r=abc team=1 sl=2"));
    }

    void compassKeepsItsCaptionAndShowsThreeRows() {
        Panel p;
        auto* compass = p.get<QLabel>("Label3");
        QCOMPARE(compass->text(), QStringLiteral("         0             90  X  270         180"));
        QCOMPARE(compass->text().size(), 45);
        QCOMPARE(compass->font().families().value(0), QStringLiteral("CopprplGoth Bd BT"));
        QCOMPARE(CompassLabel::rows(compass->text()),
                 (QStringList{QStringLiteral("0"), QStringLiteral("90  X  270"),
                              QStringLiteral("180")}));

        // Ink in each third of the box: the top and bottom rows narrow, the middle one wide.
        CompassLabel alone(compass->text());
        alone.setFont(compass->font());
        alone.resize(compass->size());
        QImage image(alone.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        alone.render(&image);
        auto inkWidth = [&image](int top, int bottom) {
            int left = image.width();
            int right = -1;
            for (int y = top; y < bottom; ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qGray(image.pixel(x, y)) < 128) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                    }
            return right < 0 ? 0 : right - left + 1;
        };
        const int third = image.height() / 3;
        const int top = inkWidth(0, third);
        const int middle = inkWidth(third, 2 * third);
        const int bottom = inkWidth(2 * third, image.height());
        QVERIFY2(top > 0 && bottom > 0, qPrintable(QStringLiteral("%1 %2").arg(top).arg(bottom)));
        QVERIFY2(middle > 2 * bottom && bottom > top,
                 qPrintable(QStringLiteral("%1 %2 %3").arg(top).arg(middle).arg(bottom)));
    }
};

LEVELTOOLS_TEST_MAIN(TestShipPanel)
#include "test_shippanel.moc"
