#include "platform/media/MciCommands.h"

#include <QCoreApplication>
#include <QPointer>

namespace platform {

Q_LOGGING_CATEGORY(lcMci, "brelmo.mci", QtWarningMsg)

namespace {

bool EndsPlay(unsigned message) {
    return message == MCI_STOP || message == MCI_SEEK || message == MCI_CLOSE;
}

template <class Block>
bool Is(MCI_GENERIC_PARMS& params) {
    return dynamic_cast<Block*>(&params) != nullptr;
}

// Whether 'params' is the block of 'message'; commands without a block of
// their own take any, for its callback.
bool IsBlockOf(unsigned message, MCI_GENERIC_PARMS& params) {
    switch (message) {
        case MCI_OPEN:
            return Is<MCI_OPEN_PARMS>(params);
        case MCI_PLAY:
            return Is<MCI_PLAY_PARMS>(params);
        case MCI_SEEK:
            return Is<MCI_SEEK_PARMS>(params);
        case MCI_STATUS:
            return Is<MCI_STATUS_PARMS>(params);
        case MCI_GETDEVCAPS:
            return Is<MCI_GETDEVCAPS_PARMS>(params);
        case MCI_WINDOW:
            return Is<MCI_DGV_WINDOW_PARMS>(params);
        case MCI_PUT:
        case MCI_WHERE:
            return Is<MCI_DGV_RECT_PARMS>(params);
        default:
            return true;
    }
}

// The notice of a device's pending play; each ending posts exactly once.
class PlayNotice {
  public:
    void BeforeCommand(unsigned message, unsigned flags, MCIDEVICEID device) {
        if (!Pending()) return;
        if (flags & MCI_NOTIFY && !EndsPlay(message))
            Finish(MCI_NOTIFY_SUPERSEDED, device);
        else if (EndsPlay(message) || message == MCI_PLAY)
            Finish(MCI_NOTIFY_ABORTED, device);
    }
    void Arm(HWND callback) { callback_ = callback; }
    void Finish(unsigned result, MCIDEVICEID device) {
        if (!Pending()) return;
        PostNotify(callback_, result, device);
        callback_.clear();
    }
    bool Pending() const { return !callback_.isNull(); }

  private:
    QPointer<QWidget> callback_;
};

}  // namespace

struct MciCommands::Device {
    MCIDEVICEID id = 0;
    std::unique_ptr<IMciDevice> driver;
    PlayNotice notice;
};

MciCommands::MciCommands(std::unique_ptr<IMciBackend> backend) : backend_(std::move(backend)) {}

MciCommands::~MciCommands() {
    // At process exit the widgets of open devices may outlive the
    // application object; they are left to the system then.
    if (!QCoreApplication::instance())
        for (auto& [id, device] : devices_) (void)device.release();
}

MCIERROR MciCommands::Fail(MCIERROR error, const QString& text) {
    lastError_ = {error, text};
    qCDebug(lcMci) << "error" << error << text;
    return error;
}

bool MciCommands::GetErrorString(MCIERROR error, char* buffer, unsigned length) {
    return CopyErrorText(error == lastError_.code ? lastError_.text : MciErrorText(error), buffer,
                         length);
}

MCIERROR MciCommands::SendCommand(MCIDEVICEID id, unsigned message, unsigned flags,
                                  MCI_GENERIC_PARMS* params) {
    lastError_ = {};
    // Every command takes a parameter block, if only for its callback window.
    const MCIERROR error =
        params ? Dispatch(id, message, flags, *params) : MCIERR_MISSING_PARAMETER;
    // Codes without a detailed text of this command read the fixed one.
    if (error != lastError_.code) lastError_ = {error, MciErrorText(error)};
    return error;
}

MCIERROR MciCommands::Dispatch(MCIDEVICEID id, unsigned message, unsigned flags,
                               MCI_GENERIC_PARMS& params) {
    const auto it = devices_.find(id);
    if (message != MCI_OPEN && it == devices_.end()) return MCIERR_INVALID_DEVICE_ID;
    if (!IsBlockOf(message, params))
        return Fail(MCIERR_MISSING_PARAMETER,
                    QStringLiteral("The command was sent with another command's parameters"));
    if ((flags & MCI_NOTIFY) && !params.dwCallback)
        return Fail(MCIERR_MISSING_PARAMETER,
                    QStringLiteral("A notice was asked for without a window"));
    if (message == MCI_OPEN) return Open(flags, static_cast<MCI_OPEN_PARMS&>(params));
    if (message == MCI_CLOSE) return Close(id, flags, params.dwCallback);
    Device& device = *it->second;
    device.notice.BeforeCommand(message, flags, id);
    if (const MCIERROR error = Run(device, message, flags, params)) return error;
    if ((flags & MCI_NOTIFY) && message != MCI_PLAY && message != MCI_RESUME)
        PostNotify(params.dwCallback, MCI_NOTIFY_SUCCESSFUL, id);
    return 0;
}

MCIERROR MciCommands::Run(Device& device, unsigned message, unsigned flags,
                          MCI_GENERIC_PARMS& params) {
    IMciDevice& driver = *device.driver;
    // The block was checked against the message: each cast names its own.
    switch (message) {
        case MCI_PLAY:
            return Play(device, flags, params.dwCallback);
        case MCI_STOP:
            driver.Stop();
            return 0;
        case MCI_PAUSE:
            driver.Pause();
            return 0;
        case MCI_RESUME:
            return Resume(device, flags, params.dwCallback);
        case MCI_SEEK:
            return Seek(device, flags);
        case MCI_STATUS:
            return Status(driver, flags, static_cast<MCI_STATUS_PARMS&>(params));
        case MCI_GETDEVCAPS:
            return Capability(driver, flags, static_cast<MCI_GETDEVCAPS_PARMS&>(params));
        case MCI_WINDOW: {
            const auto& window = static_cast<MCI_DGV_WINDOW_PARMS&>(params);
            return driver.SetWindow((flags & MCI_DGV_WINDOW_HWND) ? window.hWnd : nullptr);
        }
        case MCI_PUT:
            if (!(flags & MCI_DGV_RECT)) return MCIERR_MISSING_PARAMETER;
            return driver.Put(static_cast<MCI_DGV_RECT_PARMS&>(params).rc);
        case MCI_WHERE:
            return driver.Where(flags, static_cast<MCI_DGV_RECT_PARMS&>(params).rc);
        default:
            return MCIERR_UNRECOGNIZED_COMMAND;
    }
}

MCIERROR MciCommands::Open(unsigned flags, MCI_OPEN_PARMS& params) {
    MciFailure failure;
    auto device = std::make_unique<Device>();
    device->driver = backend_->Open(flags, params, failure);
    if (!device->driver) return Fail(failure.code, failure.text);
    device->id = nextId_++;
    Device* opened = device.get();
    opened->driver->OnEnded = [opened](unsigned result) {
        opened->notice.Finish(result, opened->id);
    };
    devices_.emplace(opened->id, std::move(device));
    params.wDeviceID = opened->id;
    if (flags & MCI_NOTIFY) PostNotify(params.dwCallback, MCI_NOTIFY_SUCCESSFUL, opened->id);
    return 0;
}

MCIERROR MciCommands::Close(MCIDEVICEID id, unsigned flags, HWND callback) {
    const auto it = devices_.find(id);
    it->second->notice.BeforeCommand(MCI_CLOSE, flags, id);
    devices_.erase(it);
    if (flags & MCI_NOTIFY) PostNotify(callback, MCI_NOTIFY_SUCCESSFUL, id);
    return 0;
}

MCIERROR MciCommands::Play(Device& device, unsigned flags, HWND callback) {
    if (flags & (MCI_FROM | MCI_TO))
        return Fail(MCIERR_UNSUPPORTED_FUNCTION,
                    QStringLiteral("Playing a part of a file is not supported"));
    const bool finished = device.driver->Play();
    if (flags & MCI_NOTIFY) device.notice.Arm(callback);
    if (finished)
        device.notice.Finish(MCI_NOTIFY_SUCCESSFUL, device.id);
    else if (flags & MCI_WAIT)
        device.driver->WaitForEnd();
    return 0;
}

MCIERROR MciCommands::Resume(Device& device, unsigned flags, HWND callback) {
    if (!device.driver->Resume())
        return Fail(MCIERR_NONAPPLICABLE_FUNCTION, QStringLiteral("The device is not paused"));
    if (flags & MCI_NOTIFY) device.notice.Arm(callback);
    if (flags & MCI_WAIT) device.driver->WaitForEnd();
    return 0;
}

MCIERROR MciCommands::Seek(Device& device, unsigned flags) {
    if (!(flags & MCI_SEEK_TO_START))
        return Fail(MCIERR_UNSUPPORTED_FUNCTION,
                    QStringLiteral("Only a seek to the start is supported"));
    device.driver->SeekToStart();
    return 0;
}

MCIERROR MciCommands::Status(const IMciDevice& device, unsigned flags, MCI_STATUS_PARMS& params) {
    if (!(flags & MCI_STATUS_ITEM)) return MCIERR_MISSING_PARAMETER;
    switch (params.dwItem) {
        case MCI_STATUS_LENGTH:
            params.dwReturn = device.LengthMs();
            return 0;
        case MCI_STATUS_POSITION:
            params.dwReturn = device.PositionMs();
            return 0;
        case MCI_STATUS_MODE:
            params.dwReturn = device.Mode();
            return 0;
        default:
            return MCIERR_UNSUPPORTED_FUNCTION;
    }
}

MCIERROR MciCommands::Capability(const IMciDevice& device, unsigned flags,
                                 MCI_GETDEVCAPS_PARMS& params) {
    if (!(flags & MCI_GETDEVCAPS_ITEM)) return MCIERR_MISSING_PARAMETER;
    switch (params.dwItem) {
        case MCI_GETDEVCAPS_CAN_PLAY:
            params.dwReturn = 1;
            return 0;
        case MCI_GETDEVCAPS_CAN_RECORD:
        case MCI_GETDEVCAPS_CAN_EJECT:
            params.dwReturn = 0;
            return 0;
        case MCI_GETDEVCAPS_HAS_AUDIO:
            params.dwReturn = device.HasAudio();
            return 0;
        case MCI_GETDEVCAPS_HAS_VIDEO:
            params.dwReturn = device.HasVideo();
            return 0;
        case MCI_GETDEVCAPS_DEVICE_TYPE:
            params.dwReturn = device.DeviceType();
            return 0;
        default:
            return MCIERR_UNSUPPORTED_FUNCTION;
    }
}

}  // namespace platform
