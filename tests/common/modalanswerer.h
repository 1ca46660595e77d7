#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

class QFileDialog;

// Answers the modal windows a click opens, the way a user would: armed before the click, it
// notices each modal window as it is shown (a message box or the open-file dialog), records what
// it showed and, once the window's own event loop runs, presses the queued button. Windows are
// answered in the order the answers were queued.
//
// Nothing here waits for time. A modal window that no answer was queued for, or that an answer
// did not close, is closed at once and reported as a failure of the running test, so a test never
// hangs in a window nobody answers. Answers still queued when the answerer goes away mean an
// expected window never came; that fails the test as well.
class ModalAnswerer : public QObject {
public:
    struct SeenBox {
        QString className;
        QString title;
        QString text; // as read, without the places where long words may break
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QStringList buttons;   // button texts without mnemonics, as shown
        QString defaultButton; // text of the default button, if any
        int width = 0;         // of the window as shown
    };

    ModalAnswerer();
    ~ModalAnswerer() override;

    // Presses this button of the next message box.
    ModalAnswerer& press(QMessageBox::StandardButton button);
    // In the next open-file dialog, chooses the file at this path (absolute) through the dialog's
    // own controls and presses Open.
    ModalAnswerer& chooseFile(const QString& path);
    // Presses Cancel in the next open-file dialog.
    ModalAnswerer& cancelDialog();
    // Any other action on the next modal widget; it must close the window.
    ModalAnswerer& then(std::function<void(QWidget*)> action);

    const std::vector<SeenBox>& seen() const { return m_seen; }
    int count() const { return static_cast<int>(m_seen.size()); }
    bool done() const { return m_actions.empty(); }
    int unanswered() const { return static_cast<int>(m_actions.size()); }
    // What went wrong so far: windows nobody answered, answers that did not close their window.
    const QStringList& problems() const { return m_problems; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void answer(const QPointer<QWidget>& modal);

    std::deque<std::function<void(QWidget*)>> m_actions;
    std::vector<SeenBox> m_seen;
    QStringList m_problems;
    ModalAnswerer* m_outer = nullptr;
};

// Chooses a file in an open-file dialog as a user does: when the file lies in another folder,
// types that folder into the name field and presses Open to go there, then types the file's name
// and presses Open. Returns an empty string on success, else why the dialog did not take it (the
// dialog then stays open).
QString chooseInFileDialog(QFileDialog* dialog, const QString& path);
// Presses the open-file dialog's Cancel button.
void cancelFileDialog(QFileDialog* dialog);
