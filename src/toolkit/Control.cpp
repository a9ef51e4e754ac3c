#include "toolkit/Control.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolTip>

#include "toolkit/Application.h"

namespace {

TMouseButton ToButton(Qt::MouseButton button) {
    switch (button) {
        case Qt::RightButton:
            return mbRight;
        case Qt::MiddleButton:
            return mbMiddle;
        default:
            return mbLeft;
    }
}

TShiftState ShiftOf(const QMouseEvent* event) {
    TShiftState shift = 0;
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (mods & Qt::ShiftModifier) shift |= ssShift;
    if (mods & Qt::AltModifier) shift |= ssAlt;
    if (mods & Qt::ControlModifier) shift |= ssCtrl;
    const Qt::MouseButtons buttons = event->buttons();
    if (buttons & Qt::LeftButton) shift |= ssLeft;
    if (buttons & Qt::RightButton) shift |= ssRight;
    if (buttons & Qt::MiddleButton) shift |= ssMiddle;
    return shift;
}

TPoint LocalPoint(const QWidget* widget, const QMouseEvent* event) {
    const QPoint p = widget->mapFromGlobal(event->globalPosition().toPoint());
    return {p.x(), p.y()};
}

TControl* EnclosingControl(QWidget* widget) {
    while (widget && !dynamic_cast<TControl*>(widget)) widget = widget->parentWidget();
    return dynamic_cast<TControl*>(widget);
}

}  // namespace

TControl::TControl(TComponent* AOwner, bool windowed)
    : QWidget(nullptr), TComponent(AOwner), windowed_(windowed) {
    setMouseTracking(true);
    if (!windowed_) {
        // Non-opaque: what the control leaves unpainted shows the parent beneath.
        setAttribute(Qt::WA_NoSystemBackground);
        setAutoFillBackground(false);
    }
    if (auto* parent = dynamic_cast<QWidget*>(AOwner)) SetParent(parent);
}

TControl::~TControl() {
    // Child controls go while this widget is still whole: their removal
    // reaches it as Qt events, which must not find it half destroyed.
    DestroyComponents();
}

void TControl::SetBounds(int left, int top, int width, int height) {
    setGeometry(left, top, std::max(0, width), std::max(0, height));
}

void TControl::SetVisible(bool visible) {
    setVisible(visible);
}

void TControl::setVisible(bool visible) {
    visible_ = visible;
    QWidget::setVisible(visible);
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    ApplyEnabled();
    EnabledChanged();
}

void TControl::ApplyEnabled() {
    if (windowed_) {
        setEnabled(enabled_);
    } else {
        // A disabled windowless control lets input through to what lies
        // beneath it; it stays enabled for Qt so that a press it captured
        // still brings it the release.
        setAttribute(Qt::WA_TransparentForMouseEvents, !enabled_);
    }
}

bool TControl::ShowHint() const {
    if (parentShowHint_) {
        if (const auto* parent = dynamic_cast<const TControl*>(parentWidget()))
            return parent->ShowHint();
    }
    return showHint_;
}

void TControl::SetShowHint(bool show) {
    showHint_ = show;
    parentShowHint_ = false;
}

void TControl::SetFont(const TFont& font) {
    parentFont_ = false;
    if (font == font_) return;
    font_ = font;
    QWidget::setFont(font_.ToQFont());
    FontChanged();
}

void TControl::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    ColorChanged();
}

void TControl::SetParent(QWidget* parent) {
    QWidget::setParent(parent);
    if (!parent) return;
    if (const auto* parentControl = dynamic_cast<const TControl*>(parent);
        parentControl && parentFont_) {
        font_ = parentControl->Font();
        QWidget::setFont(font_.ToQFont());
    }
    ApplyStacking();
    if (visible_) QWidget::setVisible(true);
}

void TControl::ApplyStacking() {
    QWidget* parent = parentWidget();
    if (!parent) return;
    if (windowed_) {
        raise();
        return;
    }
    for (QObject* child : parent->children()) {
        auto* sibling = dynamic_cast<TControl*>(child);
        if (sibling && sibling != this && sibling->IsWindowed()) {
            stackUnder(sibling);
            return;
        }
    }
    raise();
}

void TControl::BringToFront() {
    ApplyStacking();
}

void TControl::SendToBack() {
    if (!windowed_) {
        lower();
        return;
    }
    for (QObject* child : parentWidget() ? parentWidget()->children() : QObjectList{}) {
        auto* sibling = dynamic_cast<TControl*>(child);
        if (sibling && sibling != this && sibling->IsWindowed()) {
            stackUnder(sibling);
            return;
        }
    }
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

TControl* TControl::UncapturedTarget(const QMouseEvent* event) {
    QWidget* top = window();
    const QPoint inWindow = top->mapFromGlobal(event->globalPosition().toPoint());
    QWidget* under = top->childAt(inWindow);
    if (!under && top->rect().contains(inWindow)) under = top;
    return EnclosingControl(under);
}

void TControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) clicked_ = true;
    const TPoint p = LocalPoint(this, event);
    Guarded([&] { MouseDown(ToButton(event->button()), ShiftOf(event), p.X, p.Y); });
}

void TControl::mouseDoubleClickEvent(QMouseEvent* event) {
    Guarded([&] {
        if (event->button() == Qt::LeftButton) {
            clicked_ = true;
            DblClick();
        }
        const TPoint p = LocalPoint(this, event);
        MouseDown(ToButton(event->button()), ShiftOf(event) | ssDouble, p.X, p.Y);
    });
}

void TControl::mouseMoveEvent(QMouseEvent* event) {
    const Qt::MouseButtons buttons = event->buttons();
    TControl* target =
        (buttons == Qt::NoButton || (buttons & Qt::LeftButton)) ? this : UncapturedTarget(event);
    if (!target) return;
    const TPoint p = LocalPoint(target, event);
    Guarded([&] { target->MouseMove(ShiftOf(event), p.X, p.Y); });
}

void TControl::mouseReleaseEvent(QMouseEvent* event) {
    const bool captured = event->button() == Qt::LeftButton || (event->buttons() & Qt::LeftButton);
    Guarded([&] { ReleaseAt(captured ? this : UncapturedTarget(event), event); });
}

void TControl::ReleaseAt(TControl* target, const QMouseEvent* event) {
    if (!target) return;
    const TPoint p = LocalPoint(target, event);
    if (event->button() == Qt::LeftButton && target == this && clicked_) {
        clicked_ = false;
        if (PtInRect(ClientRect(), p)) Click();
    }
    target->MouseUp(ToButton(event->button()), ShiftOf(event), p.X, p.Y);
}

void TControl::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    Guarded([this] { MouseEnter(); });
}

void TControl::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    Guarded([this] { MouseLeave(); });
}

bool TControl::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (ShowHint() && !hint_.isEmpty())
            QToolTip::showText(help->globalPos(), hint_, this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}
