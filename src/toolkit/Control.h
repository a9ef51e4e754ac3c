#pragma once

#include <QWidget>

#include "toolkit/Colors.h"
#include "toolkit/Component.h"
#include "toolkit/Font.h"
#include "toolkit/Types.h"

// A visible control: a Qt widget that is also a component. Its parent is the
// widget it sits on (by default its owner, when the owner is a widget).
//
// Mouse input follows the classic rules: a left-button press captures the
// mouse, so moves and the release come back to the pressed control; right and
// middle presses do not capture, and their moves and releases go to whatever
// control is under the cursor. A left press and release inside runs Click().
//
// Windowless controls (TGraphicControl) always stack below windowed ones
// (TWinControl) of the same parent; among each kind, later is above earlier.
class TControl : public QWidget, public TComponent {
    Q_OBJECT

  public:
    ~TControl() override;

    int Left() const { return x(); }
    int Top() const { return y(); }
    int Width() const { return width(); }
    int Height() const { return height(); }
    void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
    void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
    void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
    void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return {Left(), Top(), Left() + Width(), Top() + Height()}; }
    TRect ClientRect() const { return {0, 0, Width(), Height()}; }

    // The control's own visibility switch (a child of a hidden parent may be
    // Visible and still not on screen).
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    void setVisible(bool visible) override;
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    const QString& Hint() const { return hint_; }
    void SetHint(const QString& hint) { hint_ = hint; }
    bool ShowHint() const;
    void SetShowHint(bool show);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool parentShowHint) { parentShowHint_ = parentShowHint; }

    const TFont& Font() const { return font_; }
    void SetFont(const TFont& font);
    bool ParentFont() const { return parentFont_; }
    TColor Color() const { return color_; }
    void SetColor(TColor color);

    bool IsWindowed() const { return windowed_; }
    void SetParent(QWidget* parent);

    // Deferred repaint; the area is painted at the next paint cycle.
    void Invalidate() { update(); }
    // Immediate repaint, the parent's area beneath first for non-opaque controls.
    void Repaint() { repaint(); }
    void Refresh() { repaint(); }
    void BringToFront();
    void SendToBack();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

  protected:
    TControl(TComponent* AOwner, bool windowed);

    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void Click();
    virtual void DblClick();
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    virtual void FontChanged() { Invalidate(); }
    virtual void EnabledChanged() { Invalidate(); }
    virtual void ColorChanged() { Invalidate(); }

    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void ApplyEnabled();
    void ApplyStacking();
    // The control under the cursor for input that is not captured.
    TControl* UncapturedTarget(const QMouseEvent* event);
    void ReleaseAt(TControl* target, const QMouseEvent* event);

    bool windowed_;
    bool visible_ = true;
    bool enabled_ = true;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    bool parentFont_ = true;
    bool clicked_ = false;
    QString hint_;
    TFont font_;
    TColor color_ = clBtnFace;
};
