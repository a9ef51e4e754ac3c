#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QSlider>
#include <functional>

#include "desktop/Accessibility.h"
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

std::ostream& operator<<(std::ostream& os, const NodeCase& c) { return os << c.name; }

class Accessible : public DesktopFixture {
  public:
    Accessible() : title_(Application->Title()) {
        Application->SetTitle(QStringLiteral("brelmo"));
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
        NodeCase{"Next", [](TForm1& f) { return f.bnext; }, QAccessible::Button, "Play the next file in the list"},
        NodeCase{"Exit", [](TForm1& f) { return f.bexit; }, QAccessible::Button, "Exit the Brelmo"},
        NodeCase{"HiddenAccept", [](TForm1& f) { return f.ok; }, QAccessible::Button, "Accept selections and exit."},
        NodeCase{"SaveCaption", [](TForm1& f) { return f.lsave; }, QAccessible::StaticText, "not saved"},
        NodeCase{"FolderCaption", [](TForm1& f) { return f.lb3; }, QAccessible::StaticText, "Files selected"},
        NodeCase{"VideoPanel", [](TForm1& f) { return f.panel1; }, QAccessible::Animation, "Video"},
        NodeCase{"VolumeSlider", [](TForm1& f) { return f.TrackBar1->findChild<QSlider*>(); },
                 QAccessible::Slider, "Volume Control"}),
    [](const ::testing::TestParamInfo<NodeCase>& info) { return info.param.name; });

TEST_F(Accessible, TheTreeHoldsEveryShownHotSpotAndLabelByName) {
    QStringList tree;
    Walk(QAccessible::queryAccessibleInterface(form.get()), tree);
    for (TTransparentButton* button : form->findChildren<TTransparentButton*>()) {
        if (!button->Visible()) continue;
        EXPECT_TRUE(
            tree.contains(QStringLiteral("%1:%2").arg(QAccessible::Button).arg(button->Hint())))
            << button->Name().toStdString();
    }
    EXPECT_TRUE(tree.contains(QStringLiteral("%1:not loaded").arg(QAccessible::StaticText)));
    EXPECT_TRUE(tree.contains(QStringLiteral("%1:Volume Control").arg(QAccessible::Slider)));
}

TEST_F(Accessible, ACaptionChangeIsWhatIsRead) {
    form->lsave->SetCaption(QStringLiteral("saved"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form->lsave)->text(QAccessible::Name), "saved");
}

TEST_F(Accessible, PressingAHotSpotClicksItOnlyWhereAClickWouldReachIt) {
    Enter(View::Playback);
    QAccessibleActionInterface* help = QAccessible::queryAccessibleInterface(form->bhelp)->actionInterface();
    ASSERT_NE(help, nullptr);
    help->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(presses.join(' '), "bhelp");
    EXPECT_TRUE(form->Memo1->Visible());
    form->bnext->SetEnabled(false);
    QAccessible::queryAccessibleInterface(form->bnext)->actionInterface()->doAction(
        QAccessibleActionInterface::pressAction());
    EXPECT_EQ(presses.join(' '), "bhelp");
}

}  // namespace
