#include "desktop/Accessibility.h"

#include <QAccessibleWidget>
#include <QSlider>

#include "app/Main.h"
#include "desktop/PlayerActions.h"
#include "media/MPlayer.h"
#include "skin/TransBtn.h"
#include "toolkit/Application.h"
#include "toolkit/Label.h"
#include "toolkit/Panel.h"
#include "toolkit/TrackBar.h"

namespace {

class HotSpotAccessible : public QAccessibleWidget {
  public:
    explicit HotSpotAccessible(TTransparentButton* button)
        : QAccessibleWidget(button, QAccessible::Button), button_(button) {}

    QString text(QAccessible::Text type) const override {
        if (type == QAccessible::Name) return button_->Hint();
        return QAccessibleWidget::text(type);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction()) Press(*button_);
    }

  private:
    TTransparentButton* button_;
};

class LabelAccessible : public QAccessibleWidget {
  public:
    explicit LabelAccessible(TLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText), label_(label) {}

    QString text(QAccessible::Text type) const override {
        if (type == QAccessible::Name) return label_->Caption();
        return QAccessibleWidget::text(type);
    }

  private:
    TLabel* label_;
};

class WindowAccessible : public QAccessibleWidget {
  public:
    explicit WindowAccessible(QWidget* form) : QAccessibleWidget(form, QAccessible::Window) {}

    QString text(QAccessible::Text type) const override {
        if (type == QAccessible::Name && Application) return Application->Title();
        return QAccessibleWidget::text(type);
    }
};

bool IsVideoPanel(QObject* object) {
    auto* form = qobject_cast<TForm1*>(static_cast<QWidget*>(object)->window());
    return form && form->mp->Display() == object;
}

QAccessibleInterface* PlayerInterface(const QString& className, QObject* object) {
    if (className == QLatin1String("TTransparentButton"))
        return new HotSpotAccessible(static_cast<TTransparentButton*>(object));
    if (className == QLatin1String("TLabel"))
        return new LabelAccessible(static_cast<TLabel*>(object));
    if (className == QLatin1String("TForm1"))
        return new WindowAccessible(static_cast<QWidget*>(object));
    if (className == QLatin1String("TPanel") && IsVideoPanel(object))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Animation);
    return nullptr;
}

}  // namespace

void InstallAccessibility(TForm1& form) {
    static const bool installed = [] {
        QAccessible::installFactory(PlayerInterface);
        return true;
    }();
    (void)installed;
    const QString volume = form.TrackBar1->Hint();
    form.TrackBar1->setAccessibleName(volume);
    if (auto* slider = form.TrackBar1->findChild<QSlider*>()) slider->setAccessibleName(volume);
    form.panel1->setAccessibleName(QStringLiteral("Video"));
    form.panel1->setAccessibleDescription(form.panel1->Hint());
}
