// The level map's edits through their own seam, without a window: one table of cases (rows and
// the map's selection in, one edit, rows, chosen rows, the step and what the edit reports out).

#include "editor/levelmap/mapedits.h"
#include "tests/editor/documentfixture.h"

#include <QTest>

using editor::mapedits::Outcome;
using Index = editor::LevelDocument::Index;

namespace {

const std::string shipA = "ADD SHIP x= 0 y= 0 r=90 team=1 typ=1";
const std::string shipB = "ADD SHIP x= 1000 y= 400 r=350 team=2 sl=4 extra";
const std::string base = "ADD BASE  x=500 y=200 file=b.bs";

// What an edit reports, as "changed 2, skipped 1" (the counts that are not 0).
QString summary(const Outcome& o) {
    QStringList parts;
    const auto add = [&parts](const char* what, int n) {
        if (n != 0)
            parts << QStringLiteral("%1 %2").arg(QLatin1String(what)).arg(n);
    };
    add("changed", o.changed);
    add("notShips", o.notShips);
    add("notNumbers", o.notNumbers);
    add("noTeam", o.noTeam);
    add("beyond", o.beyond);
    add("skipped", o.skipped);
    if (o.refused == Outcome::Refusal::TooManyRows)
        parts << QStringLiteral("too many rows");
    if (o.refused == Outcome::Refusal::NoMemory)
        parts << QStringLiteral("no memory");
    return parts.join(QStringLiteral(", "));
}

} // namespace

class TestMapEdits : public QObject {
    Q_OBJECT

private slots:
    void editsOnTheMap_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<Rows>("before");
        QTest::addColumn<Indices>("rows");
        QTest::addColumn<Rows>("after");
        QTest::addColumn<Indices>("chosen"); // afterwards; {-1}: as before
        QTest::addColumn<QString>("step");   // empty: none
        QTest::addColumn<QString>("outcome");
        const Rows level{shipA, base, "[end]", shipB};
        const Indices same{-1};

        QTest::newRow("move") << "move 10 -5" << level << Indices{0, 1, 2}
                              << Rows{"ADD SHIP x= 10 y=-5 r=90 team=1 typ=1",
                                      "ADD BASE  x=510 y=195 file=b.bs", "[end]", shipB}
                              << same << "move 2 entries"
                              << "changed 2";
        QTest::newRow("move one row")
            << "move 1 1" << level << Indices{3}
            << Rows{shipA, base, "[end]", "ADD SHIP x= 1001 y= 401 r=350 team=2 sl=4 extra"} << same
            << "move row 4"
            << "changed 1";
        QTest::newRow("move beyond the numbers")
            << "move 1e308 0" << Rows{"ADD SHIP x= 1.7e308 y= 0 r=0 team=1 typ=1"} << Indices{0}
            << Rows{"ADD SHIP x= 1.7e308 y= 0 r=0 team=1 typ=1"} << same << ""
            << "beyond 1";
        QTest::newRow("turn") << "turn 15" << level << Indices{0, 1, 3}
                              << Rows{"ADD SHIP x= 0 y= 0 r=105 team=1 typ=1", base, "[end]",
                                      "ADD SHIP x= 1000 y= 400 r=5 team=2 sl=4 extra"}
                              << same << "turn 2 ships"
                              << "changed 2, notShips 1";
        QTest::newRow("turn a heading that is no number")
            << "turn -15" << Rows{"ADD SHIP x= 0 y= 0 r=abc team=1 typ=1"} << Indices{0}
            << Rows{"ADD SHIP x= 0 y= 0 r=abc team=1 typ=1"} << same << ""
            << "notNumbers 1";
        QTest::newRow("swap the team")
            << "swap" << Rows{shipA, "ADD SHIP x= 5 y= 5 r=0 team=3 typ=1"} << Indices{0, 1}
            << Rows{"ADD SHIP x= 0 y= 0 r=90 team=2 typ=1", "ADD SHIP x= 5 y= 5 r=0 team=3 typ=1"}
            << same << "swap the team of row 1"
            << "changed 1, noTeam 1";
        QTest::newRow("delete") << "delete" << level << Indices{0, 3} << Rows{base, "[end]"}
                                << Indices{} << "delete 2 entries"
                                << "changed 2";
        QTest::newRow("place") << "place" << level << Indices{}
                               << Rows{shipA, base, "[end]", shipB,
                                       "ADD SHIP x= 7 y= 8 r=0 team=1 typ=1"}
                               << Indices{4} << "place ship"
                               << "changed 1";
        // The copy of row 2 (the base) would land on itself: the step is named after row 1.
        QTest::newRow("mirror about a point")
            << "mirror point 500 200" << level << Indices{1, 0}
            << Rows{shipA, base, "[end]", shipB, "ADD SHIP x= 1000 y= 400 r=270 team=2 typ=1"}
            << Indices{4} << "mirror row 1"
            << "changed 1, skipped 1";
        QTest::newRow("mirror left and right")
            << "mirror leftright 500 200" << level << Indices{0, 3}
            << Rows{shipA,
                    base,
                    "[end]",
                    shipB,
                    "ADD SHIP x= 1000 y= 0 r=270 team=2 typ=1",
                    "ADD SHIP x= 0 y= 400 r=10 team=1 sl=4 extra"}
            << Indices{4, 5} << "mirror 2 entries"
            << "changed 2";
        QTest::newRow("mirror to 0 degrees")
            << "mirror topbottom 0 0" << Rows{"ADD SHIP x= 5 y= 5 r=180 team=1 typ=1"} << Indices{0}
            << Rows{"ADD SHIP x= 5 y= 5 r=180 team=1 typ=1", "ADD SHIP x= 5 y=-5 r=0 team=2 typ=1"}
            << Indices{1} << "mirror row 1"
            << "changed 1";
        QTest::newRow("mirror beyond the numbers")
            << "mirror point -1.7e308 0" << Rows{"ADD SHIP x= 1.7e308 y= 0 r=0 team=1 typ=1"}
            << Indices{0} << Rows{"ADD SHIP x= 1.7e308 y= 0 r=0 team=1 typ=1"} << same << ""
            << "beyond 1";
    }
    void editsOnTheMap() {
        QFETCH(QString, edit);
        QFETCH(Rows, before);
        QFETCH(Indices, rows);
        QFETCH(Rows, after);
        QFETCH(Indices, chosen);
        QFETCH(QString, step);
        QFETCH(QString, outcome);
        DocumentFixture f(before);
        editor::LevelDocument& d = f.document;
        d.choose(rows, rows.empty() ? Index(-1) : rows.front());
        const Indices chosenBefore = f.chosen();
        const QStringList words = edit.split(QLatin1Char(' '));
        Outcome done;
        if (words[0] == QLatin1String("move"))
            done = editor::mapedits::move(d, rows, words[1].toDouble(), words[2].toDouble());
        else if (words[0] == QLatin1String("turn"))
            done = editor::mapedits::turn(d, rows, words[1].toInt());
        else if (words[0] == QLatin1String("swap"))
            done = editor::mapedits::swapTeam(d, rows);
        else if (words[0] == QLatin1String("delete"))
            done = editor::mapedits::remove(d, rows);
        else if (words[0] == QLatin1String("place"))
            done = editor::mapedits::place(d, "ADD SHIP x= 7 y= 8 r=0 team=1 typ=1", false);
        else if (words[0] == QLatin1String("mirror")) {
            const auto mode = words[1] == QLatin1String("point") ? level::MirrorMode::Point
                              : words[1] == QLatin1String("leftright")
                                  ? level::MirrorMode::LeftRight
                                  : level::MirrorMode::TopBottom;
            done =
                editor::mapedits::mirror(d, rows, mode, {words[2].toDouble(), words[3].toDouble()});
        }
        QCOMPARE(f.rows(), after);
        QCOMPARE(f.chosen(), chosen == Indices{-1} ? chosenBefore : chosen);
        QCOMPARE(d.history().count(), step.isEmpty() ? 0 : 1);
        QCOMPARE(d.history().undoName(), step);
        QCOMPARE(summary(done), outcome);
        if (!step.isEmpty()) {
            QVERIFY(d.undo());
            QCOMPARE(f.rows(), before);
        }
    }

    // Copies that would make exactly the most rows a level holds are made; one more is refused
    // whole.
    void theMirrorStopsAtTheRowLimit() {
        for (const int spare : {2, 1}) {
            Rows rows(static_cast<std::size_t>(level::LevelLineList::MaxRows - 2 - spare), "[end]");
            rows.insert(rows.end(), {shipA, shipB});
            DocumentFixture f(rows);
            const auto count = static_cast<Index>(rows.size());
            const Indices ships{static_cast<Index>(count - 2), static_cast<Index>(count - 1)};
            const Outcome done =
                editor::mapedits::mirror(f.document, ships, level::MirrorMode::Point, {1, 1});
            if (spare == 2) {
                QCOMPARE(summary(done), QStringLiteral("changed 2"));
                QCOMPARE(f.rows().size(), std::size_t{level::LevelLineList::MaxRows});
            } else {
                QCOMPARE(summary(done), QStringLiteral("too many rows"));
                QCOMPARE(f.rows(), rows);
                QCOMPARE(f.document.history().count(), 0);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestMapEdits)
#include "test_mapedits.moc"
