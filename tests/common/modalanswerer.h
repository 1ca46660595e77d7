#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>
#include <vector>

// Answers the modal windows a click opens, the way a user would: armed before the click, it
// waits for each new modal window (a message box or the open-file dialog), records what it
// showed and presses the queued button. Windows are answered in the order the answers were queued.
class ModalAnswerer : public QObject {
public:
    struct SeenBox {
        QString className;
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QStringList buttons;   // button texts without mnemonics, as shown
        QString defaultButton; // text of the default button, if any
    };

    ModalAnswerer();
    ~ModalAnswerer() override;

    // Presses this button of the next message box.
    ModalAnswerer& press(QMessageBox::StandardButton button);
    // In the next open-file dialog, chooses the file at this path (absolute) and accepts.
    ModalAnswerer& chooseFile(const QString& path);
    // Cancels the next open-file dialog.
    ModalAnswerer& cancelDialog();
    // Any other action on the next modal widget.
    ModalAnswerer& then(std::function<void(QWidget*)> action);

    const std::vector<SeenBox>& seen() const { return m_seen; }
    int count() const { return static_cast<int>(m_seen.size()); }
    bool done() const { return m_actions.empty(); }
    // Answers still queued when the answerer goes away mean the expected window never came.
    int unanswered() const { return static_cast<int>(m_actions.size()); }

private:
    void poll();

    QTimer m_timer;
    std::deque<std::function<void(QWidget*)>> m_actions;
    std::vector<SeenBox> m_seen;
    QPointer<QWidget> m_last;
};
