#pragma once

#include <cstdint>

#include "platform/media/Mci.h"
#include "toolkit/Exceptions.h"
#include "toolkit/WinControl.h"

// A media device command that failed, with the media layer's text.
class EMCIDeviceError : public Exception {
    using Exception::Exception;
};

enum TMPDeviceTypes {
    dtAutoSelect = 0,
    dtAVIVideo = 1,
    dtCDAudio = 2,
    dtDAT = 3,
    dtDigitalVideo = 4,
    dtMMMovie = 5,
    dtOther = 6,
    dtOverlay = 7,
    dtScanner = 8,
    dtSequencer = 9,
    dtVCR = 10,
    dtVideodisc = 11,
    dtWaveAudio = 12,
};

// What the device said it can do, taken at Open.
struct TMPCapabilities {
    bool CanPlay = false;
    bool CanRecord = false;
    bool CanEject = false;
    unsigned DeviceType = 0;
};

enum TMPNotifyValues { nrSuccessful = 0, nrSuperseded = 1, nrAborted = 2, nrFailure = 3 };

// Opens, plays, stops and closes one media file at a time through the media
// control layer, with video drawn into the Display window. Every operation is
// one command with a flag word built from the Notify and Wait switches; the
// layer's completion notices arrive at this control's own window through the
// event loop and fire OnNotify. The control itself is never shown (its button
// bar is not part of this program).
class TMediaPlayer : public TCustomControl {
    Q_OBJECT

  public:
    explicit TMediaPlayer(TComponent* AOwner);
    ~TMediaPlayer() override;

    const QString& FileName() const { return fileName_; }
    void SetFileName(const QString& fileName) { fileName_ = fileName; }
    TWinControl* Display() const { return display_; }
    void SetDisplay(TWinControl* display);
    bool AutoRewind() const { return autoRewind_; }
    void SetAutoRewind(bool autoRewind) { autoRewind_ = autoRewind; }
    TMPDeviceTypes DeviceType() const { return deviceType_; }
    void SetDeviceType(TMPDeviceTypes deviceType) { deviceType_ = deviceType; }
    bool Shareable() const { return shareable_; }
    void SetShareable(bool shareable) { shareable_ = shareable; }
    bool AutoOpen() const { return autoOpen_; }
    void SetAutoOpen(bool autoOpen) { autoOpen_ = autoOpen; }

    bool IsOpen() const { return isOpen_; }
    std::uint16_t DeviceID() const { return deviceId_; }
    bool Notify() const { return notify_; }
    void SetNotify(bool notify);
    bool NotifyPending() const { return notifyPending_; }
    bool Wait() const { return wait_; }
    void SetWait(bool wait);
    bool WaitPending() const { return waitPending_; }
    TMPNotifyValues NotifyValue() const { return notifyValue_; }
    int Error() const { return error_; }
    bool HasVideo() const { return hasVideo_; }
    const TMPCapabilities& Capabilities() const { return capabilities_; }
    int NaturalWidth() const { return naturalWidth_; }
    int NaturalHeight() const { return naturalHeight_; }
    // Origin in Left/Top, extent in Right/Bottom.
    TRect DisplayRect();
    void SetDisplayRect(const TRect& rect);
    // One-shot start and end positions (milliseconds) for the next Play.
    void SetStartPos(std::uint32_t position);
    void SetEndPos(std::uint32_t position);
    // What the device reports now: its mode (an MCI_MODE_* value) and, in
    // milliseconds, its position and length. A closed device reads
    // MCI_MODE_NOT_READY and zero; asking never raises.
    unsigned Mode();
    std::uint32_t Position();
    std::uint32_t Length();

    void Open();
    void Close();
    void Play();
    void Stop();
    void Pause();
    void Resume();

    TNotifyEvent OnNotify;

  protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    bool event(QEvent* event) override;

  private:
    unsigned RuleAFlags();
    unsigned RuleBFlags();
    void RequireOpen() const;
    platform::MCIERROR Send(unsigned message, unsigned flags, platform::MCI_GENERIC_PARMS& params);
    std::uint32_t Status(std::uint32_t item);
    std::uint32_t Capability(std::uint32_t item);
    void AttachDisplay();
    [[noreturn]] void RaiseError(platform::MCIERROR error);
    void MMNotify(unsigned result);

    QString fileName_;
    TWinControl* display_ = nullptr;
    bool autoRewind_ = true;
    TMPDeviceTypes deviceType_ = dtAutoSelect;
    bool shareable_ = false;
    bool autoOpen_ = false;

    bool isOpen_ = false;
    std::uint16_t deviceId_ = 0;
    bool notify_ = false;
    bool notifyPending_ = false;
    bool wait_ = false;
    bool waitPending_ = false;
    TMPNotifyValues notifyValue_ = nrSuccessful;
    int error_ = 0;
    bool hasVideo_ = false;
    TMPCapabilities capabilities_;
    int naturalWidth_ = 0;
    int naturalHeight_ = 0;
    std::uint32_t startPos_ = 0;
    std::uint32_t endPos_ = 0;
    bool startPosSet_ = false;
    bool endPosSet_ = false;
};
