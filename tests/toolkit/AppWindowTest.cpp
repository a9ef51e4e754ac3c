#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <memory>

#include "platform/instance/LinuxInstance.h"
#include "toolkit/AppWindow.h"
#include "toolkit/Application.h"

namespace {

class AppWindowTest : public testing::Test {
  protected:
    void SetUp() override {
        savedTitle_ = Application->Title();
        Application->SetTitle(QStringLiteral("Brelmo"));
        auto instance = std::make_unique<platform::LinuxInstance>(temp_.path().toLocal8Bit());
        instance_ = instance.get();
        saved_ = platform::SetInstance(std::move(instance));
    }
    void TearDown() override {
        Application->OnTitleChange = nullptr;
        platform::SetInstance(std::move(saved_));
        Application->SetTitle(savedTitle_);
    }

    QTemporaryDir temp_;
    platform::LinuxInstance* instance_ = nullptr;
    std::unique_ptr<platform::IInstance> saved_;
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
