#include "platform/media/Mci.h"

#include <QCoreApplication>
#include <cstring>

namespace platform {

QEvent::Type MciNotifyEvent::EventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void PostNotify(HWND callback, unsigned result, MCIDEVICEID device) {
    if (callback) QCoreApplication::postEvent(callback, new MciNotifyEvent(result, device));
}

QString MciErrorText(MCIERROR error) {
    switch (error) {
        case MCIERR_INVALID_DEVICE_ID:
            return QStringLiteral("No device with this id is open");
        case MCIERR_UNRECOGNIZED_COMMAND:
            return QStringLiteral("The device does not know this command");
        case MCIERR_HARDWARE:
            return QStringLiteral("The media device failed");
        case MCIERR_INVALID_DEVICE_NAME:
            return QStringLiteral("No such device type is installed");
        case MCIERR_CANNOT_LOAD_DRIVER:
            return QStringLiteral("No decoder for this media is installed");
        case MCIERR_MISSING_PARAMETER:
            return QStringLiteral("No file or device type was given");
        case MCIERR_UNSUPPORTED_FUNCTION:
            return QStringLiteral("The device does not support this command");
        case MCIERR_FILE_NOT_FOUND:
            return QStringLiteral("The file does not exist");
        case MCIERR_DEVICE_NOT_READY:
            return QStringLiteral("The media file did not open in time");
        case MCIERR_INTERNAL:
            return QStringLiteral("The media device failed internally");
        case MCIERR_INVALID_FILE:
            return QStringLiteral("Not a playable media file");
        case MCIERR_NONAPPLICABLE_FUNCTION:
            return QStringLiteral("The command does not apply in the device's present mode");
        case MCIERR_FILE_READ:
            return QStringLiteral("The file cannot be read");
        default:
            return {};
    }
}

QString OpenTimeLimitText(const QString& shownName) {
    return QStringLiteral("The media file did not open within %1 seconds: %2")
        .arg(kOpenTimeLimitMs / 1000)
        .arg(shownName);
}

namespace {

std::function<void(int)>& OpenWaitListener() {
    static std::function<void(int)> listener;
    return listener;
}

}  // namespace

OpenWaitScope::OpenWaitScope(std::function<void(int waitedMs)> listener) {
    OpenWaitListener() = std::move(listener);
}

OpenWaitScope::~OpenWaitScope() {
    OpenWaitListener() = nullptr;
}

void ReportOpenWait(int waitedMs) {
    if (OpenWaitListener()) OpenWaitListener()(waitedMs);
}

bool CopyErrorText(const QString& text, char* buffer, unsigned length) {
    if (text.isEmpty() || !buffer || length == 0) return false;
    const QByteArray utf8 = text.toUtf8();
    const auto count = std::min<std::size_t>(utf8.size(), length - 1);
    std::memcpy(buffer, utf8.constData(), count);
    buffer[count] = '\0';
    return true;
}

}  // namespace platform
