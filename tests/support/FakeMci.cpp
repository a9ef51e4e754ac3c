#include "support/FakeMci.h"

using namespace platform;

// A scripted device: plays, stops and seeks on the fake's own values.
class FakeMci::Device : public IMciDevice {
  public:
    explicit Device(FakeMci& mci)
        : mci_(mci), video_(mci.hasVideo), destination_(QPoint(0, 0), mci.naturalSize) {
        mci_.position = 0;
        mci_.mode = MCI_MODE_STOP;
    }
    ~Device() override {
        if (mci_.playing_ == this) mci_.playing_ = nullptr;
    }

    bool Play() override {
        mci_.playing_ = this;
        mci_.mode = MCI_MODE_PLAY;
        if (mci_.position < mci_.length) return false;
        mci_.EndPlay();
        return true;
    }
    // The test ends a play with EndPlay.
    void WaitForEnd() override {}
    void Stop() override { mci_.mode = MCI_MODE_STOP; }
    void Pause() override { mci_.mode = MCI_MODE_PAUSE; }
    bool Resume() override {
        if (mci_.mode != MCI_MODE_PAUSE) return false;
        mci_.mode = MCI_MODE_PLAY;
        return true;
    }
    void SeekToStart() override { mci_.position = 0; }

    std::uint32_t LengthMs() const override { return mci_.length; }
    std::uint32_t PositionMs() const override { return mci_.position; }
    unsigned Mode() const override { return mci_.mode; }
    unsigned DeviceType() const override {
        return video_ ? MCI_DEVTYPE_DIGITAL_VIDEO : MCI_DEVTYPE_WAVEFORM_AUDIO;
    }
    bool HasAudio() const override { return true; }
    bool HasVideo() const override { return video_; }

    MCIERROR SetWindow(HWND) override { return video_ ? 0 : MCIERR_UNSUPPORTED_FUNCTION; }
    MCIERROR Put(const QRect& destination) override {
        if (!video_) return MCIERR_UNSUPPORTED_FUNCTION;
        destination_ = destination;
        return 0;
    }
    MCIERROR Where(unsigned flags, QRect& rect) const override {
        if (!video_) return MCIERR_UNSUPPORTED_FUNCTION;
        rect =
            (flags & MCI_DGV_WHERE_SOURCE) ? QRect(QPoint(0, 0), mci_.naturalSize) : destination_;
        return 0;
    }

  private:
    FakeMci& mci_;
    const bool video_;
    QRect destination_;
};

class FakeMci::Backend : public IMciBackend {
  public:
    explicit Backend(FakeMci& mci) : mci_(mci) {}
    std::unique_ptr<IMciDevice> Open(unsigned, const MCI_OPEN_PARMS&, MciFailure&) override {
        return std::make_unique<Device>(mci_);
    }

  private:
    FakeMci& mci_;
};

FakeMci::FakeMci() : commands_(std::make_unique<Backend>(*this)) {}

namespace {

// The command as a test reads it back, with the fields its block carries in.
MciCall Recorded(MCIDEVICEID device, unsigned message, unsigned flags, MCI_GENERIC_PARMS* params) {
    MciCall call;
    call.device = device;
    call.message = message;
    call.flags = flags;
    if (const auto* open = dynamic_cast<MCI_OPEN_PARMS*>(params)) {
        call.element = open->lpstrElementName;
        call.type = open->lpstrDeviceType;
    } else if (const auto* window = dynamic_cast<MCI_DGV_WINDOW_PARMS*>(params)) {
        call.window = window->hWnd;
    } else if (const auto* rect = dynamic_cast<MCI_DGV_RECT_PARMS*>(params)) {
        call.rect = rect->rc;
    }
    return call;
}

}  // namespace

MCIERROR FakeMci::SendCommand(MCIDEVICEID device, unsigned message, unsigned flags,
                              MCI_GENERIC_PARMS* params) {
    calls_.push_back(Recorded(device, message, flags, params));
    if (message == MCI_OPEN && whileOpening) whileOpening();
    const auto failure = failures_.find(message);
    if (failure == failures_.end()) return commands_.SendCommand(device, message, flags, params);
    const MCIERROR error = failure->second;
    failures_.erase(failure);
    return error;
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
    if (playing_ && playing_->OnEnded) playing_->OnEnded(result);
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
