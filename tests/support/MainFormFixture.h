#pragma once

#include <gtest/gtest.h>

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "app/Main.h"
#include "support/EnvironmentScope.h"
#include "support/EventLoop.h"
#include "support/FakeMci.h"
#include "support/FakeSound.h"

// The main window on fake media and sound services, with the player state
// back at its start and a private folder for the saved playlist.
class MainFormFixture : public ::testing::Test {
  public:
    MainFormFixture();

    // Click sounds played so far.
    int Clicks() const;
    // Slots 1.. hold 'paths'; PlaylistCount is their number.
    void SetPlaylist(const QStringList& paths);
    // The device commands sent so far, as "STOP CLOSE+N OPEN PUT PLAY+N"
    // (+N: the command asked for a completion notice); queries left out.
    QString Commands() const;
    // The file the device holds open now, or empty.
    QString OpenFile() const;

    QTemporaryDir dataHome;
    EnvironmentScope dataHomeVariable{"XDG_DATA_HOME", dataHome.path().toUtf8()};
    FakeSoundScope sound;
    FakeMciScope mci;
    std::unique_ptr<TForm1> form;
};
