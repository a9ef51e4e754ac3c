#include "desktop/WindowMover.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWindow>

#include "app/Main.h"
#include "skin/Transit.h"

TWindowMover::TWindowMover(TForm1& form) : QObject(&form), form_(form) {
    form_.image1->installEventFilter(this);
}

bool TWindowMover::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
        // A press soon after a click comes as a double click.
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            const auto& press = static_cast<const QMouseEvent&>(*event);
            if (press.button() == Qt::LeftButton) pressedAt_ = press.globalPosition();
            break;
        }
        case QEvent::MouseMove: {
            const auto& move = static_cast<const QMouseEvent&>(*event);
            if (!pressedAt_ || !(move.buttons() & Qt::LeftButton)) break;
            const QPointF travelled = move.globalPosition() - *pressedAt_;
            if (travelled.manhattanLength() < QApplication::startDragDistance()) break;
            pressedAt_.reset();
            if (QWindow* window = form_.windowHandle()) window->startSystemMove();
            break;
        }
        case QEvent::MouseButtonRelease:
            pressedAt_.reset();
            break;
        default:
            break;
    }
    return false;
}
