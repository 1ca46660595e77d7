#pragma once

// A panel of the editor tested on its own: shown and active, collecting the lines it builds,
// its controls reached the way a user reaches them.

#include "tests/common/modalanswerer.h"
#include "tests/editor/editortest.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QStringList>
#include <QTest>

#include <functional>
#include <utility>

template <typename PanelType> struct PanelTest {
    PanelType panel;
    QStringList lines;

    template <typename... Args>
    explicit PanelTest(Args&&... args)
        : panel(std::forward<Args>(args)...) {
        QObject::connect(&panel, &PanelType::lineBuilt,
                         [this](const QString& line) { lines << line; });
        showAndActivate(panel);
    }

    template <typename T = QWidget> T* get(const char* name) { return control<T>(panel, name); }
    void click(const char* name) { ::click(panel, name); }
    // Replaces the text of a line edit key by key; an empty text deletes it.
    void type(const char* name, const QString& text) {
        auto* box = get<QLineEdit>(name);
        box->selectAll();
        if (text.isEmpty())
            QTest::keyClick(box, Qt::Key_Delete);
        else
            typeText(box, text);
    }
    QString text(const char* name) { return get<QLineEdit>(name)->text(); }
};

// An answer for the open-file dialog that notes the name filters and the folder it offers, then
// chooses the file at `path` (absolute) or, where that is empty, cancels.
inline std::function<void(QWidget*)> noteOfferedFiles(QStringList& filters, QString& directory,
                                                      const QString& path = QString()) {
    return [&filters, &directory, path](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        if (!dialog) {
            w->close();
            QFAIL("the open-file dialog did not open");
        }
        filters = dialog->nameFilters();
        directory = dialog->directory().absolutePath();
        if (path.isEmpty())
            cancelFileDialog(dialog);
        else if (const QString problem = chooseInFileDialog(dialog, path); !problem.isEmpty())
            QFAIL(qPrintable(problem));
    };
}
