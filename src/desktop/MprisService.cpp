#include "desktop/MprisService.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QLoggingCategory>
#include <QTimer>
#include <QUrl>
#include <cmath>

#include "app/AfterReveal.h"
#include "app/Just1_32.h"
#include "app/Main.h"
#include "app/PlayerState.h"
#include "desktop/CommandQueue.h"
#include "desktop/MprisAdaptors.h"
#include "desktop/StrictDBusObject.h"
#include "media/MPlayer.h"
#include "media/Volumes.h"
#include "platform/files/FileSystem.h"
#include "skin/TransBtn.h"
#include "skin/Transit.h"
#include "toolkit/Application.h"

Q_LOGGING_CATEGORY(lcMpris, "brelmo.desktop.mpris", QtInfoMsg)

namespace {

const QString kBusName = QStringLiteral("org.mpris.MediaPlayer2.brelmo");
const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kNoTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");

QString FileUri(const QString& drivePath) {
    const QByteArray native = platform::FileSystem().NativePath(drivePath);
    return QString::fromLatin1("file://" + native.toPercentEncoding("/"));
}

}  // namespace

// What the desktop was last told.
struct TMprisService::State {
    QString status;
    QString fileName;
    int index = 0;
    qlonglong lengthUs = 0;
    bool canNext = false;
    bool canBack = false;
    bool canPlayPause = false;
    double volume = 0;
    qlonglong positionUs = 0;
    qint64 atMs = 0;
};

TMprisService::TMprisService(TForm1& form)
    : QObject(&form),
      form_(form),
      announced_(std::make_unique<State>()),
      refreshTimer_(new QTimer(this)) {
    object_ = std::make_unique<TStrictDBusObject>(
        QList<QDBusAbstractAdaptor*>{new TMprisRootAdaptor(*this), new TMprisPlayerAdaptor(*this)});
    clock_.start();
    refreshTimer_->setInterval(kRefreshMs);
    connect(refreshTimer_, &QTimer::timeout, this, &TMprisService::Refresh);
    connect(&TCommandQueue::Of(form_), &TCommandQueue::Ran, this, &TMprisService::Refresh);
}

TMprisService::~TMprisService() {
    if (!started_) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(kObjectPath);
    bus.unregisterService(kBusName);
}

bool TMprisService::Start() {
    if (started_) return true;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        qCInfo(lcMpris) << "no session bus, so no desktop media controls:"
                        << bus.lastError().message();
        return false;
    }
    if (!bus.registerVirtualObject(kObjectPath, object_.get())) {
        qCInfo(lcMpris) << "desktop media controls off: the object path is taken";
        return false;
    }
    if (!bus.registerService(kBusName)) {
        bus.unregisterObject(kObjectPath);
        qCInfo(lcMpris) << "desktop media controls off:" << kBusName << "is taken";
        return false;
    }
    started_ = true;
    *announced_ = Look();
    refreshTimer_->start();
    return true;
}

void TMprisService::StartAfterReveal(int fallbackMs) {
    if (startRequested_) return;
    startRequested_ = true;
    AfterReveal(
        *form_.image1, this, [this] { Start(); }, fallbackMs);
}

void TMprisService::Raise() {
    QTimer::singleShot(0, this, [] {
        Just1_32::BringForward(platform::Instance().FindWindow(Application->Title()));
    });
}

// Quit is Exit's hot spot like any other input: where Exit could not be clicked
// (the setup view), the desktop cannot quit the player either.
void TMprisService::Quit() {
    Request(PlayerAction::Exit);
}

// A queued command: the handler runs from the event loop, as a click's does, after the
// bus has had its reply, and an error it raises is shown as a click's error is.
void TMprisService::Request(PlayerAction action) {
    TCommandQueue::Of(form_).Request(action);
}

bool TMprisService::Can(PlayerAction action) const {
    return IsClickable(ControlOf(form_, action));
}

bool TMprisService::CanPlayOrPause() const {
    return !form_.mp->FileName().isEmpty() && Can(PlayerAction::StopContinue);
}

void TMprisService::OpenUri(const QString& uri) {
    const QUrl url(uri);
    if (!url.isLocalFile()) {
        object_->Fail(QDBusError::NotSupported, QStringLiteral("Only local files can be opened"));
        return;
    }
    const QByteArray path =
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    if (OnOpen) OnOpen({path});
}

QString TMprisService::PlaybackStatus() const {
    TMediaPlayer& device = *form_.mp;
    const unsigned mode = device.Mode();
    if (mode == platform::MCI_MODE_PLAY) return QStringLiteral("Playing");
    const bool paused = mode == platform::MCI_MODE_PAUSE ||
                        (mode == platform::MCI_MODE_STOP && device.Position() < device.Length());
    return paused ? QStringLiteral("Paused") : QStringLiteral("Stopped");
}

QVariantMap TMprisService::Metadata() const {
    const QString& path = form_.mp->FileName();
    if (path.isEmpty())
        return {{QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(kNoTrack))}};
    const QString trackId = QStringLiteral("/org/brelmo/Brelmo/Track/%1").arg(PlaylistIndex);
    QVariantMap metadata{
        {QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(trackId))},
        {QStringLiteral("xesam:title"), path.mid(path.lastIndexOf(QLatin1Char('\\')) + 1)},
        {QStringLiteral("xesam:url"), FileUri(path)},
    };
    const qlonglong lengthUs = qlonglong(form_.mp->Length()) * 1000;
    if (lengthUs > 0) metadata.insert(QStringLiteral("mpris:length"), lengthUs);
    return metadata;
}

double TMprisService::Volume() const {
    return form_.VolumeControl1->WaveVolume() / 255.0;
}

void TMprisService::SetVolume(double volume) {
    const double clamped = std::clamp(std::isnan(volume) ? 0.0 : volume, 0.0, 1.0);
    form_.VolumeControl1->SetWaveVolume(static_cast<std::uint8_t>(std::lround(clamped * 255)));
    Refresh();
}

qlonglong TMprisService::PositionUs() const {
    return qlonglong(form_.mp->Position()) * 1000;
}

TMprisService::State TMprisService::Look() const {
    State state;
    state.status = PlaybackStatus();
    state.fileName = form_.mp->FileName();
    state.index = PlaylistIndex;
    state.lengthUs = qlonglong(form_.mp->Length()) * 1000;
    state.canNext = Can(PlayerAction::Next);
    state.canBack = Can(PlayerAction::Back);
    state.canPlayPause = CanPlayOrPause();
    state.volume = Volume();
    state.positionUs = PositionUs();
    state.atMs = clock_.elapsed();
    return state;
}

// A position that went back, or ahead of where playing could have taken it,
// in the same file; a file that was closed or changed is no jump.
bool TMprisService::Jumped(const State& was, const State& now) const {
    constexpr qlonglong kSlackUs = 500'000;
    if (now.fileName != was.fileName || now.index != was.index) return false;
    if (now.status == QLatin1String("Stopped")) return false;
    const bool moving =
        now.status == QLatin1String("Playing") || was.status == QLatin1String("Playing");
    const qlonglong reachableUs = was.positionUs + (moving ? (now.atMs - was.atMs) * 1000 : 0);
    return now.positionUs < was.positionUs - kSlackUs / 10 ||
           now.positionUs > reachableUs + kSlackUs;
}

void TMprisService::Refresh() {
    if (!started_) return;
    const State now = Look();
    State& was = *announced_;
    QVariantMap changed;
    if (now.status != was.status) changed.insert(QStringLiteral("PlaybackStatus"), now.status);
    if (now.fileName != was.fileName || now.index != was.index || now.lengthUs != was.lengthUs)
        changed.insert(QStringLiteral("Metadata"), Metadata());
    if (now.canNext != was.canNext) changed.insert(QStringLiteral("CanGoNext"), now.canNext);
    if (now.canBack != was.canBack) changed.insert(QStringLiteral("CanGoPrevious"), now.canBack);
    if (now.canPlayPause != was.canPlayPause) {
        changed.insert(QStringLiteral("CanPlay"), now.canPlayPause);
        changed.insert(QStringLiteral("CanPause"), now.canPlayPause);
    }
    if (now.volume != was.volume) changed.insert(QStringLiteral("Volume"), now.volume);
    if (Jumped(was, now)) {
        QDBusMessage seeked =
            QDBusMessage::createSignal(kObjectPath, kPlayerInterface, QStringLiteral("Seeked"));
        seeked << now.positionUs;
        QDBusConnection::sessionBus().send(seeked);
    }
    was = now;
    if (changed.isEmpty()) return;
    QDBusMessage signal =
        QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}
