#include "support/FakeMci.h"

using namespace platform;

MCIERROR FakeMci::SendCommand(MCIDEVICEID device, unsigned message, unsigned flags, void* params) {
    MciCall call;
    call.device = device;
    call.message = message;
    call.flags = flags;
    const MCIERROR error = Run(call, params);
    calls_.push_back(call);
    return error;
}

MCIERROR FakeMci::Run(MciCall& call, void* params) {
    if (call.message == MCI_OPEN && whileOpening) whileOpening();
    const auto failure = failures_.find(call.message);
    if (failure != failures_.end()) {
        const MCIERROR error = failure->second;
        failures_.erase(failure);
        return error;
    }
    const HWND callback = params ? static_cast<MCI_GENERIC_PARMS*>(params)->dwCallback : nullptr;
    if (call.message == MCI_OPEN) {
        auto& open = *static_cast<MCI_OPEN_PARMS*>(params);
        call.element = open.lpstrElementName;
        call.type = open.lpstrDeviceType;
        open.wDeviceID = nextId_++;
        open_[open.wDeviceID] = hasVideo;
        destination_ = QRect(QPoint(0, 0), naturalSize);
        position = 0;
        mode = MCI_MODE_STOP;
        if (call.flags & MCI_NOTIFY) PostNotify(callback, MCI_NOTIFY_SUCCESSFUL, open.wDeviceID);
        return 0;
    }
    if (!IsOpen(call.device)) return MCIERR_INVALID_DEVICE_ID;
    const bool video = open_[call.device];
    notice_.BeforeCommand(call.message, call.flags, call.device);
    switch (call.message) {
        case MCI_CLOSE:
            open_.erase(call.device);
            break;
        case MCI_PLAY:
            if (call.flags & MCI_NOTIFY) notice_.Arm(callback);
            playing_ = call.device;
            mode = MCI_MODE_PLAY;
            if (position >= length) EndPlay();
            return 0;
        case MCI_STOP:
            mode = MCI_MODE_STOP;
            break;
        case MCI_PAUSE:
            mode = MCI_MODE_PAUSE;
            break;
        case MCI_RESUME:
            if (mode != MCI_MODE_PAUSE) return MCIERR_NONAPPLICABLE_FUNCTION;
            if (call.flags & MCI_NOTIFY) notice_.Arm(callback);
            mode = MCI_MODE_PLAY;
            return 0;
        case MCI_SEEK:
            position = 0;
            break;
        case MCI_STATUS: {
            auto& status = *static_cast<MCI_STATUS_PARMS*>(params);
            call.item = status.dwItem;
            status.dwReturn = status.dwItem == MCI_STATUS_LENGTH     ? length
                              : status.dwItem == MCI_STATUS_POSITION ? position
                                                                     : mode;
            break;
        }
        case MCI_GETDEVCAPS: {
            auto& caps = *static_cast<MCI_GETDEVCAPS_PARMS*>(params);
            call.item = caps.dwItem;
            caps.dwReturn = caps.dwItem == MCI_GETDEVCAPS_HAS_VIDEO  ? video
                            : caps.dwItem == MCI_GETDEVCAPS_CAN_PLAY ? 1
                                                                     : 0;
            break;
        }
        case MCI_WINDOW:
            if (!video) return MCIERR_UNSUPPORTED_FUNCTION;
            call.window = static_cast<MCI_DGV_WINDOW_PARMS*>(params)->hWnd;
            break;
        case MCI_PUT:
            if (!video) return MCIERR_UNSUPPORTED_FUNCTION;
            call.rect = destination_ = static_cast<MCI_DGV_RECT_PARMS*>(params)->rc;
            break;
        case MCI_WHERE:
            if (!video) return MCIERR_UNSUPPORTED_FUNCTION;
            static_cast<MCI_DGV_RECT_PARMS*>(params)->rc = (call.flags & MCI_DGV_WHERE_SOURCE)
                                                               ? QRect(QPoint(0, 0), naturalSize)
                                                               : destination_;
            break;
        default:
            return MCIERR_UNRECOGNIZED_COMMAND;
    }
    if (call.flags & MCI_NOTIFY) PostNotify(callback, MCI_NOTIFY_SUCCESSFUL, call.device);
    return 0;
}

bool FakeMci::GetErrorString(MCIERROR error, char* buffer, unsigned length) {
    const auto it = texts_.find(error);
    return CopyErrorText(it != texts_.end() ? it->second : QString(), buffer, length);
}

void FakeMci::FailNext(unsigned message, MCIERROR error, const QString& text) {
    failures_[message] = error;
    if (!text.isEmpty()) texts_[error] = text;
}

void FakeMci::EndPlay(unsigned result) {
    mode = MCI_MODE_STOP;
    if (result == MCI_NOTIFY_SUCCESSFUL) position = length;
    notice_.Finish(result, playing_);
}

std::vector<unsigned> FakeMci::Messages() const {
    std::vector<unsigned> messages;
    for (const MciCall& call : calls_) messages.push_back(call.message);
    return messages;
}

std::vector<MciCall> FakeMci::CallsOf(unsigned message) const {
    std::vector<MciCall> found;
    for (const MciCall& call : calls_)
        if (call.message == message) found.push_back(call);
    return found;
}

ScopedFakeMci::ScopedFakeMci() : fake_(new FakeMci) {
    previous_ = SetMci(std::unique_ptr<IMci>(fake_));
}

ScopedFakeMci::~ScopedFakeMci() {
    SetMci(std::move(previous_));
}
