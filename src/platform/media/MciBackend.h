#pragma once

#include <QLoggingCategory>
#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/media/Mci.h"

namespace platform {

Q_DECLARE_LOGGING_CATEGORY(lcMci)

// Why a device command failed: the code and the text that names the problem.
struct MciFailure {
    MCIERROR code = 0;
    QString text;
    explicit operator bool() const { return code != 0; }
};

// One open media file, as the command set (MciCommands) drives it: typed
// operations, no parameter blocks, no notices. Called on the GUI thread.
class IMciDevice {
  public:
    virtual ~IMciDevice() = default;

    // Plays from the current position; true when it already stands at the
    // end, which finishes the play at once.
    virtual bool Play() = 0;
    // Returns when the current play has ended (a play sent with MCI_WAIT).
    virtual void WaitForEnd() = 0;
    virtual void Stop() = 0;
    virtual void Pause() = 0;
    // False when the device is not paused.
    virtual bool Resume() = 0;
    virtual void SeekToStart() = 0;

    virtual std::uint32_t LengthMs() const = 0;
    virtual std::uint32_t PositionMs() const = 0;
    virtual unsigned Mode() const = 0;
    virtual unsigned DeviceType() const = 0;
    virtual bool HasAudio() const = 0;
    virtual bool HasVideo() const = 0;

    // Video only; the others answer MCIERR_UNSUPPORTED_FUNCTION.
    virtual MCIERROR SetWindow(HWND window) = 0;
    virtual MCIERROR Put(const QRect& destination) = 0;
    virtual MCIERROR Where(unsigned flags, QRect& rect) const = 0;

    // Set by the command set; the device calls it on the GUI thread when
    // the current play ends by itself (successful or failure).
    std::function<void(unsigned result)> OnEnded;
};

// What opens devices: the GStreamer backend, or a test's fake.
class IMciBackend {
  public:
    virtual ~IMciBackend() = default;
    // Opens what 'params' names under 'flags' (MCI_OPEN_TYPE, MCI_OPEN_ELEMENT);
    // null on failure, with 'failure' filled.
    virtual std::unique_ptr<IMciDevice> Open(unsigned flags, const MCI_OPEN_PARMS& params,
                                             MciFailure& failure) = 0;
};

}  // namespace platform
