#include "desktop/MprisAdaptors.h"

#include "app/AppInfo.h"
#include "desktop/MprisService.h"

TMprisRootAdaptor::TMprisRootAdaptor(TMprisService& service)
    : QDBusAbstractAdaptor(&service), service_(service) {}

QString TMprisRootAdaptor::Identity() const {
    return QStringLiteral("brelmo");
}

QString TMprisRootAdaptor::DesktopEntry() const {
    return QString::fromLatin1(appinfo::kId);
}

QStringList TMprisRootAdaptor::SupportedMimeTypes() const {
    return {QStringLiteral("audio/x-wav"),    QStringLiteral("audio/wav"),
            QStringLiteral("audio/vnd.wave"), QStringLiteral("video/x-msvideo"),
            QStringLiteral("video/avi"),      QStringLiteral("video/msvideo")};
}

QStringList TMprisRootAdaptor::SupportedUriSchemes() const {
    return {QStringLiteral("file")};
}

void TMprisRootAdaptor::Raise() {
    service_.Raise();
}

void TMprisRootAdaptor::Quit() {
    service_.Quit();
}

TMprisPlayerAdaptor::TMprisPlayerAdaptor(TMprisService& service)
    : QDBusAbstractAdaptor(&service), service_(service) {}

QString TMprisPlayerAdaptor::PlaybackStatus() const {
    return service_.PlaybackStatus();
}

QVariantMap TMprisPlayerAdaptor::Metadata() const {
    return service_.Metadata();
}

double TMprisPlayerAdaptor::Volume() const {
    return service_.Volume();
}

void TMprisPlayerAdaptor::SetVolume(double volume) {
    service_.SetVolume(volume);
}

qlonglong TMprisPlayerAdaptor::Position() const {
    return service_.PositionUs();
}

bool TMprisPlayerAdaptor::CanGoNext() const {
    return service_.Can(PlayerAction::Next);
}

bool TMprisPlayerAdaptor::CanGoPrevious() const {
    return service_.Can(PlayerAction::Back);
}

bool TMprisPlayerAdaptor::CanPlay() const {
    return service_.CanPlayOrPause();
}

bool TMprisPlayerAdaptor::CanPause() const {
    return service_.CanPlayOrPause();
}

void TMprisPlayerAdaptor::Next() {
    service_.Request(PlayerAction::Next);
}

void TMprisPlayerAdaptor::Previous() {
    service_.Request(PlayerAction::Back);
}

void TMprisPlayerAdaptor::Pause() {
    service_.Request(PlayerAction::Pause);
}

void TMprisPlayerAdaptor::PlayPause() {
    service_.Request(PlayerAction::StopContinue);
}

void TMprisPlayerAdaptor::Stop() {
    service_.Request(PlayerAction::Stop);
}

void TMprisPlayerAdaptor::Play() {
    service_.Request(PlayerAction::Play);
}

void TMprisPlayerAdaptor::Seek(qlonglong) {}

void TMprisPlayerAdaptor::SetPosition(const QDBusObjectPath&, qlonglong) {}

void TMprisPlayerAdaptor::OpenUri(const QString& uri) {
    service_.OpenUri(uri);
}
