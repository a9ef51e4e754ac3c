#include "toolkit/ListItems.h"

#include <algorithm>

namespace {

bool SortsBefore(const QString& a, const QString& b) {
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

}  // namespace

TListItems::TListItems(QObject* parent) : QAbstractListModel(parent) {}

int TListItems::AddObject(const QString& text, TObject* object, int kind) {
    int index = Count();
    if (sorted_ && updateCount_ > 0) {
        // Sorted once at EndUpdate: far cheaper than keeping order row by row.
        items_.push_back({text, object, kind});
        unsorted_ = true;
        return index;
    }
    if (sorted_) {
        const auto at = std::upper_bound(
            items_.begin(), items_.end(), text,
            [](const QString& value, const Item& item) { return SortsBefore(value, item.text); });
        index = static_cast<int>(at - items_.begin());
    }
    InsertItem(index, {text, object, kind});
    return index;
}

void TListItems::Insert(int index, const QString& text) {
    InsertItem(std::clamp(index, 0, Count()), {text, nullptr});
}

void TListItems::InsertItem(int index, Item item) {
    const bool notify = updateCount_ == 0;
    if (notify) beginInsertRows({}, index, index);
    items_.insert(items_.begin() + index, std::move(item));
    if (notify) endInsertRows();
}

void TListItems::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    const bool notify = updateCount_ == 0;
    if (notify) beginRemoveRows({}, index, index);
    items_.erase(items_.begin() + index);
    if (notify) endRemoveRows();
}

void TListItems::Clear() {
    if (items_.empty()) return;
    const bool notify = updateCount_ == 0;
    if (notify) beginResetModel();
    items_.clear();
    if (notify) endResetModel();
}

int TListItems::IndexOf(const QString& text) const {
    const auto it = std::find_if(items_.begin(), items_.end(),
                                 [&](const Item& item) { return item.text == text; });
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

QStringList TListItems::ToStringList() const {
    QStringList list;
    for (const Item& item : items_) list.append(item.text);
    return list;
}

void TListItems::SetSorted(bool sorted) {
    if (sorted == sorted_) return;
    sorted_ = sorted;
    if (!sorted_) return;
    const bool notify = updateCount_ == 0;
    if (notify) beginResetModel();
    SortRows();
    if (notify) endResetModel();
}

void TListItems::SortRows() {
    std::stable_sort(items_.begin(), items_.end(),
                     [](const Item& a, const Item& b) { return SortsBefore(a.text, b.text); });
    unsorted_ = false;
}

void TListItems::BeginUpdate() {
    if (updateCount_++ == 0) beginResetModel();
}

void TListItems::EndUpdate() {
    if (updateCount_ == 0 || --updateCount_ > 0) return;
    if (unsorted_) SortRows();
    endResetModel();
}

int TListItems::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

QVariant TListItems::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Count()) return {};
    if (role == Qt::DisplayRole) return items_[index.row()].text;
    return {};
}
