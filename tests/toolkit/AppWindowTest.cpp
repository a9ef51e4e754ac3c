#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <memory>

#include "platform/instance/LinuxInstance.h"
#include "support/ServiceScope.h"
#include "toolkit/AppWindow.h"
#include "toolkit/Application.h"

namespace {

class AppWindowTest : public testing::Test {
  protected:
    void SetUp() override {
        savedTitle_ = Application->Title();
        Application->SetTitle(QStringLiteral("Brelmo"));
    }
    void TearDown() override {
        Application->OnTitleChange = nullptr;
        Application->SetTitle(savedTitle_);
    }

    QTemporaryDir temp_;
    ServiceScope<platform::SetInstance, platform::LinuxInstance> instance_{
        std::make_unique<platform::LinuxInstance>(temp_.path().toLocal8Bit())};
    QString savedTitle_;
};

TEST_F(AppWindowTest, TheWindowTextAndTheTitleFollowEachOther) {
    RegisterApplicationWindow(*Application);
    const platform::WindowId own = instance_->FindWindow(QStringLiteral("Brelmo"));
    ASSERT_NE(own, 0) << "registered under the title it had";

    Application->SetTitle(QStringLiteral("brelmo"));
    EXPECT_EQ(instance_->FindWindow(QStringLiteral("brelmo")), own);
    EXPECT_EQ(instance_->FindWindow(QStringLiteral("Brelmo")), 0);

    instance_->SetWindowText(own, QString());
    EXPECT_EQ(Application->Title(), QString()) << "the title is the window's text";
}

}  // namespace
