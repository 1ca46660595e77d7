#include "widgets/listframe.h"

#include <QEvent>
#include <QFrame>
#include <QPainter>
#include <QStyleOptionFrame>

namespace widgets {

namespace {

class FrameOnTop : public QWidget {
public:
    explicit FrameOnTop(QFrame* list)
        : QWidget(list->parentWidget())
        , m_list(list) {
        setObjectName(list->objectName() + QStringLiteral("Frame"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        list->installEventFilter(this);
        follow();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_list) {
            switch (event->type()) {
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::Show:
            case QEvent::Hide:
            case QEvent::ZOrderChange:
                follow();
                break;
            default:
                break;
            }
        }
        return false;
    }

    // What QFrame::drawFrame draws for a styled panel, the frame of item views.
    void paintEvent(QPaintEvent*) override {
        QStyleOptionFrame option;
        option.initFrom(m_list);
        option.rect = m_list->frameRect();
        option.frameShape = m_list->frameShape();
        option.lineWidth = m_list->lineWidth();
        option.midLineWidth = m_list->midLineWidth();
        if (m_list->frameShadow() == QFrame::Sunken)
            option.state |= QStyle::State_Sunken;
        else if (m_list->frameShadow() == QFrame::Raised)
            option.state |= QStyle::State_Raised;
        QPainter painter(this);
        m_list->style()->drawPrimitive(QStyle::PE_Frame, &option, &painter, m_list);
    }

private:
    // Lies on the list, above it, and shows while the list shows.
    void follow() {
        setGeometry(m_list->geometry());
        raise();
        setVisible(!m_list->isHidden() && m_list->frameShape() == QFrame::StyledPanel);
    }

    QFrame* m_list;
};

} // namespace

void keepFrameOnTop(QFrame* list) {
    new FrameOnTop(list);
}

} // namespace widgets
