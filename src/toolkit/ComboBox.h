#pragma once

#include "toolkit/ListItems.h"
#include "toolkit/OwnerDrawDelegate.h"
#include "toolkit/WinControl.h"

class QComboBox;

enum TComboBoxStyle {
    csDropDown = 0,
    csSimple = 1,
    csDropDownList = 2,
    csOwnerDrawFixed = 3,
    csOwnerDrawVariable = 4,
};

// A drop-down list without an edit field. Rows live in Items; every row is
// ItemHeight pixels high. In the owner-drawn styles DrawItem paints the rows
// of the drop-down and the closed face (the selected row, with
// odComboBoxEdit); the default writes the row's text.
//
// A row picked by the user runs Click (OnClick); setting ItemIndex from code
// fires nothing; −1 is no row. The window is created when the control is
// first shown, or at once by HandleNeeded; subclasses fill themselves in
// CreateWnd, and RecreateWnd runs it again.
class TCustomComboBox : public TWinControl {
    Q_OBJECT

  public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;

    TListItems& Items() { return *items_; }
    const TListItems& Items() const { return *items_; }
    int ItemIndex() const;
    void SetItemIndex(int index);
    // The selected row's text, or empty.
    QString Text() const;
    int ItemHeight() const { return delegate_->ItemHeight(); }
    void SetItemHeight(int height);
    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle style);
    TCanvas& Canvas() { return delegate_->Canvas(); }
    // The Qt combo box inside (tests pick rows through it).
    QComboBox* Combo() const;

    bool HandleAllocated() const { return handleAllocated_; }
    void HandleNeeded();
    void RecreateWnd();

  protected:
    virtual void CreateWnd() {}
    virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
    void FontChanged() override;
    void ColorChanged() override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    class InnerCombo;

    TListItems* items_;
    TOwnerDrawDelegate* delegate_;
    InnerCombo* combo_;
    TComboBoxStyle style_ = csDropDown;
    bool handleAllocated_ = false;
    bool noneSelected_ = true;
};
