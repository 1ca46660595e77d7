// The ship-file and win-file panels on their own: the block lines they append.

#include "geometry.h"
#include "modalanswerer.h"
#include "sectionpanel.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(SectionPanel::Kind)

namespace {

// A shown panel collecting the lines it builds; controls are found by their prefixed names.
struct Panel {
    SectionPanel panel;
    QString prefix;
    QStringList lines;

    Panel(SectionPanel::Kind kind, const QString& startFolder = QString())
        : panel(kind, startFolder)
        , prefix(kind == SectionPanel::Kind::ShipFiles ? QStringLiteral("us")
                                                       : QStringLiteral("wf")) {
        QObject::connect(&panel, &SectionPanel::lineBuilt,
                         [this](const QString& line) { lines << line; });
        panel.show();
        panel.activateWindow();
        if (!QTest::qWaitForWindowActive(&panel))
            qWarning("section panel did not become active");
    }

    template <typename T = QWidget> T* get(int number) {
        const QString name = prefix + QString::number(number);
        T* found = panel.findChild<T*>(name);
        if (!found)
            qFatal("no control named %s", qPrintable(name));
        return found;
    }
    void click(int number) { QTest::mouseClick(get<QPushButton>(number), Qt::LeftButton); }
    QLineEdit* nameField() { return get<QLineEdit>(4); }
    void typeName(const QString& text) {
        nameField()->selectAll();
        if (text.isEmpty())
            QTest::keyClick(nameField(), Qt::Key_Delete);
        else
            QTest::keyClicks(nameField(), text);
    }
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
    void initTestCase() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

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
        QTemporaryDir folder;
        const QString fileName = QStringLiteral("chosen") + pattern.mid(1);
        QFile file(folder.filePath(fileName));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        Panel p(kind, folder.path());
        QStringList filters;
        QString directory;
        {
            ModalAnswerer answer;
            answer.then([&](QWidget* w) {
                auto* dialog = qobject_cast<QFileDialog*>(w);
                QVERIFY(dialog);
                filters = dialog->nameFilters();
                directory = dialog->directory().absolutePath();
                dialog->selectFile(file.fileName());
                static_cast<QDialog*>(dialog)->accept();
            });
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
            QCOMPARE(p->get(4)->geometry(), twipsRect(600, 480, 1455, 285));
            QCOMPARE(p->get(3)->geometry(), twipsRect(0, 840, 2655, 375));
        }

        auto* label = ships.panel.findChild<QLabel*>(QStringLiteral("Label1"));
        QVERIFY(label);
        QVERIFY(!wins.panel.findChild<QLabel*>(QStringLiteral("Label1")));
        QCOMPARE(label->text(), QStringLiteral("Diese shp-Files koennen von Basen benutzt werden, "
                                               "um neue Raumschiffe zu erstellen."));
        QCOMPARE(label->geometry(), twipsRect(120, 1320, 2415, 735));
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

QTEST_MAIN(TestSectionPanels)
#include "test_sectionpanels.moc"
