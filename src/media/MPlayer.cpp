#include "media/MPlayer.h"

#include <array>

#include "toolkit/Application.h"
#include "toolkit/HourGlass.h"

using namespace platform;

namespace {

constexpr unsigned kErrorTextLength = 4096;
// How long an open waits unseen; any longer, and the hourglass says so.
constexpr int kHourGlassAfterMs = 200;

// The device-type names, by TMPDeviceTypes ordinal (dtAutoSelect names none).
constexpr std::array<const char*, 13> kDeviceTypeNames = {
    "",        "AVIVideo", "CDAudio",   "DAT", "DigitalVideo", "MMMovie",  "Other",
    "Overlay", "Scanner",  "Sequencer", "VCR", "Videodisc",    "WaveAudio"};

TRect FromMciRect(const QRect& rc) {
    return {rc.x(), rc.y(), rc.width(), rc.height()};
}

}  // namespace

TMediaPlayer::TMediaPlayer(TComponent* AOwner) : TCustomControl(AOwner) {
    SetVisible(false);
}

TMediaPlayer::~TMediaPlayer() {
    if (deviceId_ == 0) return;
    MCI_GENERIC_PARMS params{this};
    Mci().SendCommand(deviceId_, MCI_CLOSE, MCI_WAIT, &params);
}

void TMediaPlayer::SetNotify(bool notify) {
    notify_ = notify;
    notifyPending_ = true;
}

void TMediaPlayer::SetWait(bool wait) {
    wait_ = wait;
    waitPending_ = true;
}

void TMediaPlayer::SetStartPos(std::uint32_t position) {
    startPos_ = position;
    startPosSet_ = true;
}

void TMediaPlayer::SetEndPos(std::uint32_t position) {
    endPos_ = position;
    endPosSet_ = true;
}

// Open, Close, Stop, Pause: wait unless told not to; a notice only when asked.
unsigned TMediaPlayer::RuleAFlags() {
    unsigned flags = (waitPending_ && !wait_) ? 0 : MCI_WAIT;
    if (notifyPending_ && notify_) flags |= MCI_NOTIFY;
    notifyPending_ = false;
    waitPending_ = false;
    return flags;
}

// Play and Resume: a notice unless told not to; wait only when asked.
unsigned TMediaPlayer::RuleBFlags() {
    unsigned flags = (notifyPending_ && !notify_) ? 0 : MCI_NOTIFY;
    if (waitPending_ && wait_) flags |= MCI_WAIT;
    notifyPending_ = false;
    waitPending_ = false;
    return flags;
}

MCIERROR TMediaPlayer::Send(unsigned message, unsigned flags, MCI_GENERIC_PARMS& params) {
    return Mci().SendCommand(deviceId_, message, flags, &params);
}

void TMediaPlayer::RaiseError(MCIERROR error) {
    std::array<char, kErrorTextLength> text{};
    if (Mci().GetErrorString(error, text.data(), kErrorTextLength))
        throw EMCIDeviceError(QString::fromUtf8(text.data()));
    throw EMCIDeviceError(QStringLiteral("Unknown error code"));
}

void TMediaPlayer::RequireOpen() const {
    if (!isOpen_) throw EMCIDeviceError(QStringLiteral("No MCI device open"));
}

std::uint32_t TMediaPlayer::Status(std::uint32_t item) {
    MCI_STATUS_PARMS params{this, item};
    Send(MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, params);
    return params.dwReturn;
}

std::uint32_t TMediaPlayer::Capability(std::uint32_t item) {
    MCI_GETDEVCAPS_PARMS params{this, item};
    Send(MCI_GETDEVCAPS, MCI_GETDEVCAPS_ITEM | MCI_WAIT, params);
    return params.dwReturn;
}

unsigned TMediaPlayer::Mode() {
    return isOpen_ ? Status(MCI_STATUS_MODE) : MCI_MODE_NOT_READY;
}

std::uint32_t TMediaPlayer::Position() {
    return isOpen_ ? Status(MCI_STATUS_POSITION) : 0;
}

std::uint32_t TMediaPlayer::Length() {
    return isOpen_ ? Status(MCI_STATUS_LENGTH) : 0;
}

void TMediaPlayer::Open() {
    if (isOpen_) Close();
    MCI_OPEN_PARMS params{this};
    unsigned flags = RuleAFlags();
    if (deviceType_ != dtAutoSelect) {
        params.lpstrDeviceType = QString::fromLatin1(kDeviceTypeNames.at(deviceType_));
        flags |= MCI_OPEN_TYPE;
    }
    if (!fileName_.isEmpty()) {
        params.lpstrElementName = fileName_;
        flags |= MCI_OPEN_ELEMENT;
    }
    if (shareable_) flags |= MCI_OPEN_SHAREABLE;
    // The open keeps the thread until the file is ready (at most
    // kOpenTimeLimitMs); one that takes more than a moment shows the hourglass.
    THourGlass hourGlass;
    const OpenWaitScope waiting([&hourGlass](int waitedMs) {
        if (waitedMs >= kHourGlassAfterMs) hourGlass.Show();
    });
    error_ = static_cast<int>(Mci().SendCommand(0, MCI_OPEN, flags, &params));
    if (error_ != 0) RaiseError(static_cast<MCIERROR>(error_));
    isOpen_ = true;
    deviceId_ = static_cast<std::uint16_t>(params.wDeviceID);

    capabilities_.CanPlay = Capability(MCI_GETDEVCAPS_CAN_PLAY) != 0;
    capabilities_.CanRecord = Capability(MCI_GETDEVCAPS_CAN_RECORD) != 0;
    capabilities_.CanEject = Capability(MCI_GETDEVCAPS_CAN_EJECT) != 0;
    hasVideo_ = Capability(MCI_GETDEVCAPS_HAS_VIDEO) != 0;
    capabilities_.DeviceType = Capability(MCI_GETDEVCAPS_DEVICE_TYPE);

    MCI_DGV_RECT_PARMS source{this};
    Send(MCI_WHERE, MCI_DGV_WHERE_SOURCE, source);
    const TRect natural = FromMciRect(source.rc);
    naturalWidth_ = natural.Right - natural.Left;
    naturalHeight_ = natural.Bottom - natural.Top;
    if (hasVideo_) {
        AttachDisplay();
        const TRect shown = DisplayRect();
        naturalWidth_ = shown.Right - shown.Left;
        naturalHeight_ = shown.Bottom - shown.Top;
    }
}

void TMediaPlayer::Close() {
    if (deviceId_ == 0) return;
    MCI_GENERIC_PARMS params{this};
    error_ = static_cast<int>(Send(MCI_CLOSE, RuleAFlags(), params));
    if (error_ != 0) return;
    isOpen_ = false;
    deviceId_ = 0;
}

void TMediaPlayer::Play() {
    RequireOpen();
    const bool positionsGiven = startPosSet_ || endPosSet_;
    if (autoRewind_ && !positionsGiven &&
        Status(MCI_STATUS_POSITION) == Status(MCI_STATUS_LENGTH)) {
        MCI_SEEK_PARMS seek{this};
        Send(MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT, seek);
    }
    MCI_PLAY_PARMS params{this, startPos_, endPos_};
    unsigned flags = RuleBFlags();
    if (startPosSet_) flags |= MCI_FROM;
    if (endPosSet_) flags |= MCI_TO;
    startPosSet_ = false;
    endPosSet_ = false;
    error_ = static_cast<int>(Send(MCI_PLAY, flags, params));
}

void TMediaPlayer::Stop() {
    RequireOpen();
    MCI_GENERIC_PARMS params{this};
    error_ = static_cast<int>(Send(MCI_STOP, RuleAFlags(), params));
}

void TMediaPlayer::Pause() {
    RequireOpen();
    const std::uint32_t mode = Status(MCI_STATUS_MODE);
    if (mode == MCI_MODE_PLAY) {
        MCI_GENERIC_PARMS params{this};
        error_ = static_cast<int>(Send(MCI_PAUSE, RuleAFlags(), params));
    } else if (mode == MCI_MODE_PAUSE) {
        Resume();
    }
}

void TMediaPlayer::Resume() {
    RequireOpen();
    MCI_GENERIC_PARMS params{this};
    error_ = static_cast<int>(Send(MCI_RESUME, RuleBFlags(), params));
    if (error_ != 0) Play();
}

TRect TMediaPlayer::DisplayRect() {
    if (!isOpen_ || !hasVideo_) return {};
    MCI_DGV_RECT_PARMS params{this};
    Send(MCI_WHERE, MCI_DGV_WHERE_DESTINATION, params);
    return FromMciRect(params.rc);
}

void TMediaPlayer::SetDisplayRect(const TRect& rect) {
    if (!isOpen_ || !hasVideo_) return;
    TRect placed = rect;
    if (rect.Right == 0 && rect.Bottom == 0)
        placed = {rect.Left, rect.Top, naturalWidth_, naturalHeight_};
    MCI_DGV_RECT_PARMS params{this, QRect(placed.Left, placed.Top, placed.Right, placed.Bottom)};
    error_ = static_cast<int>(Send(MCI_PUT, MCI_DGV_RECT | MCI_DGV_PUT_DESTINATION, params));
}

void TMediaPlayer::SetDisplay(TWinControl* display) {
    if (display == display_) return;
    display_ = display;
    if (display_) {
        display_->FreeNotification(this);
        AttachDisplay();
    } else if (isOpen_ && hasVideo_) {
        MCI_DGV_WINDOW_PARMS params{this, nullptr};
        Send(MCI_WINDOW, MCI_DGV_WINDOW_HWND | MCI_WAIT, params);
    }
}

void TMediaPlayer::AttachDisplay() {
    if (!display_ || !isOpen_ || !hasVideo_) return;
    MCI_DGV_WINDOW_PARMS params{this, display_};
    if (Send(MCI_WINDOW, MCI_DGV_WINDOW_HWND | MCI_WAIT, params) != 0) display_ = nullptr;
}

void TMediaPlayer::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == display_) SetDisplay(nullptr);
}

bool TMediaPlayer::event(QEvent* event) {
    if (event->type() != MciNotifyEvent::EventType()) return TCustomControl::event(event);
    Guarded([&] { MMNotify(static_cast<MciNotifyEvent*>(event)->Result); });
    return true;
}

void TMediaPlayer::MMNotify(unsigned result) {
    switch (result) {
        case MCI_NOTIFY_SUCCESSFUL:
            notifyValue_ = nrSuccessful;
            break;
        case MCI_NOTIFY_SUPERSEDED:
            notifyValue_ = nrSuperseded;
            break;
        case MCI_NOTIFY_ABORTED:
            notifyValue_ = nrAborted;
            break;
        case MCI_NOTIFY_FAILURE:
            notifyValue_ = nrFailure;
            break;
        default:
            break;
    }
    if (OnNotify) OnNotify(this);
}
