#pragma once

// Shared by the benchmarks that drive the real player window in-process: the
// player started under a private X server with a silent sound service (the
// click is not what they measure), real clips of solid colours, presses sent
// to the skin's buttons, and a watch for the first video frame painted.

#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/Main.h"
#include "app/PlayerState.h"
#include "entry/Run.h"
#include "kit/Media.h"
#include "kit/Processes.h"
#include "kit/Run.h"
#include "kit/Usage.h"
#include "platform/files/FileSystem.h"
#include "platform/media/VideoSurface.h"
#include "platform/sound/Sound.h"
#include "skin/TransBtn.h"
#include "skin/Transit.h"
#include "toolkit/Application.h"

namespace benchkit {

// Plays nothing and returns at once.
class SilentSound : public platform::ISound {
  public:
    bool PlaySound(const void*, unsigned) override { return true; }
};

struct Clip {
    QString path;  // as the playlist holds it: drive letter and backslashes
    QRgb colour;
};

// A few seconds of one solid colour, motion JPEG in AVI, as the demo clips are.
inline Clip SolidClip(const char* name, int width, int height, QRgb colour) {
    const QString pipeline =
        QStringLiteral(
            "videotestsrc num-buffers=125 pattern=solid-color foreground-color=%1 ! "
            "video/x-raw,width=%2,height=%3,framerate=25/1 ! jpegenc ! avimux ! "
            "filesink location=%4")
            .arg(colour | 0xff000000u)
            .arg(width)
            .arg(height)
            .arg(QStringLiteral("%1"));
    const QString native = benchkit::Generate(QString::fromLatin1(name), pipeline);
    return {platform::FileSystem().DrivePath(QFile::encodeName(native)), colour};
}

inline std::vector<Clip> ThreeClips() {
    return {SolidClip("red.avi", 160, 120, 0xff0000), SolidClip("green.avi", 200, 100, 0x00ff00),
            SolidClip("blue.avi", 320, 240, 0x0000ff)};
}

inline void SetPlaylist(const std::vector<Clip>& clips) {
    int slot = 0;
    for (const Clip& clip : clips) Playlist.Set(++slot, clip.path);
    PlaylistCount = slot;
    PlaylistIndex = 0;
}

// Runs the event loop until 'done' holds or 'timeoutMs' passes; false on the
// timeout. Asleep until an event comes; a 5 ms tick wakes it to look again.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
    QElapsedTimer clock;
    clock.start();
    QTimer tick;
    tick.start(5);
    while (!done()) {
        if (clock.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// A left press and release at the button's centre, delivered the way the
// window system's events reach it.
inline void Press(TTransparentButton* button) {
    const QPointF local(button->width() / 2.0, button->height() / 2.0);
    const QPointF global = button->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(button, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(button, &release);
}

// Notes the moment the first video frame after Arm() has been painted and
// gone through to the window: the event loop's next turn after the first
// paint of a video surface.
class FirstFrameWatch : public QObject {
  public:
    FirstFrameWatch() { QCoreApplication::instance()->installEventFilter(this); }

    void Arm() {
        armed_ = true;
        paintedNs_ = 0;
    }
    bool Painted() const { return paintedNs_ != 0; }
    std::int64_t PaintedNs() const { return paintedNs_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (armed_ && event->type() == QEvent::Paint &&
            dynamic_cast<platform::VideoSurface*>(watched)) {
            armed_ = false;
            QTimer::singleShot(0, this, [this] { paintedNs_ = probe::MonotonicNs(); });
        }
        return false;
    }

  private:
    bool armed_ = false;
    std::int64_t paintedNs_ = 0;
};

// Starts the player under a private X server, with private runtime and data
// folders and a silent sound service, waits for its skin to be revealed and
// runs 'body' on the main window; the program ends when 'body' returns.
// Messages the player would show are counted in 'messages' instead.
inline int RunPlayer(int argc, char** argv, const std::function<void(TForm1&)>& body,
                     int* messages) {
    static QTemporaryDir home;
    const QString runtime = home.filePath(QStringLiteral("run"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    setenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit().constData(), 1);
    setenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit().constData(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    const benchkit::PrivateXServer x;
    return RunBrelmo(argc, argv, [&body, messages](TForm1& form) {
        platform::SetSound(std::make_unique<SilentSound>());
        Application->OnShowMessage = [messages](const QString& text) {
            ++*messages;
            qWarning("the player says: %s", qPrintable(text));
        };
        auto revealed = std::make_shared<bool>(false);
        form.image1->OnNotify = [revealed, notify = form.image1->OnNotify](TObject* sender) {
            notify(sender);
            *revealed = true;
        };
        QTimer::singleShot(0, &form, [&form, &body, revealed] {
            if (WaitUntil([revealed] { return *revealed; }, 10000))
                body(form);
            else
                qWarning("the skin was never revealed");
            Application->Terminate();
        });
    });
}

}  // namespace benchkit
