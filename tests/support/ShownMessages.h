#pragma once

#include <QStringList>
#include <functional>
#include <utility>

#include "toolkit/Application.h"

// The messages the application shows, recorded in order instead of shown
// while the object lives; the previous recorder comes back afterwards.
class ShownMessages : public QStringList {
  public:
    ShownMessages()
        : previous_(std::exchange(Application->OnShowMessage,
                                  [this](const QString& message) { append(message); })) {}
    ~ShownMessages() { Application->OnShowMessage = std::move(previous_); }
    ShownMessages(const ShownMessages&) = delete;
    ShownMessages& operator=(const ShownMessages&) = delete;

  private:
    std::function<void(const QString& message)> previous_;
};
