#include "platform/media/MediaPipeline.h"

#include <gst/pbutils/missing-plugins.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMetaObject>

namespace platform {

namespace {

constexpr GstClockTime kPollStep = 10 * GST_MSECOND;
constexpr GstClockTime kSettleTimeout = 2 * GST_SECOND;

QString ErrorText(GstMessage* message, GQuark* domain) {
    GError* raw = nullptr;
    gchar* debug = nullptr;
    gst_message_parse_error(message, &raw, &debug);
    const GErrorPtr error(raw);
    const GCharPtr details(debug);
    if (domain) *domain = error ? error->domain : 0;
    qCDebug(lcMci) << "pipeline error:" << (error ? error->message : "?") << debug;
    return error ? QString::fromUtf8(error->message) : QStringLiteral("Unknown error");
}

QString MissingDecoder(GstMessage* message) {
    const GCharPtr text(gst_missing_plugin_message_get_description(message));
    return text ? QString::fromUtf8(text.get()) : QStringLiteral("this media");
}

}  // namespace

MediaPipeline::MediaPipeline() : relay_(std::make_unique<QObject>()) {}

MediaPipeline::~MediaPipeline() {
    Shutdown();
}

void MediaPipeline::Shutdown() {
    if (!pipeline_) return;
    gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
    audioOutput_.reset();
    pipeline_.reset();
}

MciFailure MediaPipeline::Open(const QByteArray& path, const QString& shownName) {
    MciFailure failure;
    opening_ = true;
    GstElement* built = Build(path, shownName, failure);
    if (!built) return failure;
    pipeline_.reset(GST_ELEMENT(gst_object_ref_sink(built)));
    {
        const GstObjectPtr<GstBus> bus(gst_element_get_bus(pipeline_.get()));
        gst_bus_set_sync_handler(bus.get(), &MediaPipeline::OnBusMessage, this, nullptr);
    }
    failure = Preroll(CurrentAudioRoute(), shownName);
    if (audioLost_) {
        // The output the policy offered failed to start: open silently.
        {
            const std::lock_guard lock(openMutex_);
            openError_.clear();
        }
        audioLost_ = failed_ = false;
        failure = Preroll(AudioRoute::Silent, shownName);
    }
    if (!failure) {
        duration_ = QueryDuration();
        failure = Inspect(shownName);
    }
    opening_ = false;
    if (failure) Shutdown();
    return failure;
}

MciFailure MediaPipeline::Preroll(AudioRoute route, const QString& shownName) {
    gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
    GstElement* sink = MakeAudioOutput(route);
    if (!sink)
        return {MCIERR_CANNOT_LOAD_DRIVER,
                QStringLiteral("The sound output is not installed completely: %1").arg(shownName)};
    audioOutput_.reset(GST_ELEMENT(gst_object_ref(sink)));
    audioRoute_ = route;
    PutAudioOutput(sink);
    const GstStateChangeReturn change =
        WaitForPreroll(gst_element_set_state(pipeline_.get(), GST_STATE_PAUSED));
    return PrerollFailure(change, shownName);
}

GstStateChangeReturn MediaPipeline::WaitForPreroll(GstStateChangeReturn change) {
    // Short slices, so an error posted while the state change hangs ends the wait.
    QElapsedTimer clock;
    clock.start();
    while (change == GST_STATE_CHANGE_ASYNC && !failed_ && clock.elapsed() < kOpenTimeLimitMs) {
        change = gst_element_get_state(pipeline_.get(), nullptr, nullptr, kPollStep);
        ReportOpenWait(static_cast<int>(clock.elapsed()));
    }
    return change;
}

MciFailure MediaPipeline::PrerollFailure(GstStateChangeReturn change, const QString& shownName) {
    const std::lock_guard lock(openMutex_);
    if (!missingDecoder_.isEmpty())
        return {MCIERR_CANNOT_LOAD_DRIVER,
                QStringLiteral("No decoder is installed for this file (%1 is missing): %2")
                    .arg(missingDecoder_, shownName)};
    if (!openError_.isEmpty()) {
        const MCIERROR code =
            openErrorDomain_ == GST_RESOURCE_ERROR ? MCIERR_FILE_READ : MCIERR_INVALID_FILE;
        return {code, QStringLiteral("Cannot play %1: %2").arg(shownName, openError_)};
    }
    if (change == GST_STATE_CHANGE_ASYNC)
        return {MCIERR_DEVICE_NOT_READY, OpenTimeLimitText(shownName)};
    if (change == GST_STATE_CHANGE_FAILURE)
        return {MCIERR_INVALID_FILE, QStringLiteral("Cannot play %1").arg(shownName)};
    return {};
}

gint64 MediaPipeline::QueryDuration() {
    gint64 duration = 0;
    if (!gst_element_query_duration(pipeline_.get(), GST_FORMAT_TIME, &duration)) return 0;
    return duration;
}

GstBusSyncReply MediaPipeline::OnBusMessage(GstBus*, GstMessage* message, gpointer self) {
    try {
        static_cast<MediaPipeline*>(self)->BusMessage(message);
    } catch (const std::exception& error) {
        qCWarning(lcMci) << "bus message handler failed:" << error.what();
    } catch (...) {
        qCWarning(lcMci) << "bus message handler failed";
    }
    // A dropped message is the handler's to free; it holds its source alive.
    gst_message_unref(message);
    return GST_BUS_DROP;
}

void MediaPipeline::BusMessage(GstMessage* message) {
    switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_EOS:
            QueueEnd(MCI_NOTIFY_SUCCESSFUL, {});
            break;
        case GST_MESSAGE_ERROR: {
            if (FromAudioOutput(message)) {
                qCDebug(lcMci) << "audio output failed:" << ErrorText(message, nullptr);
                if (opening_) {
                    audioLost_ = failed_ = true;
                } else if (!replacingOutput_.exchange(true)) {
                    QMetaObject::invokeMethod(
                        relay_.get(), [this] { ContinueWithoutLostOutput(); },
                        Qt::QueuedConnection);
                }
                break;
            }
            GQuark domain = 0;
            const QString text = ErrorText(message, &domain);
            if (opening_) {
                const std::lock_guard lock(openMutex_);
                if (openError_.isEmpty()) {
                    openError_ = text;
                    openErrorDomain_ = domain;
                }
                failed_ = true;
            } else {
                QueueEnd(MCI_NOTIFY_FAILURE, text);
            }
            break;
        }
        case GST_MESSAGE_ELEMENT:
            if (opening_ && gst_is_missing_plugin_message(message)) {
                const std::lock_guard lock(openMutex_);
                if (missingDecoder_.isEmpty()) missingDecoder_ = MissingDecoder(message);
            }
            break;
        case GST_MESSAGE_WARNING: {
            // A missing sound device ends up here: the audio sink falls back
            // to a synced fake sink and playback goes on in real time.
            GError* raw = nullptr;
            gst_message_parse_warning(message, &raw, nullptr);
            const GErrorPtr warning(raw);
            qCDebug(lcMci) << "pipeline warning:" << (warning ? warning->message : "?");
            break;
        }
        default:
            break;
    }
}

bool MediaPipeline::FromAudioOutput(GstMessage* message) const {
    GstObject* source = GST_MESSAGE_SRC(message);
    return audioOutput_ && source &&
           (source == GST_OBJECT(audioOutput_.get()) ||
            gst_object_has_as_ancestor(source, GST_OBJECT(audioOutput_.get())));
}

// Rebuilds the stream with the silent output at the position reached, so
// that the clip goes on and ends when it would have; the next open takes
// whatever output there is then.
void MediaPipeline::ContinueWithoutLostOutput() {
    struct Done {
        std::atomic<bool>& flag;
        ~Done() { flag = false; }
    } done{replacingOutput_};
    if (!pipeline_) return;
    gint64 position = 0;
    if (!gst_element_query_position(pipeline_.get(), GST_FORMAT_TIME, &position)) position = 0;
    NoteAudioOutputLost(audioRoute_);
    qCDebug(lcMci) << "audio output lost at" << position / GST_MSECOND << "ms";
    if (Preroll(AudioRoute::Silent, {})) {
        QueueEnd(MCI_NOTIFY_FAILURE, QStringLiteral("the sound output failed"));
        return;
    }
    gst_element_seek_simple(pipeline_.get(), GST_FORMAT_TIME,
                            GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), position);
    gst_element_get_state(pipeline_.get(), nullptr, nullptr, kSettleTimeout);
    if (mode_ == MCI_MODE_PLAY) gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING);
}

void MediaPipeline::QueueEnd(unsigned result, const QString& text) {
    const unsigned generation = generation_;
    QMetaObject::invokeMethod(
        relay_.get(), [this, generation, result, text] { Ended(generation, result, text); },
        Qt::QueuedConnection);
}

void MediaPipeline::Ended(unsigned generation, unsigned result, const QString& text) {
    if (generation != generation_ || mode_ != MCI_MODE_PLAY) return;
    if (result == MCI_NOTIFY_FAILURE) qCWarning(lcMci) << "playback failed:" << text;
    mode_ = MCI_MODE_STOP;
    atEnd_ = result == MCI_NOTIFY_SUCCESSFUL;
    if (OnEnded) OnEnded(result);
}

bool MediaPipeline::Play() {
    if (atEnd_) {
        mode_ = MCI_MODE_STOP;
        return true;
    }
    ++generation_;
    mode_ = MCI_MODE_PLAY;
    Starting();
    gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING);
    return false;
}

void MediaPipeline::WaitForEnd() {
    while (mode_ == MCI_MODE_PLAY)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
}

void MediaPipeline::SettleTo(GstState state) {
    gst_element_set_state(pipeline_.get(), state);
    gst_element_get_state(pipeline_.get(), nullptr, nullptr, kSettleTimeout);
    // Whatever end of stream is still queued belongs to the play just ended.
    ++generation_;
}

void MediaPipeline::Stop() {
    SettleTo(GST_STATE_PAUSED);
    mode_ = MCI_MODE_STOP;
}

void MediaPipeline::Pause() {
    if (mode_ != MCI_MODE_PLAY) return;
    SettleTo(GST_STATE_PAUSED);
    mode_ = MCI_MODE_PAUSE;
}

bool MediaPipeline::Resume() {
    if (mode_ != MCI_MODE_PAUSE) return false;
    Play();
    return true;
}

void MediaPipeline::SeekToStart() {
    SettleTo(GST_STATE_PAUSED);
    gst_element_seek_simple(pipeline_.get(), GST_FORMAT_TIME,
                            GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT), 0);
    gst_element_get_state(pipeline_.get(), nullptr, nullptr, kSettleTimeout);
    mode_ = MCI_MODE_STOP;
    atEnd_ = false;
}

std::uint32_t MediaPipeline::LengthMs() const {
    return static_cast<std::uint32_t>((duration_ + GST_MSECOND / 2) / GST_MSECOND);
}

std::uint32_t MediaPipeline::PositionMs() const {
    if (atEnd_) return LengthMs();
    gint64 position = 0;
    if (!gst_element_query_position(pipeline_.get(), GST_FORMAT_TIME, &position)) return 0;
    position = std::clamp<gint64>(position, 0, duration_);
    return static_cast<std::uint32_t>((position + GST_MSECOND / 2) / GST_MSECOND);
}

MCIERROR MediaPipeline::SetWindow(HWND) {
    return MCIERR_UNSUPPORTED_FUNCTION;
}

MCIERROR MediaPipeline::Put(const QRect&) {
    return MCIERR_UNSUPPORTED_FUNCTION;
}

MCIERROR MediaPipeline::Where(unsigned, QRect&) const {
    return MCIERR_UNSUPPORTED_FUNCTION;
}

}  // namespace platform
