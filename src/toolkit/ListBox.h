#pragma once

#include <QChar>
#include <functional>

#include "toolkit/ListItems.h"
#include "toolkit/OwnerDrawDelegate.h"
#include "toolkit/WinControl.h"

class QAbstractItemView;

enum TListBoxStyle { lbStandard = 0, lbOwnerDrawFixed = 1, lbOwnerDrawVariable = 2 };

using TKeyPressEvent = std::function<void(TObject* Sender, QChar& Key)>;

// A single-selection list box. Rows live in Items (text plus an attached
// object); every row is ItemHeight pixels high and drawn by DrawItem, which by
// default writes the row's text (odd characters made visible) on the row's
// background.
//
// Input: every selection change by the user, mouse or keyboard, and every
// press on a row runs Click (OnClick); a double click runs DblClick
// (OnDblClick); a character key runs KeyPress (OnKeyPress, Enter is
// character 13). Setting ItemIndex from code fires nothing; −1 is no row.
//
// The control's window is created when it is first shown, or at once by
// HandleNeeded; subclasses fill themselves in CreateWnd.
class TCustomListBox : public TWinControl {
    Q_OBJECT

  public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;

    TListItems& Items() { return *items_; }
    const TListItems& Items() const { return *items_; }
    int ItemIndex() const;
    void SetItemIndex(int index);
    int ItemHeight() const { return delegate_->ItemHeight(); }
    void SetItemHeight(int height);
    TListBoxStyle Style() const { return style_; }
    void SetStyle(TListBoxStyle style) { style_ = style; }
    bool Sorted() const { return items_->Sorted(); }
    void SetSorted(bool sorted) { items_->SetSorted(sorted); }
    // The canvas rows are drawn on, while DrawItem runs.
    TCanvas& Canvas() { return delegate_->Canvas(); }
    // The rectangle of a row in the list's client area (empty when out of range).
    TRect ItemRect(int index) const;
    // The Qt view inside (tests drive input through it).
    QAbstractItemView* View() const;

    bool HandleAllocated() const { return handleAllocated_; }
    void HandleNeeded();

    TKeyPressEvent OnKeyPress;

  protected:
    virtual void CreateWnd() {}
    virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
    virtual void KeyPress(QChar& key);
    void FontChanged() override;
    void ColorChanged() override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    class InnerView;

    TListItems* items_;
    TOwnerDrawDelegate* delegate_;
    InnerView* view_;
    TListBoxStyle style_ = lbStandard;
    bool handleAllocated_ = false;
    bool selectionRemoved_ = false;
};

// The plain list box forms place.
class TListBox : public TCustomListBox {
    Q_OBJECT

  public:
    using TCustomListBox::TCustomListBox;
};
