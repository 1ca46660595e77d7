#include "tests/common/modalanswerer.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <utility>

namespace {

// The answerer that answers modal windows now: the one made last (answerers nest by scope).
ModalAnswerer* current = nullptr;

QString withoutMnemonic(QString text) {
    return text.remove(QLatin1Char('&'));
}

QString describe(QWidget* w) {
    QString text = QString::fromLatin1(w->metaObject()->className()) + QStringLiteral(" \"") +
                   w->windowTitle() + QLatin1Char('"');
    if (auto* box = qobject_cast<QMessageBox*>(w))
        text += QStringLiteral(" saying \"") + box->text() + QLatin1Char('"');
    return text;
}

void closeModal(QWidget* w) {
    if (auto* dialog = qobject_cast<QDialog*>(w))
        dialog->reject();
    else
        w->close();
}

void fail(const QString& problem) {
    QTest::qFail(qPrintable(problem), __FILE__, __LINE__);
}

QPushButton* fileDialogButton(QFileDialog* dialog, QDialogButtonBox::StandardButton which) {
    auto* box = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    return box ? box->button(which) : nullptr;
}

// Types text into the dialog's name field and presses Open, if Open takes it.
QString typeAndOpen(QFileDialog* dialog, const QString& text) {
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QPushButton* open = fileDialogButton(dialog, QDialogButtonBox::Open);
    if (!name || !open)
        return QStringLiteral("the open-file dialog has no name field or no Open button");
    name->setText(text);
    if (!open->isEnabled())
        return QStringLiteral("the open-file dialog does not offer \"%1\" in %2")
            .arg(text, dialog->directory().absolutePath());
    open->click();
    return {};
}

} // namespace

QString chooseInFileDialog(QFileDialog* dialog, const QString& path) {
    const QFileInfo file(path);
    if (QDir(file.absolutePath()) != dialog->directory()) {
        if (QString problem = typeAndOpen(dialog, file.absolutePath()); !problem.isEmpty())
            return problem;
        if (QDir(file.absolutePath()) != dialog->directory())
            return QStringLiteral("the open-file dialog did not go to ") + file.absolutePath();
        // The typed folder stays selected in its parent's entries, and Open would take it as
        // part of the choice; a user's click on the file replaces that selection.
        if (auto* list = dialog->findChild<QAbstractItemView*>(QStringLiteral("listView")))
            list->clearSelection();
    }
    if (QString problem = typeAndOpen(dialog, file.fileName()); !problem.isEmpty())
        return problem;
    if (dialog->isVisible())
        return QStringLiteral("the open-file dialog did not take ") + path;
    return {};
}

void cancelFileDialog(QFileDialog* dialog) {
    if (QPushButton* cancel = fileDialogButton(dialog, QDialogButtonBox::Cancel))
        cancel->click();
    else
        dialog->reject();
}

ModalAnswerer::ModalAnswerer() {
    qApp->installEventFilter(this);
    m_outer = std::exchange(current, this);
}

ModalAnswerer::~ModalAnswerer() {
    current = m_outer;
    qApp->removeEventFilter(this);
    if (!m_actions.empty())
        fail(QStringLiteral("%1 expected modal window(s) never came").arg(m_actions.size()));
}

ModalAnswerer& ModalAnswerer::press(QMessageBox::StandardButton button) {
    return then([button](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QAbstractButton* b = box ? box->button(button) : nullptr;
        if (!b)
            fail(QStringLiteral("expected a message box with that button, got ") + describe(w));
        else
            b->click();
    });
}

ModalAnswerer& ModalAnswerer::chooseFile(const QString& path) {
    return then([path](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        if (!dialog)
            fail(QStringLiteral("expected the open-file dialog, got ") + describe(w));
        else if (const QString problem = chooseInFileDialog(dialog, path); !problem.isEmpty())
            fail(problem);
    });
}

ModalAnswerer& ModalAnswerer::cancelDialog() {
    return then([](QWidget* w) {
        if (auto* dialog = qobject_cast<QFileDialog*>(w))
            cancelFileDialog(dialog);
        else
            fail(QStringLiteral("expected the open-file dialog, got ") + describe(w));
    });
}

ModalAnswerer& ModalAnswerer::then(std::function<void(QWidget*)> action) {
    m_actions.push_back(std::move(action));
    return *this;
}

// A modal window is being shown: it is answered as soon as its own event loop runs, when its
// controls are all in place.
bool ModalAnswerer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && current == this && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if (w->isWindow() && w->isModal())
            QMetaObject::invokeMethod(
                this, [this, modal = QPointer<QWidget>(w)] { answer(modal); },
                Qt::QueuedConnection);
    }
    return false;
}

void ModalAnswerer::answer(const QPointer<QWidget>& modal) {
    if (!modal || !modal->isVisible())
        return;

    SeenBox seen;
    seen.className = QString::fromLatin1(modal->metaObject()->className());
    seen.title = modal->windowTitle();
    seen.width = modal->width();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        // As the user reads it: without the zero-width spaces where long words may break.
        seen.text = box->text().remove(QChar(0x200B));
        seen.icon = box->icon();
        for (QAbstractButton* b : box->buttons())
            seen.buttons << withoutMnemonic(b->text());
        if (QPushButton* d = box->defaultButton())
            seen.defaultButton = withoutMnemonic(d->text());
    }
    m_seen.push_back(seen);

    if (m_actions.empty()) {
        m_problems << QStringLiteral("unexpected modal window: ") + describe(modal);
        fail(m_problems.back());
        closeModal(modal);
        return;
    }
    auto action = std::move(m_actions.front());
    m_actions.pop_front();
    action(modal);
    if (modal && modal->isVisible()) {
        m_problems << QStringLiteral("the answer did not close ") + describe(modal);
        fail(m_problems.back());
        closeModal(modal);
    }
}
