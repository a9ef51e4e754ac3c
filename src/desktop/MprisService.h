#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <memory>

#include "desktop/PlayerActions.h"

class TForm1;
class TStrictDBusObject;
class QTimer;

// The player on the session bus as the desktop's media controls expect it
// (bus name org.mpris.MediaPlayer2.brelmo, object /org/mpris/MediaPlayer2).
// Every method runs on the event loop what a click on the matching hot spot
// runs, and only where that click would act. The state the desktop sees is
// read from the form, the media device and the volume control, and looked
// at again after each method and a few times a second (a clip may end, or
// the volume change, without any input); each change is announced with
// PropertiesChanged, and a jump of the position within the same file (Re-do)
// with Seeked.
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
    // Play and Pause need a current file besides Stop/continue's hot spot.
    bool CanPlayOrPause() const;
    // Hands a local file to OnOpen; any other URI is answered NotSupported.
    void OpenUri(const QString& uri);
    QString PlaybackStatus() const;
    QVariantMap Metadata() const;
    double Volume() const;
    void SetVolume(double volume);
    qlonglong PositionUs() const;

    // Announces what changed since the last look.
    void Refresh();

    // Where files the desktop asks to open go (the drop route's Open, from
    // the event loop).
    std::function<void(const QList<QByteArray>& nativePaths)> OnOpen;

  private:
    struct State;
    State Look() const;
    bool Jumped(const State& was, const State& now) const;

    TForm1& form_;
    std::unique_ptr<TStrictDBusObject> object_;
    QElapsedTimer clock_;
    std::unique_ptr<State> announced_;
    QTimer* refreshTimer_;
    bool started_ = false;
    bool startRequested_ = false;
};
