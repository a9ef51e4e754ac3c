#pragma once

#include <QAbstractListModel>
#include <QString>
#include <vector>

#include "toolkit/Types.h"

// The rows of a list or combo box: a text, an attached object (not owned;
// the owner-drawn file controls attach their glyphs) and a kind per row, a
// number the owner gives the row to tell its rows apart (0 unless given;
// the folder list marks its open, current and closed folders). A sorted
// list keeps its rows in order as they are added, letters compared without
// case first, and Add returns where the row went.
//
// Between BeginUpdate and EndUpdate the views are not told of each change,
// only once at the end, which keeps filling a large list cheap; a sorted list
// then takes new rows at the end and sorts them in at EndUpdate, so Add
// returns only a provisional index meanwhile.
class TListItems : public QAbstractListModel {
    Q_OBJECT

  public:
    explicit TListItems(QObject* parent = nullptr);

    int Count() const { return static_cast<int>(items_.size()); }
    const QString& Strings(int index) const { return items_.at(index).text; }
    const QString& operator[](int index) const { return Strings(index); }
    TObject* Objects(int index) const { return items_.at(index).object; }
    int Kinds(int index) const { return items_.at(index).kind; }

    int Add(const QString& text) { return AddObject(text, nullptr); }
    int AddObject(const QString& text, TObject* object, int kind = 0);
    void Insert(int index, const QString& text);
    void Delete(int index);
    void Clear();
    // The first row whose text equals 'text' exactly, or -1.
    int IndexOf(const QString& text) const;
    QStringList ToStringList() const;

    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);

    void BeginUpdate();
    void EndUpdate();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    struct Item {
        QString text;
        TObject* object = nullptr;
        int kind = 0;
    };
    void InsertItem(int index, Item item);
    void SortRows();

    std::vector<Item> items_;
    bool sorted_ = false;
    bool unsorted_ = false;
    int updateCount_ = 0;
};
