#pragma once

#include <QEvent>
#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

// A window as the media control layer sees it: the widget that receives
// completion notices, or the widget video is drawn into.
using HWND = QWidget*;
using MCIDEVICEID = std::uint32_t;
using MCIERROR = std::uint32_t;

// Commands.
constexpr unsigned MCI_OPEN = 0x0803;
constexpr unsigned MCI_CLOSE = 0x0804;
constexpr unsigned MCI_PLAY = 0x0806;
constexpr unsigned MCI_SEEK = 0x0807;
constexpr unsigned MCI_STOP = 0x0808;
constexpr unsigned MCI_PAUSE = 0x0809;
constexpr unsigned MCI_GETDEVCAPS = 0x080B;
constexpr unsigned MCI_STATUS = 0x0814;
constexpr unsigned MCI_WINDOW = 0x0841;
constexpr unsigned MCI_PUT = 0x0842;
constexpr unsigned MCI_WHERE = 0x0843;
constexpr unsigned MCI_RESUME = 0x0855;

// Flags common to every command.
constexpr unsigned MCI_NOTIFY = 0x1;
constexpr unsigned MCI_WAIT = 0x2;
constexpr unsigned MCI_FROM = 0x4;
constexpr unsigned MCI_TO = 0x8;
// Flags of single commands.
constexpr unsigned MCI_OPEN_SHAREABLE = 0x100;
constexpr unsigned MCI_OPEN_ELEMENT = 0x200;
constexpr unsigned MCI_OPEN_TYPE = 0x2000;
constexpr unsigned MCI_SEEK_TO_START = 0x100;
constexpr unsigned MCI_STATUS_ITEM = 0x100;
constexpr unsigned MCI_GETDEVCAPS_ITEM = 0x100;
constexpr unsigned MCI_DGV_WINDOW_HWND = 0x10000;
constexpr unsigned MCI_DGV_RECT = 0x10000;
constexpr unsigned MCI_DGV_WHERE_SOURCE = 0x20000;
constexpr unsigned MCI_DGV_WHERE_DESTINATION = 0x40000;
constexpr unsigned MCI_DGV_PUT_DESTINATION = 0x40000;

// Status items; positions and lengths are in milliseconds.
constexpr unsigned MCI_STATUS_LENGTH = 1;
constexpr unsigned MCI_STATUS_POSITION = 2;
constexpr unsigned MCI_STATUS_MODE = 4;
constexpr unsigned MCI_MODE_NOT_READY = 524;
constexpr unsigned MCI_MODE_STOP = 525;
constexpr unsigned MCI_MODE_PLAY = 526;
constexpr unsigned MCI_MODE_PAUSE = 529;

// Capability items and device types.
constexpr unsigned MCI_GETDEVCAPS_CAN_RECORD = 1;
constexpr unsigned MCI_GETDEVCAPS_HAS_AUDIO = 2;
constexpr unsigned MCI_GETDEVCAPS_HAS_VIDEO = 3;
constexpr unsigned MCI_GETDEVCAPS_DEVICE_TYPE = 4;
constexpr unsigned MCI_GETDEVCAPS_CAN_EJECT = 7;
constexpr unsigned MCI_GETDEVCAPS_CAN_PLAY = 8;
constexpr unsigned MCI_DEVTYPE_DIGITAL_VIDEO = 520;
constexpr unsigned MCI_DEVTYPE_WAVEFORM_AUDIO = 522;

// The completion notice and its results.
constexpr unsigned MM_MCINOTIFY = 0x3B9;
constexpr unsigned MCI_NOTIFY_SUCCESSFUL = 1;
constexpr unsigned MCI_NOTIFY_SUPERSEDED = 2;
constexpr unsigned MCI_NOTIFY_ABORTED = 4;
constexpr unsigned MCI_NOTIFY_FAILURE = 8;

// Error codes (0 is success).
constexpr MCIERROR MCIERR_BASE = 256;
constexpr MCIERROR MCIERR_INVALID_DEVICE_ID = MCIERR_BASE + 1;
constexpr MCIERROR MCIERR_UNRECOGNIZED_COMMAND = MCIERR_BASE + 5;
constexpr MCIERROR MCIERR_HARDWARE = MCIERR_BASE + 6;
constexpr MCIERROR MCIERR_INVALID_DEVICE_NAME = MCIERR_BASE + 7;
constexpr MCIERROR MCIERR_CANNOT_LOAD_DRIVER = MCIERR_BASE + 10;
constexpr MCIERROR MCIERR_MISSING_PARAMETER = MCIERR_BASE + 17;
constexpr MCIERROR MCIERR_UNSUPPORTED_FUNCTION = MCIERR_BASE + 18;
constexpr MCIERROR MCIERR_FILE_NOT_FOUND = MCIERR_BASE + 19;
constexpr MCIERROR MCIERR_DEVICE_NOT_READY = MCIERR_BASE + 20;
constexpr MCIERROR MCIERR_INTERNAL = MCIERR_BASE + 21;
constexpr MCIERROR MCIERR_INVALID_FILE = MCIERR_BASE + 40;
constexpr MCIERROR MCIERR_NONAPPLICABLE_FUNCTION = MCIERR_BASE + 46;
constexpr MCIERROR MCIERR_FILE_READ = MCIERR_BASE + 92;

// Parameter blocks: each command has its own, derived from the common
// header, whose dwCallback is the window that receives the notice of a
// command sent with MCI_NOTIFY. The layer checks at every call that the block
// is the command's own (a command with no block of its own takes the header).
struct MCI_GENERIC_PARMS {
    explicit MCI_GENERIC_PARMS(HWND callback = nullptr) : dwCallback(callback) {}
    virtual ~MCI_GENERIC_PARMS() = default;
    HWND dwCallback;
};

struct MCI_OPEN_PARMS : MCI_GENERIC_PARMS {
    using MCI_GENERIC_PARMS::MCI_GENERIC_PARMS;
    MCIDEVICEID wDeviceID = 0;  // out
    QString lpstrDeviceType;    // with MCI_OPEN_TYPE
    QString lpstrElementName;   // with MCI_OPEN_ELEMENT: drive-letter or native path
};

struct MCI_PLAY_PARMS : MCI_GENERIC_PARMS {
    explicit MCI_PLAY_PARMS(HWND callback = nullptr, std::uint32_t from = 0, std::uint32_t to = 0)
        : MCI_GENERIC_PARMS(callback), dwFrom(from), dwTo(to) {}
    std::uint32_t dwFrom;  // with MCI_FROM, milliseconds
    std::uint32_t dwTo;    // with MCI_TO, milliseconds
};

struct MCI_SEEK_PARMS : MCI_GENERIC_PARMS {
    explicit MCI_SEEK_PARMS(HWND callback = nullptr, std::uint32_t to = 0)
        : MCI_GENERIC_PARMS(callback), dwTo(to) {}
    std::uint32_t dwTo;
};

struct MCI_STATUS_PARMS : MCI_GENERIC_PARMS {
    explicit MCI_STATUS_PARMS(HWND callback = nullptr, std::uint32_t item = 0)
        : MCI_GENERIC_PARMS(callback), dwItem(item) {}
    std::uint32_t dwReturn = 0;  // out
    std::uint32_t dwItem;
};

struct MCI_GETDEVCAPS_PARMS : MCI_GENERIC_PARMS {
    explicit MCI_GETDEVCAPS_PARMS(HWND callback = nullptr, std::uint32_t item = 0)
        : MCI_GENERIC_PARMS(callback), dwItem(item) {}
    std::uint32_t dwReturn = 0;  // out
    std::uint32_t dwItem;
};

struct MCI_DGV_WINDOW_PARMS : MCI_GENERIC_PARMS {
    explicit MCI_DGV_WINDOW_PARMS(HWND callback = nullptr, HWND window = nullptr)
        : MCI_GENERIC_PARMS(callback), hWnd(window) {}
    HWND hWnd;  // with MCI_DGV_WINDOW_HWND; none = the device's default window
};

// Origin in left/top, extent in right/bottom, as the platform reports it.
struct MCI_DGV_RECT_PARMS : MCI_GENERIC_PARMS {
    explicit MCI_DGV_RECT_PARMS(HWND callback = nullptr, const QRect& rect = {})
        : MCI_GENERIC_PARMS(callback), rc(rect) {}
    QRect rc;  // x/y the origin, width/height the extent
};

// The completion notice as it arrives at the callback window.
class MciNotifyEvent : public QEvent {
  public:
    MciNotifyEvent(unsigned result, MCIDEVICEID device)
        : QEvent(EventType()), Result(result), Device(device) {}
    static QEvent::Type EventType();
    const unsigned Result;
    const MCIDEVICEID Device;
};

// Queues a notice for 'callback'; handled by the event loop after the
// sender returns. A null callback posts nothing.
void PostNotify(HWND callback, unsigned result, MCIDEVICEID device);

// The platform's text for a code that has a fixed meaning; empty otherwise.
QString MciErrorText(MCIERROR error);
// Copies 'text' as UTF-8 into 'buffer', cut to fit; false for an empty text.
bool CopyErrorText(const QString& text, char* buffer, unsigned length);

// How long an open may wait for its file (a stalled network share, a slow
// disk) before it fails with MCIERR_DEVICE_NOT_READY and OpenTimeLimitText:
// "The media file did not open within 5 seconds: <name>". The open is
// synchronous, so the window cannot be used meanwhile.
constexpr int kOpenTimeLimitMs = 5000;
QString OpenTimeLimitText(const QString& shownName);

// Who wants to hear, on the GUI thread, that the open in progress is still
// waiting for its file, and for how long so far: a backend calls
// ReportOpenWait every few milliseconds while it waits, so that the program
// can show that it waits (the hourglass). One listener at a time, for the
// life of the scope.
class OpenWaitScope {
  public:
    explicit OpenWaitScope(std::function<void(int waitedMs)> listener);
    ~OpenWaitScope();
    OpenWaitScope(const OpenWaitScope&) = delete;
    OpenWaitScope& operator=(const OpenWaitScope&) = delete;
};
void ReportOpenWait(int waitedMs);

// The media control layer: one open device per file, commands addressed by
// device id. Called on the GUI thread only. A command returns 0 or an error
// code; a failing command posts no notice. A command sent with MCI_NOTIFY
// gets exactly one notice (the rules are MciCommands', which every backend
// sits behind); MCI_OPEN and MCI_CLOSE with MCI_NOTIFY post theirs before
// they return. Open prepares the file completely (a video shows its first
// frame) and fails within a few seconds with a text that names the problem.
class IMci {
  public:
    virtual ~IMci() = default;
    virtual MCIERROR SendCommand(MCIDEVICEID device, unsigned message, unsigned flags,
                                 MCI_GENERIC_PARMS* params) = 0;
    // Copies the text for 'error' (the latest detailed one when the code was
    // just reported) into 'buffer'; false when the code has no text.
    virtual bool GetErrorString(MCIERROR error, char* buffer, unsigned length) = 0;
};

// The media control layer in use; the Linux backend unless a test swapped in another.
IMci& Mci();
// Puts 'mci' in place and returns the previous layer (tests restore it).
std::unique_ptr<IMci> SetMci(std::unique_ptr<IMci> mci);

}  // namespace platform
