#include "toolkit/ComboBox.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QStylePainter>

#include "platform/files/NativeNames.h"
#include "toolkit/Application.h"

// The Qt combo box inside; in the owner-drawn styles its closed face shows
// the selected row as DrawItem paints it.
class TCustomComboBox::InnerCombo : public QComboBox {
  public:
    explicit InnerCombo(TCustomComboBox* owner) : QComboBox(owner), owner_(owner) {}

  protected:
    void paintEvent(QPaintEvent* event) override {
        const TComboBoxStyle comboStyle = owner_->Style();
        if (comboStyle != csOwnerDrawFixed && comboStyle != csOwnerDrawVariable) {
            QComboBox::paintEvent(event);
            return;
        }
        QStylePainter painter(this);
        QStyleOptionComboBox option;
        initStyleOption(&option);
        option.currentText.clear();
        option.currentIcon = QIcon();
        painter.drawComplexControl(QStyle::CC_ComboBox, option);
        if (currentIndex() < 0) return;
        const QRect face = style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                   QStyle::SC_ComboBoxEditField, this);
        TOwnerDrawState state = odComboBoxEdit;
        if (hasFocus()) state |= odSelected | odFocused;
        owner_->delegate_->PaintRow(&painter, currentIndex(), face, state);
    }

  private:
    TCustomComboBox* owner_;
};

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TWinControl(AOwner),
      items_(new TListItems(this)),
      delegate_(new TOwnerDrawDelegate(this,
                                       [this](int index, const TRect& rect, TOwnerDrawState state) {
                                           DrawItem(index, rect, state);
                                       })),
      combo_(new InnerCombo(this)) {
    combo_->setModel(items_);
    combo_->setItemDelegate(delegate_);
    combo_->setEditable(false);
    delegate_->SetLook(Font(), Color());
    SetColor(clWindow);
    connect(combo_, &QComboBox::activated, this, [this](int) { Guarded([this] { Click(); }); });
    // Qt selects the first row of an empty combo box as rows arrive; here a
    // list stays without a selection until one is made.
    const auto rememberNone = [this] { noneSelected_ = combo_->currentIndex() < 0; };
    const auto keepNone = [this] {
        if (noneSelected_) combo_->setCurrentIndex(-1);
    };
    connect(items_, &QAbstractItemModel::rowsAboutToBeInserted, this, rememberNone);
    connect(items_, &QAbstractItemModel::rowsInserted, this, keepNone);
    connect(items_, &QAbstractItemModel::modelAboutToBeReset, this, rememberNone);
    connect(items_, &QAbstractItemModel::modelReset, this, keepNone);
    resize(145, 21);
}

TCustomComboBox::~TCustomComboBox() = default;

int TCustomComboBox::ItemIndex() const {
    return combo_->currentIndex();
}

void TCustomComboBox::SetItemIndex(int index) {
    combo_->setCurrentIndex(index >= 0 && index < items_->Count() ? index : -1);
}

QString TCustomComboBox::Text() const {
    const int index = ItemIndex();
    return index >= 0 ? items_->Strings(index) : QString();
}

void TCustomComboBox::SetItemHeight(int height) {
    if (height <= 0 || height == ItemHeight()) return;
    delegate_->SetItemHeight(height);
    combo_->view()->reset();
    combo_->update();
}

void TCustomComboBox::SetStyle(TComboBoxStyle style) {
    style_ = style;
    combo_->update();
}

QComboBox* TCustomComboBox::Combo() const {
    return combo_;
}

void TCustomComboBox::HandleNeeded() {
    if (handleAllocated_) return;
    handleAllocated_ = true;
    CreateWnd();
}

void TCustomComboBox::RecreateWnd() {
    if (!handleAllocated_) return;
    const int index = ItemIndex();
    CreateWnd();
    if (ItemIndex() < 0) SetItemIndex(index);
}

void TCustomComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState) {
    Canvas().FillRect(rect);
    if (index < items_->Count())
        Canvas().TextOut(rect.Left + 2, rect.Top, platform::DisplayName(items_->Strings(index)));
}

void TCustomComboBox::FontChanged() {
    delegate_->SetLook(Font(), Color());
    combo_->setFont(Font().ToQFont());
    TWinControl::FontChanged();
}

void TCustomComboBox::ColorChanged() {
    delegate_->SetLook(Font(), Color());
    TWinControl::ColorChanged();
    combo_->update();
}

void TCustomComboBox::resizeEvent(QResizeEvent* event) {
    TWinControl::resizeEvent(event);
    combo_->setGeometry(rect());
}

void TCustomComboBox::showEvent(QShowEvent* event) {
    TWinControl::showEvent(event);
    HandleNeeded();
}
