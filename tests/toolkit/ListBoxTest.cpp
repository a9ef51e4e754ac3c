#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QTest>

#include "toolkit/ComboBox.h"
#include "toolkit/ListBox.h"

namespace {

TEST(ListItemsTest, SortedListsInsertInOrderAndSayWhere) {
    TListItems items;
    items.SetSorted(true);
    const struct {
        const char* text;
        int index;
    } adds[] = {{"b.wav", 0}, {"A.wav", 0}, {"c.wav", 2}, {"B.wav", 1}, {"a.wav", 1}};
    for (const auto& add : adds)
        EXPECT_EQ(items.Add(QString::fromUtf8(add.text)), add.index) << add.text;
    EXPECT_EQ(items.ToStringList(), (QStringList{"A.wav", "a.wav", "B.wav", "b.wav", "c.wav"}));
    EXPECT_EQ(items.IndexOf(QStringLiteral("b.wav")), 3);
    EXPECT_EQ(items.IndexOf(QStringLiteral("B.WAV")), -1);

    TListItems plain;
    plain.Add(QStringLiteral("z"));
    plain.Add(QStringLiteral("a"));
    plain.Insert(1, QStringLiteral("m"));
    plain.Delete(0);
    plain.Delete(7);
    EXPECT_EQ(plain.ToStringList(), (QStringList{"m", "a"}));
}

TEST(ListItemsTest, ASortedListFilledDuringAnUpdateEndsUpSorted) {
    TListItems items;
    items.SetSorted(true);
    items.BeginUpdate();
    for (const char* text : {"d", "B", "a", "c", "b"}) items.Add(QString::fromUtf8(text));
    items.EndUpdate();
    EXPECT_EQ(items.ToStringList(), (QStringList{"a", "B", "b", "c", "d"}));
    EXPECT_EQ(items.Add(QStringLiteral("bb")), 3);
}

class ListBoxTest : public testing::Test {
  protected:
    void SetUp() override {
        host_.resize(300, 300);
        list_->SetBounds(0, 0, 200, 200);
        for (const char* row : {"one", "two", "three"}) list_->Items().Add(QString::fromUtf8(row));
        list_->OnClick = [this](TObject*) {
            events_ << QStringLiteral("click %1").arg(list_->ItemIndex());
        };
        list_->OnDblClick = [this](TObject*) {
            events_ << QStringLiteral("dbl %1").arg(list_->ItemIndex());
        };
        host_.show();
    }

    QPoint Row(int row) { return list_->View()->visualRect(list_->Items().index(row)).center(); }

    TWinControl host_{nullptr};
    TListBox* list_ = new TListBox(&host_);
    QStringList events_;
};

TEST_F(ListBoxTest, ItemIndexIsMinusOneWithoutASelection) {
    EXPECT_EQ(list_->ItemIndex(), -1);
    list_->SetItemIndex(2);
    EXPECT_EQ(list_->ItemIndex(), 2);
    list_->Items().Delete(2);
    EXPECT_EQ(list_->ItemIndex(), -1);
    list_->SetItemIndex(1);
    list_->Items().Clear();
    EXPECT_EQ(list_->ItemIndex(), -1);
    list_->SetItemIndex(5);
    EXPECT_EQ(list_->ItemIndex(), -1);
    EXPECT_TRUE(events_.isEmpty());  // selection from code fires nothing
}

TEST_F(ListBoxTest, EverySelectionChangeByMouseOrKeyClicks) {
    QTest::mouseClick(list_->View()->viewport(), Qt::LeftButton, {}, Row(1));
    QTest::keyClick(list_->View(), Qt::Key_Down);
    QTest::keyClick(list_->View(), Qt::Key_Down);  // already on the last row
    QTest::keyClick(list_->View(), Qt::Key_Up);
    QTest::mouseClick(list_->View()->viewport(), Qt::LeftButton, {},
                      QPoint(5, 190));  // below the rows
    EXPECT_EQ(events_, (QStringList{"click 1", "click 2", "click 1"}));
    events_.clear();
    QTest::mousePress(list_->View()->viewport(), Qt::LeftButton, {}, Row(1));
    QMouseEvent drag(QEvent::MouseMove, Row(2), list_->View()->viewport()->mapToGlobal(Row(2)),
                     Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(list_->View()->viewport(), &drag);
    QTest::mouseRelease(list_->View()->viewport(), Qt::LeftButton, {}, Row(2));
    EXPECT_EQ(events_, (QStringList{"click 1", "click 2"}));
    events_.clear();
    QTest::mouseDClick(list_->View()->viewport(), Qt::LeftButton, {}, Row(0));
    ASSERT_FALSE(events_.isEmpty());
    EXPECT_EQ(events_.back(), QStringLiteral("dbl 0"));
}

TEST_F(ListBoxTest, RowsHaveTheItemHeight) {
    list_->SetItemHeight(20);
    EXPECT_EQ(list_->ItemRect(1).Height(), 20);
    EXPECT_EQ(list_->ItemRect(1).Top - list_->ItemRect(0).Top, 20);
    EXPECT_EQ(list_->ItemRect(3), TRect{});
}

TEST(ComboBoxTest, StaysUnselectedUntilPickedAndClicksOnlyForTheUser) {
    TWinControl host(nullptr);
    auto* combo = new TCustomComboBox(&host);
    int clicks = 0;
    combo->OnClick = [&](TObject*) { ++clicks; };
    combo->Items().Add(QStringLiteral("a"));
    combo->Items().Add(QStringLiteral("b"));
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), QString());
    combo->SetItemIndex(1);
    EXPECT_EQ(combo->Text(), QStringLiteral("b"));
    EXPECT_EQ(clicks, 0);
    emit combo->Combo()->activated(0);
    EXPECT_EQ(clicks, 1);
    combo->Items().Clear();
    EXPECT_EQ(combo->ItemIndex(), -1);
}

}  // namespace
