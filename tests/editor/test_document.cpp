// The level document at its own seam, without a window: seeded random sequences of every
// operation, checked after each against a plain list of rows and the states the history should
// hold, with a history so small (a few steps, a few KiB) that its oldest steps go all the time.
// What the document tells its views is checked through a replica kept only from those changes.

#include "core/rowtext.h"
#include "editor/document/refusals.h"
#include "tests/editor/documentfixture.h"

#include <QTest>

#include <algorithm>
#include <optional>
#include <random>

using editor::DocumentChange;
using editor::LevelDocument;
using editor::MergeKind;
using editor::RowsChange;
using Index = LevelDocument::Index;

namespace {

constexpr int StepLimit = 7;
constexpr std::size_t ByteBudget = 3000;

// A state of the level the history can go back to, and the step that led there (for merging).
struct State {
    Rows rows;
    MergeKind kind = MergeKind::None;
    Indices rewritten;
};

class Model {
public:
    std::vector<State> states{State{}}; // states[index] is the level now
    int index = 0;
    std::optional<int> clean = 0;

    const Rows& rows() const { return states[static_cast<std::size_t>(index)].rows; }

    // A step done: the undone states go; a continuing rewrite of the same kind on the same rows
    // merges into the step before it, unless that one is the saved state.
    void push(Rows rows, MergeKind kind = MergeKind::None, Indices rewritten = {},
              bool continues = false) {
        if (clean && *clean > index)
            clean.reset();
        states.resize(static_cast<std::size_t>(index) + 1);
        const State& top = states.back();
        if (continues && kind != MergeKind::None && index > 0 && clean != index &&
            top.kind == kind && top.rewritten == rewritten) {
            states.back().rows = std::move(rows);
            return;
        }
        states.push_back(State{std::move(rows), kind, std::move(rewritten)});
        ++index;
    }
    // The history dropped its oldest steps so that `steps` are left.
    void keep(int steps) {
        const int drop = static_cast<int>(states.size()) - 1 - steps;
        if (drop <= 0)
            return;
        states.erase(states.begin(), states.begin() + drop);
        index -= drop;
        if (clean && *clean >= drop)
            *clean -= drop;
        else
            clean.reset();
    }
};

// What a view knows of the level: only what the document told it.
void follow(Rows& replica, const DocumentChange& change, const Rows& level) {
    const auto& at = change.rows.rows;
    switch (change.rows.kind) {
    case RowsChange::Kind::None:
        break;
    case RowsChange::Kind::Reset:
        replica = level;
        break;
    case RowsChange::Kind::Inserted:
        for (const Index row : at)
            replica.insert(replica.begin() + row, level.at(static_cast<std::size_t>(row)));
        break;
    case RowsChange::Kind::Removed:
        for (auto row = at.rbegin(); row != at.rend(); ++row)
            replica.erase(replica.begin() + *row);
        break;
    case RowsChange::Kind::Rewritten:
        for (const Index row : at)
            replica.at(static_cast<std::size_t>(row)) = level.at(static_cast<std::size_t>(row));
        break;
    }
}

} // namespace

class TestDocument : public QObject {
    Q_OBJECT

private slots:
    void randomOperationsMatchAPlainListAndTheHistory_data() {
        QTest::addColumn<unsigned>("seed");
        for (const unsigned seed : {1u, 2u, 3u, 17u, 2026u, 90210u})
            QTest::newRow(qPrintable(QString::number(seed))) << seed;
    }
    void randomOperationsMatchAPlainListAndTheHistory() {
        QFETCH(unsigned, seed);
        std::mt19937 random(seed);
        const auto below = [&random](std::size_t n) {
            return n == 0 ? std::size_t{0}
                          : std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
        };
        const auto text = [&] {
            std::string row(below(3) == 0 ? below(400) : below(12), 'a');
            for (char& c : row)
                c = static_cast<char>('a' + below(26));
            return row;
        };
        // Some rows of the level, ascending, possibly scattered.
        const auto someRows = [&](std::size_t count) {
            Indices rows;
            for (std::size_t row = 0; row < count; ++row)
                if (below(3) == 0)
                    rows.push_back(static_cast<Index>(row));
            return rows;
        };

        DocumentFixture f({}, StepLimit, ByteBudget);
        LevelDocument& d = f.document;
        Model model;
        Rows replica;
        const Indices keys{0, 1};

        for (int op = 0; op < 3000; ++op) {
            const Rows before = f.rows();
            const std::size_t count = before.size();
            const Index current = f.current();
            f.told.clear();
            const int kind = static_cast<int>(below(16));
            bool step = true;
            Rows after = before;
            Index expectedCurrent = current;
            bool checkCurrent = true;
            switch (kind) {
            case 0: { // an add
                if (count >= 60) {
                    step = false;
                    break;
                }
                const std::string row = text();
                QVERIFY(d.addLine(row));
                after.push_back(row);
                model.push(after);
                break;
            }
            case 1: { // many appended, chosen or not
                if (count >= 60) {
                    step = false;
                    break;
                }
                Rows added(1 + below(5));
                for (auto& row : added)
                    row = text();
                const bool choose = below(2) == 0;
                QVERIFY(d.appendLines(added, QStringLiteral("add"), choose));
                after.insert(after.end(), added.begin(), added.end());
                if (choose)
                    expectedCurrent = static_cast<Index>(count);
                model.push(after);
                break;
            }
            case 2: { // "del line"
                if (current == LevelDocument::NoRow) {
                    step = false;
                    QCOMPARE(d.removeSelectedLine(), LevelDocument::NoRow);
                    break;
                }
                const Index left = d.removeSelectedLine();
                after.erase(after.begin() + current);
                expectedCurrent = current < static_cast<Index>(after.size())
                                      ? current
                                      : static_cast<Index>(after.size() - 1);
                QCOMPARE(left, expectedCurrent);
                model.push(after);
                break;
            }
            case 3: { // Backspace on any row
                if (count == 0) {
                    step = false;
                    break;
                }
                const auto row = static_cast<Index>(below(count));
                d.removeLine(row);
                after.erase(after.begin() + row);
                expectedCurrent = LevelDocument::NoRow;
                model.push(after);
                break;
            }
            case 4: { // scattered rows removed
                const Indices rows = someRows(count);
                if (rows.empty()) {
                    step = false;
                    break;
                }
                d.removeLines(rows, QStringLiteral("delete"));
                for (auto row = rows.rbegin(); row != rows.rend(); ++row)
                    after.erase(after.begin() + *row);
                expectedCurrent = LevelDocument::NoRow;
                model.push(after);
                break;
            }
            case 5:
            case 6: { // "up", "down"
                const bool up = kind == 5;
                const bool moves = current != LevelDocument::NoRow &&
                                   (up ? current > 0 : current + 1 < static_cast<Index>(count));
                up ? d.moveLineUp() : d.moveLineDown();
                if (!moves) {
                    step = false;
                    break;
                }
                const Index other = static_cast<Index>(up ? current - 1 : current + 1);
                std::swap(after[static_cast<std::size_t>(current)],
                          after[static_cast<std::size_t>(other)]);
                expectedCurrent = other;
                model.push(after);
                break;
            }
            case 7:
            case 8: { // rows rewritten; a held key's steps on rows of its own
                const bool held = kind == 8;
                Indices rows = held ? keys : someRows(count);
                rows.erase(
                    std::remove_if(rows.begin(), rows.end(),
                                   [count](Index row) { return row >= static_cast<Index>(count); }),
                    rows.end());
                if (rows.empty()) {
                    step = false;
                    break;
                }
                Rows texts;
                for (const Index row : rows) {
                    texts.push_back(text());
                    after[static_cast<std::size_t>(row)] = texts.back();
                }
                const MergeKind merge = held ? MergeKind::Nudge : MergeKind::None;
                const bool continues = held && below(4) != 0;
                d.rewriteLines(rows, texts, QStringLiteral("move"), merge, continues);
                model.push(after, merge, rows, continues);
                break;
            }
            case 9: { // a row edited in place
                if (count == 0) {
                    step = false;
                    break;
                }
                const auto row = static_cast<Index>(below(count));
                const std::string edited = text();
                d.editLine(row, edited);
                if (edited == before[static_cast<std::size_t>(row)]) {
                    step = false;
                    break;
                }
                after[static_cast<std::size_t>(row)] = edited;
                expectedCurrent = row;
                model.push(after);
                break;
            }
            case 10: { // "clear"
                d.clearLines();
                if (count == 0) {
                    step = false;
                    break;
                }
                after.clear();
                expectedCurrent = LevelDocument::NoRow;
                model.push(after);
                break;
            }
            case 11: { // a load
                Rows loaded(below(30));
                for (auto& row : loaded)
                    row = text();
                level::LevelLineList lines;
                QVERIFY(lines.ReplaceLines(loaded));
                d.replaceLines(std::move(lines), QStringLiteral("load"));
                after = loaded;
                expectedCurrent = LevelDocument::NoRow;
                model.push(after);
                break;
            }
            case 12: // undo
                step = false;
                checkCurrent = false;
                QCOMPARE(d.undo(), model.index > 0);
                if (model.index > 0)
                    --model.index;
                break;
            case 13: // redo
                step = false;
                checkCurrent = false;
                QCOMPARE(d.redo(), model.index + 1 < static_cast<int>(model.states.size()));
                if (model.index + 1 < static_cast<int>(model.states.size()))
                    ++model.index;
                break;
            case 14: // saved
                step = false;
                d.markSaved();
                model.clean = model.index;
                break;
            case 15: { // rows chosen, as on the map
                step = false;
                const Indices rows = someRows(count);
                const Index now = rows.empty() ? LevelDocument::NoRow : rows[below(rows.size())];
                d.choose(rows, now);
                QCOMPARE(f.chosen(), rows);
                expectedCurrent = now;
                break;
            }
            }
            const QString where = QStringLiteral("operation %1 (kind %2)").arg(op).arg(kind);
            model.keep(d.history().count());

            QVERIFY2(f.rows() == model.rows(), qPrintable(where));
            QVERIFY2(d.history().index() == model.index, qPrintable(where));
            QVERIFY2(d.isModified() == (model.clean != model.index), qPrintable(where));
            if (checkCurrent)
                QVERIFY2(f.current() == expectedCurrent, qPrintable(where));
            QVERIFY2(d.history().count() <= StepLimit, qPrintable(where));
            QVERIFY2(d.history().bytes() <= ByteBudget || d.history().count() == 1,
                     qPrintable(where));
            // The current row is chosen, and every chosen row is a row.
            const Indices& chosen = f.chosen();
            QVERIFY2(std::is_sorted(chosen.begin(), chosen.end()), qPrintable(where));
            QVERIFY2(chosen.empty() || chosen.back() < static_cast<Index>(f.rows().size()),
                     qPrintable(where));
            QVERIFY2(f.current() == LevelDocument::NoRow ||
                         std::binary_search(chosen.begin(), chosen.end(), f.current()),
                     qPrintable(where));
            // Views hear of each step once, and what they hear is enough to follow it.
            if (step)
                QVERIFY2(f.told.size() == 1, qPrintable(where));
            for (const DocumentChange& change : f.told)
                follow(replica, change, f.rows());
            QVERIFY2(replica == f.rows(), qPrintable(where));
        }

        // As far back as the history goes, and forward to the end again.
        while (model.index > 0) {
            QVERIFY(d.undo());
            --model.index;
            follow(replica, f.told.back(), f.rows());
            QCOMPARE(f.rows(), model.rows());
            QCOMPARE(replica, f.rows());
        }
        QVERIFY(!d.undo());
        while (model.index + 1 < static_cast<int>(model.states.size())) {
            QVERIFY(d.redo());
            ++model.index;
            QCOMPARE(f.rows(), model.rows());
        }
        QVERIFY(!d.redo());
    }

    // The steps a user meets most, with their names and selections (one table): rows and current
    // row in, one operation, rows, chosen rows and current row out; then undone and redone.
    void eachOperationIsOneStep_data() {
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<Indices>("chosen");
        QTest::addColumn<Index>("currentAfter");
        QTest::addColumn<Indices>("chosenUndone");
        const QStringList d{"a", "c", "d", "e"};
        QTest::newRow("del line") << 1 << "del"
                                  << "delete row 2" << QStringList{"a", "c", "d", "e"} << Indices{1}
                                  << Index(1) << Indices{1};
        QTest::newRow("del line, the last") << 4 << "del"
                                            << "delete row 5" << QStringList{"a", "b", "c", "d"}
                                            << Indices{3} << Index(3) << Indices{4};
        QTest::newRow("Backspace") << 2 << "backspace"
                                   << "delete row 3" << QStringList{"a", "b", "d", "e"} << Indices{}
                                   << Index(-1) << Indices{2};
        QTest::newRow("up") << 2 << "up"
                            << "move row 3 up" << QStringList{"a", "c", "b", "d", "e"} << Indices{1}
                            << Index(1) << Indices{2};
        QTest::newRow("down") << 2 << "down"
                              << "move row 3 down" << QStringList{"a", "b", "d", "c", "e"}
                              << Indices{3} << Index(3) << Indices{2};
        QTest::newRow("clear") << 2 << "clear"
                               << "clear 5 rows" << QStringList{} << Indices{} << Index(-1)
                               << Indices{};
        QTest::newRow("clear one row")
            << 0 << "clear1"
            << "clear 1 row" << QStringList{} << Indices{} << Index(-1) << Indices{};
        QTest::newRow("edit") << 0 << "edit"
                              << "edit row 4" << QStringList{"a", "b", "c", "D", "e"} << Indices{3}
                              << Index(3) << Indices{3};
        QTest::newRow("many removed") << 4 << "removeMany"
                                      << "delete 2 entries" << QStringList{"b", "d", "e"}
                                      << Indices{} << Index(-1) << Indices{0, 2};
        QTest::newRow("many appended, chosen")
            << 1 << "appendChosen"
            << "mirror" << QStringList{"a", "b", "c", "d", "e", "x", "y"} << Indices{5, 6}
            << Index(5) << Indices{};
    }
    void eachOperationIsOneStep() {
        QFETCH(int, current);
        QFETCH(QString, operation);
        QFETCH(QString, name);
        QFETCH(QStringList, after);
        QFETCH(Indices, chosen);
        QFETCH(Index, currentAfter);
        QFETCH(Indices, chosenUndone);
        const Rows five{"a", "b", "c", "d", "e"};
        DocumentFixture f(operation == QLatin1String("clear1") ? Rows{"a"} : five);
        LevelDocument& d = f.document;
        const Rows start = f.rows();
        d.selectLine(static_cast<Index>(current));
        if (operation == QLatin1String("del"))
            d.removeSelectedLine();
        else if (operation == QLatin1String("backspace"))
            d.removeLine(static_cast<Index>(current));
        else if (operation == QLatin1String("up"))
            d.moveLineUp();
        else if (operation == QLatin1String("down"))
            d.moveLineDown();
        else if (operation.startsWith(QLatin1String("clear")))
            d.clearLines();
        else if (operation == QLatin1String("edit"))
            d.editLine(3, "D");
        else if (operation == QLatin1String("removeMany"))
            d.removeLines({0, 2}, QStringLiteral("delete 2 entries"));
        else if (operation == QLatin1String("appendChosen"))
            QVERIFY(d.appendLines({"x", "y"}, QStringLiteral("mirror"), true));
        Rows done;
        for (const QString& row : after)
            done.push_back(row.toStdString());
        QCOMPARE(f.rows(), done);
        QCOMPARE(f.chosen(), chosen);
        QCOMPARE(f.current(), currentAfter);
        QCOMPARE(d.history().count(), 1);
        QCOMPARE(d.history().undoName(), name);
        QVERIFY(d.isModified());

        QVERIFY(d.undo());
        QCOMPARE(f.rows(), start);
        if (!operation.startsWith(QLatin1String("clear")))
            QCOMPARE(f.chosen(), chosenUndone);
        QVERIFY(!d.isModified());
        QCOMPARE(d.history().redoName(), name);
        QVERIFY(d.redo());
        QCOMPARE(f.rows(), done);
        QCOMPARE(f.chosen(), chosen);
        QCOMPARE(f.current(), currentAfter);
    }

    // Several rows chosen, and the clipboard's text, through the document: chosen rows and the
    // current row in, one operation, rows, chosen rows, current row and the one step out.
    void severalRowsAndPastedText_data() {
        QTest::addColumn<Indices>("chosen");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("text"); // pasted, with \r and \n as they stand
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<Indices>("chosenAfter");
        QTest::addColumn<int>("currentAfter");
        QTest::addColumn<QString>("step"); // empty: none (refused, with the reason in text)
        QTest::newRow("del line") << Indices{1, 3} << 3 << "del"
                                  << "" << QStringList{"a", "c", "e"} << Indices{1} << 1
                                  << "delete 2 rows";
        QTest::newRow("Backspace")
            << Indices{0, 4} << 0 << "backspace"
            << "" << QStringList{"b", "c", "d"} << Indices{} << -1 << "delete 2 rows";
        QTest::newRow("up, a block at the top stays") << Indices{0, 1, 3} << 3 << "up"
                                                      << "" << QStringList{"a", "b", "d", "c", "e"}
                                                      << Indices{0, 1, 2} << 2 << "move 3 rows up";
        QTest::newRow("down as blocks") << Indices{0, 2, 3} << 0 << "down"
                                        << "" << QStringList{"b", "a", "e", "c", "d"}
                                        << Indices{1, 3, 4} << 1 << "move 3 rows down";
        QTest::newRow("down, all at the bottom")
            << Indices{3, 4} << 4 << "down"
            << "" << QStringList{"a", "b", "c", "d", "e"} << Indices{3, 4} << 4 << "";
        QTest::newRow("paste after the current row, LF")
            << Indices{1} << 1 << "paste"
            << "x\ny\n"
            << QStringList{"a", "b", "x", "y", "c", "d", "e"} << Indices{2, 3} << 3
            << "paste 2 rows";
        QTest::newRow("paste CR LF, CR and a last line without its end")
            << Indices{} << -1 << "paste"
            << "x \r\n\r y\rz" << QStringList{"a", "b", "c", "d", "e", "x ", "", " y", "z"}
            << Indices{5, 6, 7, 8} << 8 << "paste 4 rows";
        QTest::newRow("paste a character a level cannot store")
            << Indices{1} << 1 << "paste"
            << "ok\nteam \u03a9\n"
            << QStringList{"a", "b", "c", "d", "e"} << Indices{1} << 1
            << "refused: Nothing was pasted: line 2 of the text holds \"\u03a9\" (U+03A9), which "
               "a level file cannot store.";
        QTest::newRow("duplicate") << Indices{0, 2} << 2 << "duplicate"
                                   << "" << QStringList{"a", "b", "c", "a", "c", "d", "e"}
                                   << Indices{3, 4} << 4 << "duplicate 2 rows";
    }
    void severalRowsAndPastedText() {
        QFETCH(Indices, chosen);
        QFETCH(int, current);
        QFETCH(QString, operation);
        QFETCH(QString, text);
        QFETCH(QStringList, after);
        QFETCH(Indices, chosenAfter);
        QFETCH(int, currentAfter);
        QFETCH(QString, step);
        const Rows five{"a", "b", "c", "d", "e"};
        DocumentFixture f(five);
        LevelDocument& d = f.document;
        d.choose(chosen, static_cast<Index>(current));
        QString refused;
        if (operation == QLatin1String("del"))
            d.removeChosenLines();
        else if (operation == QLatin1String("backspace"))
            d.removeChosenLinesByKey();
        else if (operation == QLatin1String("up"))
            d.moveChosenUp();
        else if (operation == QLatin1String("down"))
            d.moveChosenDown();
        else if (operation == QLatin1String("paste") || operation == QLatin1String("duplicate")) {
            Rows rows;
            if (operation == QLatin1String("paste"))
                rows = level::TextAsRows(text.toStdString());
            else
                for (const Index row : chosen)
                    rows.push_back(f.rows()[static_cast<std::size_t>(row)]);
            const Index at = operation == QLatin1String("paste")
                                 ? (current < 0 ? Index(5) : static_cast<Index>(current + 1))
                                 : static_cast<Index>(chosen.back() + 1);
            if (const auto reason = editor::pasteRefusal(rows, 5))
                refused = QStringLiteral("refused: ") + *reason;
            else
                QVERIFY(d.insertLines(at, rows,
                                      operation == QLatin1String("paste")
                                          ? editor::stepnames::pasted(rows.size())
                                          : editor::stepnames::duplicated(rows.size())));
        }
        Rows done;
        for (const QString& row : after)
            done.push_back(row.toStdString());
        QCOMPARE(f.rows(), done);
        QCOMPARE(f.chosen(), chosenAfter);
        QCOMPARE(f.current(), static_cast<Index>(currentAfter));
        if (step.startsWith(QLatin1String("refused")) || step.isEmpty()) {
            QCOMPARE(refused, step);
            QCOMPARE(d.history().count(), 0);
            return;
        }
        QCOMPARE(d.history().count(), 1);
        QCOMPARE(d.history().undoName(), step);
        QVERIFY(d.undo());
        QCOMPARE(f.rows(), five);
    }

    // A paste that would make more rows than a level holds is refused whole.
    void aPasteBeyondTheRowLimitIsRefused() {
        const auto reason = editor::pasteRefusal(Rows(3, "x"), level::LevelLineList::MaxRows - 2);
        QVERIFY(reason);
        QCOMPARE(*reason, QStringLiteral("Nothing was pasted: the 3 lines would make 32768 lines, "
                                         "more than the 32767 a level file can hold."));
        QVERIFY(!editor::pasteRefusal(Rows(2, "x"), level::LevelLineList::MaxRows - 2));
    }

    // A load, an edit of row 1, a mirror and a clear past the budget: the oldest step goes where
    // it stands, and every step that stays still undoes its own rows.
    void theBudgetDropsOldStepsWithoutRebuildingTheOthers() {
        const Rows big(40, std::string(100, 'w'));
        DocumentFixture f({}, 1000, 10'000);
        LevelDocument& d = f.document;
        level::LevelLineList lines;
        QVERIFY(lines.ReplaceLines(big));
        d.replaceLines(std::move(lines), QStringLiteral("load"));
        d.markSaved();
        d.editLine(0, "edited");
        QVERIFY(d.appendLines({"mirrored"}, QStringLiteral("mirror row 1"), true));
        d.clearLines();
        QVERIFY(d.history().bytes() <= 10'000);
        QCOMPARE(d.history().count(), 3); // the load went
        QVERIFY(d.isModified());
        QVERIFY(d.undo());
        QCOMPARE(f.rows().size(), std::size_t{41});
        QCOMPARE(f.rows().back(), "mirrored");
        QVERIFY(d.undo());
        QCOMPARE(f.rows().size(), std::size_t{40});
        QCOMPARE(f.rows().front(), "edited");
        QVERIFY(d.undo());
        QCOMPARE(f.rows(), big);
        QVERIFY(!d.undo());
        QVERIFY(!d.isModified()); // back at the load, which was saved: its state is the oldest
    }
};

QTEST_GUILESS_MAIN(TestDocument)
#include "test_document.moc"
