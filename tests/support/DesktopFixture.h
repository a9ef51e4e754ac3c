#pragma once

#include <QStringList>

#include "support/MainFormFixture.h"

// The main window in one of its views, with every hot spot's click handler
// (and the video panel's) wrapped so that the test sees which ones ran.
class DesktopFixture : public MainFormFixture {
  public:
    enum class View { Playback, Playing, Paused, Setup, Help };

    DesktopFixture();
    // Puts the window in 'view' through the handlers a user would click,
    // then forgets those presses.
    void Enter(View view);

    QStringList presses;
};

const char* ViewName(DesktopFixture::View view);
