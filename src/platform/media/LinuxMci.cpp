#include "platform/media/LinuxMci.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "platform/files/FileSystem.h"
#include "platform/media/MediaCheck.h"
#include "platform/media/MediaPipeline.h"
#include "platform/media/VideoDriver.h"
#include "platform/media/WaveDriver.h"

namespace platform {

namespace {

enum class Driver { none, wave, video };

Driver DriverForType(const QString& type) {
    if (type.compare(QLatin1String("WaveAudio"), Qt::CaseInsensitive) == 0) return Driver::wave;
    for (const char* name : {"AVIVideo", "DigitalVideo", "MPEGVideo"})
        if (type.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return Driver::video;
    return Driver::none;
}

bool HasExtension(const QString& name, const char* extension) {
    return name.endsWith(QLatin1String(extension), Qt::CaseInsensitive);
}

std::unique_ptr<MediaPipeline> MakeDriver(Driver driver) {
    if (driver == Driver::wave) return std::make_unique<WaveDriver>();
    return std::make_unique<VideoDriver>();
}

}  // namespace

LinuxMci::LinuxMci() {
    GError* error = nullptr;
    if (!gst_init_check(nullptr, nullptr, &error)) {
        qCWarning(lcMci) << "GStreamer failed to start:" << (error ? error->message : "?");
        if (error) g_error_free(error);
    }
}

LinuxMci::~LinuxMci() {
    // At process exit the widgets of open devices may outlive the
    // application object; they are left to the system then.
    if (!QCoreApplication::instance())
        for (auto& [id, device] : devices_) (void)device.release();
}

MCIERROR LinuxMci::Fail(MCIERROR error, const QString& text) {
    lastError_ = {error, text};
    qCDebug(lcMci) << "error" << error << text;
    return error;
}

bool LinuxMci::GetErrorString(MCIERROR error, char* buffer, unsigned length) {
    return CopyErrorText(error == lastError_.code ? lastError_.text : MciErrorText(error), buffer,
                         length);
}

MCIERROR LinuxMci::SendCommand(MCIDEVICEID id, unsigned message, unsigned flags, void* params) {
    lastError_ = {};
    const MCIERROR error = Dispatch(id, message, flags, params);
    // Codes without a detailed text of this command read the fixed one.
    if (error != lastError_.code) lastError_ = {error, MciErrorText(error)};
    return error;
}

MCIERROR LinuxMci::Dispatch(MCIDEVICEID id, unsigned message, unsigned flags, void* params) {
    // Every command takes a parameter block, if only for its callback window.
    if (!params) return MCIERR_MISSING_PARAMETER;
    if (message == MCI_OPEN) return Open(flags, *static_cast<MCI_OPEN_PARMS*>(params));
    const auto it = devices_.find(id);
    if (it == devices_.end()) return MCIERR_INVALID_DEVICE_ID;
    const HWND callback = static_cast<MCI_GENERIC_PARMS*>(params)->dwCallback;
    if ((flags & MCI_NOTIFY) && !callback)
        return Fail(MCIERR_MISSING_PARAMETER,
                    QStringLiteral("A notice was asked for without a window"));
    if (message == MCI_CLOSE) return Close(id, flags, callback);
    Device& device = *it->second;
    device.notice.BeforeCommand(message, flags, id);
    const MCIERROR error = Run(device, message, flags, params);
    if (error) return error;
    if ((flags & MCI_NOTIFY) && message != MCI_PLAY && message != MCI_RESUME)
        PostNotify(callback, MCI_NOTIFY_SUCCESSFUL, id);
    return 0;
}

MCIERROR LinuxMci::Run(Device& device, unsigned message, unsigned flags, void* params) {
    MediaPipeline& driver = *device.driver;
    switch (message) {
        case MCI_PLAY:
            return Play(device, flags, *static_cast<MCI_PLAY_PARMS*>(params));
        case MCI_STOP:
            driver.Stop();
            return 0;
        case MCI_PAUSE:
            driver.Pause();
            return 0;
        case MCI_RESUME:
            return Resume(device, flags, static_cast<MCI_GENERIC_PARMS*>(params)->dwCallback);
        case MCI_SEEK:
            return Seek(device, flags);
        case MCI_STATUS:
            return Status(device, flags, *static_cast<MCI_STATUS_PARMS*>(params));
        case MCI_GETDEVCAPS:
            return Capability(device, flags, *static_cast<MCI_GETDEVCAPS_PARMS*>(params));
        case MCI_WINDOW: {
            const auto& window = *static_cast<MCI_DGV_WINDOW_PARMS*>(params);
            return driver.SetWindow((flags & MCI_DGV_WINDOW_HWND) ? window.hWnd : nullptr);
        }
        case MCI_PUT:
            if (!(flags & MCI_DGV_RECT)) return MCIERR_MISSING_PARAMETER;
            return driver.Put(static_cast<MCI_DGV_RECT_PARMS*>(params)->rc);
        case MCI_WHERE:
            return driver.Where(flags, static_cast<MCI_DGV_RECT_PARMS*>(params)->rc);
        default:
            return MCIERR_UNRECOGNIZED_COMMAND;
    }
}

MCIERROR LinuxMci::Open(unsigned flags, MCI_OPEN_PARMS& params) {
    const QString element = (flags & MCI_OPEN_ELEMENT) ? params.lpstrElementName : QString();
    Driver driver = Driver::none;
    if (flags & MCI_OPEN_TYPE) {
        driver = DriverForType(params.lpstrDeviceType);
        if (driver == Driver::none)
            return Fail(MCIERR_INVALID_DEVICE_NAME,
                        QStringLiteral("No device of type \"%1\" is installed")
                            .arg(params.lpstrDeviceType));
    } else if (!element.isEmpty()) {
        driver = HasExtension(element, ".wav") ? Driver::wave : Driver::video;
    }
    if (element.isEmpty())
        return Fail(MCIERR_MISSING_PARAMETER, QStringLiteral("No media file was given to open"));
    if ((flags & MCI_NOTIFY) && !params.dwCallback)
        return Fail(MCIERR_MISSING_PARAMETER,
                    QStringLiteral("A notice was asked for without a window"));

    const QByteArray path = FileSystem().NativePath(element);
    if (path.isEmpty())
        return Fail(MCIERR_FILE_NOT_FOUND,
                    QStringLiteral("The file does not exist: %1").arg(element));
    const bool isAvi = driver == Driver::video && HasExtension(element, ".avi");
    if (const MciFailure failure = CheckMediaFile(path, element, isAvi))
        return Fail(failure.code, failure.text);

    auto device = std::make_unique<Device>();
    device->driver = MakeDriver(driver);
    if (const MciFailure failure = device->driver->Open(path, element))
        return Fail(failure.code, failure.text);

    const MCIDEVICEID id = nextId_++;
    Device* opened = device.get();
    opened->driver->OnEnded = [opened, id](unsigned result) { opened->notice.Finish(result, id); };
    devices_.emplace(id, std::move(device));
    params.wDeviceID = id;
    if (flags & MCI_NOTIFY) PostNotify(params.dwCallback, MCI_NOTIFY_SUCCESSFUL, id);
    return 0;
}

MCIERROR LinuxMci::Close(MCIDEVICEID id, unsigned flags, HWND callback) {
    const auto it = devices_.find(id);
    it->second->notice.BeforeCommand(MCI_CLOSE, flags, id);
    devices_.erase(it);
    if (flags & MCI_NOTIFY) PostNotify(callback, MCI_NOTIFY_SUCCESSFUL, id);
    return 0;
}

MCIERROR LinuxMci::Play(Device& device, unsigned flags, const MCI_PLAY_PARMS& params) {
    if (flags & (MCI_FROM | MCI_TO))
        return Fail(MCIERR_UNSUPPORTED_FUNCTION,
                    QStringLiteral("Playing a part of a file is not supported"));
    const bool finished = device.driver->Play();
    if (flags & MCI_NOTIFY) device.notice.Arm(params.dwCallback);
    if (finished) {
        device.notice.Finish(MCI_NOTIFY_SUCCESSFUL, 0);
        return 0;
    }
    if (flags & MCI_WAIT) WaitForEnd(device);
    return 0;
}

MCIERROR LinuxMci::Resume(Device& device, unsigned flags, HWND callback) {
    if (!device.driver->Resume())
        return Fail(MCIERR_NONAPPLICABLE_FUNCTION, QStringLiteral("The device is not paused"));
    if (flags & MCI_NOTIFY) device.notice.Arm(callback);
    if (flags & MCI_WAIT) WaitForEnd(device);
    return 0;
}

void LinuxMci::WaitForEnd(Device& device) {
    // The end of stream comes through the event loop; user input waits.
    MediaPipeline& driver = *device.driver;
    while (driver.Mode() == MCI_MODE_PLAY)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
}

MCIERROR LinuxMci::Seek(Device& device, unsigned flags) {
    if (!(flags & MCI_SEEK_TO_START))
        return Fail(MCIERR_UNSUPPORTED_FUNCTION,
                    QStringLiteral("Only a seek to the start is supported"));
    device.driver->SeekToStart();
    return 0;
}

MCIERROR LinuxMci::Status(const Device& device, unsigned flags, MCI_STATUS_PARMS& params) {
    if (!(flags & MCI_STATUS_ITEM)) return MCIERR_MISSING_PARAMETER;
    switch (params.dwItem) {
        case MCI_STATUS_LENGTH:
            params.dwReturn = device.driver->LengthMs();
            return 0;
        case MCI_STATUS_POSITION:
            params.dwReturn = device.driver->PositionMs();
            return 0;
        case MCI_STATUS_MODE:
            params.dwReturn = device.driver->Mode();
            return 0;
        default:
            return MCIERR_UNSUPPORTED_FUNCTION;
    }
}

MCIERROR LinuxMci::Capability(const Device& device, unsigned flags, MCI_GETDEVCAPS_PARMS& params) {
    if (!(flags & MCI_GETDEVCAPS_ITEM)) return MCIERR_MISSING_PARAMETER;
    const MediaPipeline& driver = *device.driver;
    switch (params.dwItem) {
        case MCI_GETDEVCAPS_CAN_PLAY:
            params.dwReturn = 1;
            return 0;
        case MCI_GETDEVCAPS_CAN_RECORD:
        case MCI_GETDEVCAPS_CAN_EJECT:
            params.dwReturn = 0;
            return 0;
        case MCI_GETDEVCAPS_HAS_AUDIO:
            params.dwReturn = driver.HasAudio();
            return 0;
        case MCI_GETDEVCAPS_HAS_VIDEO:
            params.dwReturn = driver.HasVideo();
            return 0;
        case MCI_GETDEVCAPS_DEVICE_TYPE:
            params.dwReturn = driver.DeviceType();
            return 0;
        default:
            return MCIERR_UNSUPPORTED_FUNCTION;
    }
}

}  // namespace platform
