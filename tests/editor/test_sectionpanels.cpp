// The ship-file and win-file panels on their own: the block lines they append.

#include "editor/sectionpanel.h"
#include "tests/common/modalanswerer.h"
#include "tests/common/windowtest.h"
#include "tests/editor/paneltest.h"
#include "widgets/geometry.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

Q_DECLARE_METATYPE(SectionPanel::Kind)

namespace {

// Controls are found by their number behind the panel's prefix.
struct Panel : PanelTest<SectionPanel> {
    QString prefix;

    explicit Panel(SectionPanel::Kind kind, const QString& startFolder = QString())
        : PanelTest(kind, startFolder)
        , prefix(kind == SectionPanel::Kind::ShipFiles ? QStringLiteral("us")
                                                       : QStringLiteral("wf")) {}

    QByteArray controlName(int number) const {
        return (prefix + QString::number(number)).toLatin1();
    }
    template <typename T = QWidget> T* get(int number) {
        return PanelTest::get<T>(controlName(number).constData());
    }
    void click(int number) { PanelTest::click(controlName(number).constData()); }
    QLineEdit* nameField() { return get<QLineEdit>(4); }
    void typeName(const QString& text) { type(controlName(4).constData(), text); }
};

void addKinds() {
    QTest::addColumn<SectionPanel::Kind>("kind");
    QTest::addColumn<QString>("marker");
    QTest::addColumn<QString>("pattern");
    QTest::newRow("ship files") << SectionPanel::Kind::ShipFiles << "[shipfiles]"
                                << "*.shp";
    QTest::newRow("win file") << SectionPanel::Kind::WinFile << "[winfile]"
                              << "*.win";
}

} // namespace

class TestSectionPanels : public QObject {
    Q_OBJECT

private slots:

    void buttonsAppendTheirLinesInClickOrder_data() { addKinds(); }
    void buttonsAppendTheirLinesInClickOrder() {
        QFETCH(SectionPanel::Kind, kind);
        QFETCH(QString, marker);
        Panel p(kind);
        QCOMPARE(p.get<QPushButton>(1)->text(), marker);
        QCOMPARE(p.get<QPushButton>(3)->text(), QStringLiteral("[end]"));
        QCOMPARE(p.get<QPushButton>(2)->text(), QStringLiteral("<-"));

        p.click(3); // an end marker with no block open
        p.click(1);
        p.click(1);
        p.typeName(QStringLiteral("a.shp"));
        p.click(2);
        p.click(2); // the name stays in the field
        p.typeName(QStringLiteral("other.win"));
        p.click(2);
        p.click(3);
        QCOMPARE(p.lines,
                 (QStringList{"[end]", marker, marker, "a.shp", "a.shp", "other.win", "[end]"}));
        QCOMPARE(p.nameField()->text(), QStringLiteral("other.win"));
    }

    void nameFieldLines_data() {
        QTest::addColumn<SectionPanel::Kind>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("lines");
        for (auto kind : {SectionPanel::Kind::ShipFiles, SectionPanel::Kind::WinFile}) {
            const char* k = kind == SectionPanel::Kind::ShipFiles ? "us " : "wf ";
            QTest::addRow("%sempty", k) << kind << "" << QStringList{};
            QTest::addRow("%sblanks", k) << kind << "   " << QStringList{"   "};
            QTest::addRow("%sinner blanks and comma", k)
                << kind << " my ship, v2.shp " << QStringList{" my ship, v2.shp "};
        }
    }
    void nameFieldLines() {
        QFETCH(SectionPanel::Kind, kind);
        QFETCH(QString, name);
        QFETCH(QStringList, lines);
        Panel p(kind);
        p.typeName(name);
        p.click(2);
        QCOMPARE(p.lines, lines);
        QCOMPARE(p.nameField()->text(), name);
    }

    void browseFillsTheNameFieldOnly_data() { addKinds(); }
    void browseFillsTheNameFieldOnly() {
        QFETCH(SectionPanel::Kind, kind);
        QFETCH(QString, pattern);
        GameFolder folder;
        const QString fileName = QStringLiteral("chosen") + pattern.mid(1);
        const QString path = folder.file(fileName);
        QVERIFY(writeBytes(path, {}));

        Panel p(kind, folder.path());
        QStringList filters;
        QString directory;
        {
            ModalAnswerer answer;
            answer.then(noteOfferedFiles(filters, directory, path));
            p.click(5);
            QTRY_VERIFY(answer.done());
        }
        QVERIFY2(filters.join(QLatin1Char(';')).contains(pattern),
                 qPrintable(filters.join(QLatin1Char(';'))));
        QCOMPARE(directory, QDir(folder.path()).absolutePath());
        QCOMPARE(p.nameField()->text(), fileName);
        QVERIFY(p.lines.isEmpty());
        p.click(2);
        QCOMPARE(p.lines, QStringList{fileName});
    }

    void cancelledDialogKeepsTheName_data() { addKinds(); }
    void cancelledDialogKeepsTheName() {
        QFETCH(SectionPanel::Kind, kind);
        Panel p(kind);
        p.typeName(QStringLiteral("typed.shp"));
        {
            ModalAnswerer answer;
            answer.cancelDialog();
            p.click(5);
            QTRY_VERIFY(answer.done());
        }
        QCOMPARE(p.nameField()->text(), QStringLiteral("typed.shp"));
    }

    void sharedLayoutAndTheExplanation() {
        Panel ships(SectionPanel::Kind::ShipFiles);
        Panel wins(SectionPanel::Kind::WinFile);
        QCOMPARE(ships.panel.objectName(), QStringLiteral("useship"));
        QCOMPARE(wins.panel.objectName(), QStringLiteral("winfile"));
        for (Panel* p : {&ships, &wins}) {
            QCOMPARE(p->panel.size(), QSize(177, 137));
            QCOMPARE(p->get(4)->geometry(), widgets::twipsRect(600, 480, 1455, 285));
            QCOMPARE(p->get(3)->geometry(), widgets::twipsRect(0, 840, 2655, 375));
        }

        auto* label = ships.panel.findChild<QLabel*>(QStringLiteral("Label1"));
        QVERIFY(label);
        QVERIFY(!wins.panel.findChild<QLabel*>(QStringLiteral("Label1")));
        QCOMPARE(label->text(), QStringLiteral("Diese shp-Files koennen von Basen benutzt werden, "
                                               "um neue Raumschiffe zu erstellen."));
        QCOMPARE(label->geometry(), widgets::twipsRect(120, 1320, 2415, 735));
        QVERIFY(label->wordWrap());
        // The wrapped text fits its box.
        QVERIFY2(label->heightForWidth(label->width()) <= label->height(),
                 qPrintable(QString::number(label->heightForWidth(label->width()))));
    }

    void nameSurvivesHideAndShow() {
        Panel p(SectionPanel::Kind::WinFile);
        p.typeName(QStringLiteral("level.win"));
        p.panel.hide();
        p.panel.show();
        p.click(2);
        QCOMPARE(p.lines, QStringList{QStringLiteral("level.win")});
    }
};

LEVELTOOLS_TEST_MAIN(TestSectionPanels)
#include "test_sectionpanels.moc"
