#include "desktop/Accessibility.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QSlider>
#include <cmath>

#include "app/Main.h"
#include "art/SkinPainter.h"
#include "desktop/PlayerActions.h"
#include "filectl/FileCtrl.h"
#include "media/MPlayer.h"
#include "skin/Label3D.h"
#include "skin/TransBtn.h"
#include "toolkit/Application.h"
#include "toolkit/Label.h"
#include "toolkit/Memo.h"
#include "toolkit/Panel.h"
#include "toolkit/TrackBar.h"

namespace {

// A hot spot is read by the word painted on it (what a user sees and says)
// and described by its hint; it is disabled or hidden when a click would not
// reach it, and then offers no action.
class HotSpotAccessible : public QAccessibleWidget {
  public:
    explicit HotSpotAccessible(TTransparentButton* button)
        : QAccessibleWidget(button, QAccessible::Button), button_(button) {}

    QString text(QAccessible::Text type) const override {
        if (type == QAccessible::Name) {
            const QString word = PaintedWord(button_->BoundsRect());
            return word.isEmpty() ? button_->Hint() : word;
        }
        if (type == QAccessible::Description) return button_->Hint();
        return QAccessibleWidget::text(type);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.disabled = !button_->Enabled();
        state.invisible = state.invisible || !button_->Visible();
        return state;
    }
    QStringList actionNames() const override {
        return IsClickable(*button_) ? QStringList{pressAction()} : QStringList{};
    }
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

// The volume slider is drawn with the loudest end at the top, where its
// position is 0; it is read as the volume in per cent, and a larger value
// is louder. A value set from outside moves the thumb as the user would, so
// the volume control hears it as a user's move.
class VolumeAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit VolumeAccessible(QSlider* slider)
        : QAccessibleWidget(slider, QAccessible::Slider), slider_(slider) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text type) const override {
        if (type == QAccessible::Value) return QStringLiteral("%1 %").arg(Percent());
        return QAccessibleWidget::text(type);
    }
    QVariant currentValue() const override { return Percent(); }
    void setCurrentValue(const QVariant& value) override {
        const double percent = std::clamp(value.toDouble(), 0.0, 100.0);
        slider_->setValue(slider_->maximum() - int(std::lround(percent * Span() / 100)));
    }
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

  private:
    int Span() const { return std::max(1, slider_->maximum() - slider_->minimum()); }
    int Percent() const {
        return int(std::lround((slider_->maximum() - slider_->value()) * 100.0 / Span()));
    }

    QSlider* slider_;
};

TForm1* FormOf(QObject* object) {
    return qobject_cast<TForm1*>(static_cast<QWidget*>(object)->window());
}

bool IsVideoPanel(QObject* object) {
    const TForm1* form = FormOf(object);
    return form && form->mp->Display() == object;
}

bool IsVolumeSlider(QObject* object) {
    const TForm1* form = FormOf(object);
    return form && object->parent() == form->TrackBar1;
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
    if (className == QLatin1String("QSlider") && IsVolumeSlider(object))
        return new VolumeAccessible(static_cast<QSlider*>(object));
    return nullptr;
}

// A windowed control and the Qt widgets inside it (which take the focus)
// are read by one name.
void Name(QWidget* control, const QString& name) {
    control->setAccessibleName(name);
    for (QWidget* inner : control->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        inner->setAccessibleName(name);
}

// The setup lists by the captions above them, the folder list by the word
// the help text uses for it, the filter box by its filter's name and the
// help text by its heading.
void NameTheControls(TForm1& form) {
    Name(form.fl1, form.lb2->Caption());
    Name(form.lb1, form.lb3->Caption());
    Name(form.dc1, form.Label3D3->Caption());
    Name(form.dl1, QStringLiteral("Folder"));
    Name(form.fc1, form.fc1->Filter().section(QLatin1Char('|'), 0, 0));
    Name(form.Memo1, form.Memo1->Lines().value(0));
    Name(form.TrackBar1, form.TrackBar1->Hint());
    form.panel1->setAccessibleName(QStringLiteral("Video"));
    form.panel1->setAccessibleDescription(form.panel1->Hint());
}

}  // namespace

void UsePlayerAccessibleInterfaces() {
    static const bool installed = [] {
        QAccessible::installFactory(PlayerInterface);
        return true;
    }();
    (void)installed;
}

void InstallAccessibility(TForm1& form) {
    UsePlayerAccessibleInterfaces();
    NameTheControls(form);
}
