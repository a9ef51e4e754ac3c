#include "app/AfterReveal.h"

#include <QPointer>
#include <QTimer>
#include <memory>
#include <utility>

#include "skin/Transit.h"
#include "toolkit/Application.h"

void AfterReveal(TTransitionEffect& skin, QObject* context, std::function<void()> then,
                 int fallbackMs) {
    // Shared by the notice and the fallback: whichever comes first runs it.
    auto once = std::make_shared<std::function<void()>>(std::move(then));
    const auto runOnce = [once] {
        if (const std::function<void()> action = std::exchange(*once, nullptr)) Guarded(action);
    };
    skin.OnNotify = [revealed = skin.OnNotify, context = QPointer<QObject>(context),
                     runOnce](TObject* sender) {
        if (revealed) revealed(sender);
        if (context) QTimer::singleShot(0, context, runOnce);
    };
    QTimer::singleShot(fallbackMs, context, runOnce);
}
