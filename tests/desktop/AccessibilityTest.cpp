#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QSlider>
#include <functional>

#include "art/SkinPainter.h"
#include "desktop/Accessibility.h"
#include "filectl/FileCtrl.h"
#include "skin/Label3D.h"
#include "skin/TransBtn.h"
#include "support/DesktopFixture.h"
#include "toolkit/Application.h"
#include "toolkit/Memo.h"
#include "toolkit/Panel.h"
#include "toolkit/TrackBar.h"

namespace {

struct NodeCase {
    const char* name;
    std::function<QObject*(TForm1&)> object;
    QAccessible::Role role;
    const char* accessibleName;
};

std::ostream& operator<<(std::ostream& os, const NodeCase& c) {
    return os << c.name;
}

class Accessible : public DesktopFixture {
  public:
    Accessible() : title_(Application->Title()) {
        Application->SetTitle(QStringLiteral("brelmo"));
        // The slider announced its value while the window was built, before the
        // player's interfaces were installed: its interface is made again.
        QSlider* slider = form->TrackBar1->findChild<QSlider*>();
        QAccessible::deleteAccessibleInterface(
            QAccessible::uniqueId(QAccessible::queryAccessibleInterface(slider)));
        InstallAccessibility(*form);
    }
    ~Accessible() override { Application->SetTitle(title_); }

    // Every object below 'node', depth first, as "role:name".
    static void Walk(QAccessibleInterface* node, QStringList& out) {
        out << QStringLiteral("%1:%2").arg(node->role()).arg(node->text(QAccessible::Name));
        for (int i = 0; i < node->childCount(); ++i) Walk(node->child(i), out);
    }

  private:
    QString title_;
};

class AccessibleNode : public Accessible, public ::testing::WithParamInterface<NodeCase> {};

TEST_P(AccessibleNode, HasItsRoleAndName) {
    const NodeCase& c = GetParam();
    QAccessibleInterface* node = QAccessible::queryAccessibleInterface(c.object(*form));
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->role(), c.role);
    EXPECT_EQ(node->text(QAccessible::Name), c.accessibleName);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, AccessibleNode,
    ::testing::Values(
        NodeCase{"Window", [](TForm1& f) { return &f; }, QAccessible::Window, "brelmo"},
        NodeCase{"Next", [](TForm1& f) { return f.bnext; }, QAccessible::Button, "Next"},
        NodeCase{"Exit", [](TForm1& f) { return f.bexit; }, QAccessible::Button, "Exit"},
        NodeCase{"HiddenAccept", [](TForm1& f) { return f.ok; }, QAccessible::Button, "Accept"},
        NodeCase{"FileList", [](TForm1& f) { return f.fl1->View(); }, QAccessible::List,
                 "Filelist Box"},
        NodeCase{"HelpText", [](TForm1& f) { return f.Memo1->findChild<QWidget*>(); },
                 QAccessible::EditableText, "Brelmo Playlist Player"},
        NodeCase{"SaveCaption", [](TForm1& f) { return f.lsave; }, QAccessible::StaticText,
                 "not saved"},
        NodeCase{"FolderCaption", [](TForm1& f) { return f.lb3; }, QAccessible::StaticText,
                 "Files selected"},
        NodeCase{"VideoPanel", [](TForm1& f) { return f.panel1; }, QAccessible::Animation, "Video"},
        NodeCase{"VolumeSlider", [](TForm1& f) { return f.TrackBar1->findChild<QSlider*>(); },
                 QAccessible::Slider, "Volume Control"}),
    [](const ::testing::TestParamInfo<NodeCase>& info) { return info.param.name; });

TEST_F(Accessible, TheTreeHoldsEveryShownHotSpotAndLabelByName) {
    QStringList tree;
    Walk(QAccessible::queryAccessibleInterface(form.get()), tree);
    for (TTransparentButton* button : form->findChildren<TTransparentButton*>()) {
        if (!button->Visible()) continue;
        EXPECT_TRUE(tree.contains(QStringLiteral("%1:%2")
                                      .arg(QAccessible::Button)
                                      .arg(PaintedWord(button->BoundsRect()))))
            << button->Name().toStdString();
    }
    EXPECT_TRUE(tree.contains(QStringLiteral("%1:not loaded").arg(QAccessible::StaticText)));
    EXPECT_TRUE(tree.contains(QStringLiteral("%1:Volume Control").arg(QAccessible::Slider)));
}

TEST_F(Accessible, TheVolumeReadsInPerCentAndMoreIsLouder) {
    QAccessibleInterface* slider =
        QAccessible::queryAccessibleInterface(form->TrackBar1->findChild<QSlider*>());
    form->TrackBar1->SetPosition(51);
    EXPECT_EQ(slider->valueInterface()->currentValue().toInt(), 80);
    EXPECT_EQ(slider->text(QAccessible::Value), "80 %");
    slider->valueInterface()->setCurrentValue(100);
    EXPECT_EQ(form->TrackBar1->Position(), 0) << "the loudest end is at the top";
}

TEST_F(Accessible, ACaptionChangeIsWhatIsRead) {
    form->lsave->SetCaption(QStringLiteral("saved"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form->lsave)->text(QAccessible::Name), "saved");
}

TEST_F(Accessible, PressingAHotSpotClicksItOnlyWhereAClickWouldReachIt) {
    Enter(View::Playback);
    QAccessibleActionInterface* help =
        QAccessible::queryAccessibleInterface(form->bhelp)->actionInterface();
    ASSERT_NE(help, nullptr);
    help->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(presses.join(' '), "bhelp");
    EXPECT_TRUE(form->Memo1->Visible());
    form->bnext->SetEnabled(false);
    QAccessibleInterface* next = QAccessible::queryAccessibleInterface(form->bnext);
    EXPECT_TRUE(next->state().disabled);
    EXPECT_TRUE(next->actionInterface()->actionNames().isEmpty());
    next->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(presses.join(' '), "bhelp");
}

}  // namespace
