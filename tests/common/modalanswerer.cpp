#include "modalanswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QPushButton>

namespace {

QString withoutMnemonic(QString text) {
    return text.remove(QLatin1Char('&'));
}

} // namespace

ModalAnswerer::ModalAnswerer() {
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer.start();
}

ModalAnswerer::~ModalAnswerer() = default;

ModalAnswerer& ModalAnswerer::press(QMessageBox::StandardButton button) {
    return then([button](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box) {
            w->close();
            return;
        }
        QAbstractButton* b = box->button(button);
        if (b)
            b->click();
        else
            box->close();
    });
}

ModalAnswerer& ModalAnswerer::chooseFile(const QString& path) {
    return then([path](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        if (!dialog) {
            w->close();
            return;
        }
        dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept();
    });
}

ModalAnswerer& ModalAnswerer::cancelDialog() {
    return then([](QWidget* w) {
        if (auto* dialog = qobject_cast<QDialog*>(w))
            dialog->reject();
        else
            w->close();
    });
}

ModalAnswerer& ModalAnswerer::then(std::function<void(QWidget*)> action) {
    m_actions.push_back(std::move(action));
    return *this;
}

void ModalAnswerer::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == m_last || !modal->isVisible() || m_actions.empty())
        return;
    m_last = modal;

    SeenBox seen;
    seen.className = QString::fromLatin1(modal->metaObject()->className());
    seen.title = modal->windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* b : box->buttons())
            seen.buttons << withoutMnemonic(b->text());
        if (QPushButton* d = box->defaultButton())
            seen.defaultButton = withoutMnemonic(d->text());
    }
    m_seen.push_back(seen);

    auto action = std::move(m_actions.front());
    m_actions.pop_front();
    action(modal);
}
