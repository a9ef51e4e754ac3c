#include "toolkit/ListBox.h"

#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>

#include "platform/files/NativeNames.h"
#include "toolkit/Application.h"

// The Qt list inside: it reports user input back to its list box.
class TCustomListBox::InnerView : public QListView {
  public:
    explicit InnerView(TCustomListBox* owner) : QListView(owner), owner_(owner) {
        setSelectionMode(QAbstractItemView::SingleSelection);
        setUniformItemSizes(true);
        setFrameShape(QFrame::Box);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
    }

  protected:
    void mousePressEvent(QMouseEvent* event) override {
        pressedIndex_ = owner_->ItemIndex();
        // A press below the last row keeps the selection as it is.
        if (!indexAt(event->position().toPoint()).isValid()) return;
        QListView::mousePressEvent(event);
        pressedIndex_ = owner_->ItemIndex();
        if (event->button() == Qt::LeftButton) Guarded([this] { owner_->Click(); });
    }

    // Dragging with the button down moves the selection too.
    void mouseReleaseEvent(QMouseEvent* event) override {
        QListView::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && owner_->ItemIndex() != pressedIndex_)
            Guarded([this] { owner_->Click(); });
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override {
        QListView::mouseDoubleClickEvent(event);
        if (event->button() == Qt::LeftButton) Guarded([this] { owner_->DblClick(); });
    }

    void keyPressEvent(QKeyEvent* event) override {
        const int before = owner_->ItemIndex();
        QChar key = CharacterOf(event);
        if (!key.isNull()) {
            Guarded([&] { owner_->KeyPress(key); });
            // Enter is the list's own key; a handler may have cleared any key.
            if (key.isNull() || key == QChar(13)) return;
        }
        QListView::keyPressEvent(event);
        if (owner_->ItemIndex() != before) Guarded([this] { owner_->Click(); });
    }

  private:
    static QChar CharacterOf(const QKeyEvent* event) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return QChar(13);
        const QString text = event->text();
        return text.size() == 1 && text[0].isPrint() ? text[0] : QChar();
    }

    TCustomListBox* owner_;
    int pressedIndex_ = -1;
};

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner),
      items_(new TListItems(this)),
      delegate_(new TOwnerDrawDelegate(this,
                                       [this](int index, const TRect& rect, TOwnerDrawState state) {
                                           DrawItem(index, rect, state);
                                       })),
      view_(new InnerView(this)) {
    // Deleting the selected row leaves no selection (Qt would select a
    // neighbour): look before the view reacts, clear after it has.
    connect(items_, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex&, int first, int last) {
                const int selected = ItemIndex();
                selectionRemoved_ = selected >= first && selected <= last;
            });
    view_->setModel(items_);
    view_->setItemDelegate(delegate_);
    connect(items_, &QAbstractItemModel::rowsRemoved, this, [this] {
        if (selectionRemoved_) view_->selectionModel()->clear();
        selectionRemoved_ = false;
    });
    delegate_->SetLook(Font(), Color());
    SetColor(clWindow);
    resize(121, 97);
}

TCustomListBox::~TCustomListBox() = default;

int TCustomListBox::ItemIndex() const {
    const QModelIndexList selected = view_->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.front().row();
}

void TCustomListBox::SetItemIndex(int index) {
    QItemSelectionModel* selection = view_->selectionModel();
    if (index < 0 || index >= items_->Count()) {
        selection->clear();
        return;
    }
    const QModelIndex row = items_->index(index);
    selection->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect);
    view_->scrollTo(row);
}

void TCustomListBox::SetItemHeight(int height) {
    if (height <= 0 || height == ItemHeight()) return;
    delegate_->SetItemHeight(height);
    view_->reset();
    Invalidate();
}

TRect TCustomListBox::ItemRect(int index) const {
    if (index < 0 || index >= items_->Count()) return {};
    const QRect r = view_->visualRect(items_->index(index));
    return TRect::FromQRect(r.translated(view_->viewport()->mapTo(this, QPoint(0, 0))));
}

QAbstractItemView* TCustomListBox::View() const {
    return view_;
}

void TCustomListBox::HandleNeeded() {
    if (handleAllocated_) return;
    handleAllocated_ = true;
    CreateWnd();
}

void TCustomListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState) {
    Canvas().FillRect(rect);
    if (index < items_->Count())
        Canvas().TextOut(rect.Left + 2, rect.Top, platform::DisplayName(items_->Strings(index)));
}

void TCustomListBox::KeyPress(QChar& key) {
    if (OnKeyPress) OnKeyPress(this, key);
}

void TCustomListBox::FontChanged() {
    delegate_->SetLook(Font(), Color());
    view_->setFont(Font().ToQFont());
    TWinControl::FontChanged();
}

void TCustomListBox::ColorChanged() {
    delegate_->SetLook(Font(), Color());
    TWinControl::ColorChanged();
    view_->viewport()->update();
}

void TCustomListBox::resizeEvent(QResizeEvent* event) {
    TWinControl::resizeEvent(event);
    view_->setGeometry(rect());
}

void TCustomListBox::showEvent(QShowEvent* event) {
    TWinControl::showEvent(event);
    HandleNeeded();
}
