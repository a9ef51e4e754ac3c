#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>
#include <memory>

#include "desktop/PlayerActions.h"

class TForm1;
class QTimer;

// The player on the session bus as the desktop's media controls expect it
// (bus name org.mpris.MediaPlayer2.brelmo, object /org/mpris/MediaPlayer2).
// Every method runs on the event loop what a click on the matching hot spot
// runs, and only where that click would act. The state the desktop sees is
// read from the form, the media device and the volume control, and looked
// at again after each method and a few times a second (a clip may end, or
// the volume change, without any input); each change is announced with
// PropertiesChanged.
//
// Without a session bus, or with the name taken, the player runs as before:
// one line in the log, nothing else.
class TMprisService : public QObject {
    Q_OBJECT

  public:
    static constexpr int kRefreshMs = 250;

    // Owned by the form; not on the bus until Start.
    explicit TMprisService(TForm1& form);
    ~TMprisService() override;

    // Connects to the session bus and claims the name; false when the player
    // stays off the bus.
    bool Start();
    // Starts once the skin's reveal has ended, or 'fallbackMs' after now if
    // the reveal never comes, so that start-up does not wait for the bus.
    void StartAfterReveal(int fallbackMs = 2000);
    bool Started() const { return started_; }

    // What the interfaces call.
    void Raise();
    void Quit();
    void Request(PlayerAction action);
    bool Can(PlayerAction action) const;
    QString PlaybackStatus() const;
    QVariantMap Metadata() const;
    double Volume() const;
    void SetVolume(double volume);
    qlonglong PositionUs() const;

    // Announces what changed since the last look.
    void Refresh();

  private:
    struct State;
    State Look() const;

    TForm1& form_;
    std::unique_ptr<State> announced_;
    QTimer* refreshTimer_;
    bool started_ = false;
    bool startRequested_ = false;
};
