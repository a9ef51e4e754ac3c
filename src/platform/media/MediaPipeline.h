#pragma once

#include <gst/gst.h>

#include <QByteArray>
#include <QObject>
#include <QRect>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/GstHandles.h"
#include "platform/media/MciBackend.h"
#include "platform/sound/AudioOutput.h"

namespace platform {

// One open media file on a GStreamer pipeline: the part every device type
// shares. Open prerolls (PAUSED) and waits a bounded time; Play, Stop, Pause
// and the seeks run on the GUI thread; the pipeline's bus is read in the
// posting (streaming) thread and only the end of stream and errors are passed
// on, queued to the GUI thread. Each play bumps a generation number and so
// does every stop or seek once it has taken effect, so an end of stream that
// was already on its way cannot end a later play.
//
// The audio output is chosen by the audio output policy at every open. When
// it fails (the sound server went away), the pipeline is rebuilt with the
// silent output at the position it had reached: the clip goes on and still
// ends on time; the next open takes whatever output there is then.
class MediaPipeline : public IMciDevice {
  public:
    MediaPipeline();
    ~MediaPipeline() override;
    MediaPipeline(const MediaPipeline&) = delete;
    MediaPipeline& operator=(const MediaPipeline&) = delete;

    // 'path' is native; 'shownName' is the name the texts use.
    MciFailure Open(const QByteArray& path, const QString& shownName);

    bool Play() override;
    // The end of stream comes through the event loop; user input waits.
    void WaitForEnd() override;
    void Stop() override;
    void Pause() override;
    bool Resume() override;
    void SeekToStart() override;

    std::uint32_t LengthMs() const override;
    std::uint32_t PositionMs() const override;
    unsigned Mode() const override { return mode_; }

    bool HasAudio() const override { return true; }
    bool HasVideo() const override { return false; }
    MCIERROR SetWindow(HWND window) override;
    MCIERROR Put(const QRect& destination) override;
    MCIERROR Where(unsigned flags, QRect& rect) const override;

  protected:
    // Builds the pipeline for 'path'; on failure returns null and fills 'failure'.
    virtual GstElement* Build(const QByteArray& path, const QString& shownName,
                              MciFailure& failure) = 0;
    // Checks the prerolled pipeline (streams, sizes).
    virtual MciFailure Inspect(const QString& shownName) = 0;
    virtual gint64 QueryDuration();
    // Called as a play begins, before the pipeline runs.
    virtual void Starting() {}
    // Puts 'sink' into the pipeline (a stopped one) as its audio output, in
    // place of the one there before.
    virtual void PutAudioOutput(GstElement* sink) = 0;

    GstElement* Pipeline() const { return pipeline_.get(); }
    // The GUI-thread object that queued calls from streaming threads go to;
    // it goes with the pipeline, so calls still queued are dropped.
    QObject* Relay() const { return relay_.get(); }
    // Brings the pipeline to NULL; subclasses call it first in their
    // destructors, before freeing what the streaming threads use.
    void Shutdown();

  private:
    static GstBusSyncReply OnBusMessage(GstBus* bus, GstMessage* message, gpointer self);
    void BusMessage(GstMessage* message);
    void QueueEnd(unsigned result, const QString& text);
    bool FromAudioOutput(GstMessage* message) const;
    MciFailure Preroll(AudioRoute route, const QString& shownName);
    void ContinueWithoutLostOutput();
    void Ended(unsigned generation, unsigned result, const QString& text);
    GstStateChangeReturn WaitForPreroll(GstStateChangeReturn change);
    MciFailure PrerollFailure(GstStateChangeReturn change, const QString& shownName);
    void SettleTo(GstState state);

    // Two threads meet here: the GUI thread, which runs every command, and
    // GStreamer's streaming threads, which call OnBusMessage synchronously.
    // Each field says which thread writes it; the bus handler only reads the
    // GUI thread's fields that are atomic, and hands everything else over as
    // a queued call to the GUI thread (through relay_).

    // Written by the GUI thread only; read by the bus handler only through
    // FromAudioOutput, while the pipeline that posts the message is alive.
    GstElementPtr pipeline_;
    GstElementPtr audioOutput_;  // a reference to the sink in use
    // GUI thread only.
    AudioRoute audioRoute_ = AudioRoute::Silent;
    std::unique_ptr<QObject> relay_;
    gint64 duration_ = 0;
    unsigned mode_ = MCI_MODE_STOP;
    bool atEnd_ = false;
    // Bumped by the GUI thread at every play and stop; read by the bus
    // handler to stamp an end, so that a stale end ends no later play.
    std::atomic<unsigned> generation_{0};
    // Set by the GUI thread for the length of an open's preroll; read by the
    // bus handler to keep failures for the open rather than queue an end.
    std::atomic<bool> opening_{false};
    // Set by the bus handler during an open, read and cleared by the GUI thread.
    std::atomic<bool> failed_{false};
    std::atomic<bool> audioLost_{false};
    // Set by the bus handler when it queues the replacement of a failed output,
    // cleared by the GUI thread when that replacement has run: the failure's
    // further messages are its own.
    std::atomic<bool> replacingOutput_{false};
    // The open's failure details: written by the bus handler during an open,
    // read by the GUI thread after the preroll, both under openMutex_.
    std::mutex openMutex_;
    QString openError_;
    GQuark openErrorDomain_ = 0;
    QString missingDecoder_;
};

}  // namespace platform
