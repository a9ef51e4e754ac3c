#include "platform/sound/AudioOutput.h"

#include <gst/gst.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QByteArray>
#include <QLoggingCategory>
#include <mutex>

// alsa-lib 1.2.8 declares snd_lib_error_set_local outside its C linkage block.
extern "C" {
#include <alsa/asoundlib.h>
}

#include "platform/ServiceSlot.h"

namespace platform {

Q_LOGGING_CATEGORY(lcAudioOutput, "brelmo.platform.audiooutput", QtInfoMsg)

namespace {

// A click's sink holds little, so that it is heard at once and its end is
// near: 4 ms in 1 ms writes on a sound server (which takes the stream's
// latency from them), 20 ms in 5 ms periods on a sound card, which would
// underrun below that.
struct SinkBuffer {
    gint64 bufferUs;
    gint64 writeUs;
};
constexpr SinkBuffer kServerClick{4000, 1000};
constexpr SinkBuffer kAlsaClick{20000, 5000};

// True when a stream socket at 'path' takes a connection (a stale socket
// left by a killed server refuses it).
bool SocketAnswers(const QByteArray& path) {
    sockaddr_un address{};
    if (path.isEmpty() || path.size() >= static_cast<qsizetype>(sizeof address.sun_path))
        return false;
    address.sun_family = AF_UNIX;
    path.toStdString().copy(address.sun_path, sizeof address.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool answers =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return answers;
}

QByteArray RuntimePath(const char* name) {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    return runtime.isEmpty() ? QByteArray() : runtime + '/' + name;
}

// The server's socket as its clients find it: PULSE_SERVER ("unix:PATH" or a
// path), else the runtime folder's. Any other server address (a network
// one) cannot be knocked on cheaply and counts as answering.
class LinuxAudioProbe : public IAudioProbe {
  public:
    bool ServerAnswers() override {
        const QByteArray server = qgetenv("PULSE_SERVER");
        if (server.isEmpty()) return SocketAnswers(RuntimePath("pulse/native"));
        if (server.startsWith("unix:")) return SocketAnswers(server.mid(5));
        return !server.startsWith('/') || SocketAnswers(server);
    }

    bool AlsaPlays() override {
        int card = -1;
        return (snd_card_next(&card) == 0 && card >= 0) || SocketAnswers(RuntimePath("pipewire-0"));
    }
};

using ProbeSlot = ServiceSlot<IAudioProbe, LinuxAudioProbe>;

const char* RouteName(AudioRoute route) {
    switch (route) {
        case AudioRoute::Server:
            return "the desktop sound server";
        case AudioRoute::Alsa:
            return "ALSA";
        case AudioRoute::Silent:
            return "no sound device (silent)";
    }
    return "?";
}

// The route the last use took, so that each change is logged once, from
// whichever thread first sees it.
struct RouteLog {
    std::mutex mutex;
    bool known = false;
    AudioRoute last = AudioRoute::Silent;
};

RouteLog& Log() {
    static RouteLog log;
    return log;
}

void NoteRoute(AudioRoute route) {
    RouteLog& log = Log();
    const std::lock_guard lock(log.mutex);
    if (log.known && route == log.last) return;
    if (log.known && log.last == AudioRoute::Server)
        qCWarning(lcAudioOutput) << "the sound server went away; sound goes to" << RouteName(route);
    else
        qCDebug(lcAudioOutput) << "sound goes to" << RouteName(route);
    log.known = true;
    log.last = route;
}

}  // namespace

AudioRoute ChooseAudioRoute(IAudioProbe& probe) {
    if (probe.ServerAnswers()) return AudioRoute::Server;
    if (probe.AlsaPlays()) return AudioRoute::Alsa;
    return AudioRoute::Silent;
}

AudioRoute CurrentAudioRoute() {
    const AudioRoute route = ChooseAudioRoute(ProbeSlot::Get());
    NoteRoute(route);
    return route;
}

bool SoundCanBeHeard() {
    return ChooseAudioRoute(ProbeSlot::Get()) != AudioRoute::Silent;
}

void NoteAudioOutputLost(AudioRoute route) {
    // Its socket may still answer for a moment: the loss itself is the news.
    if (route == AudioRoute::Server) NoteRoute(AudioRoute::Silent);
}

std::unique_ptr<IAudioProbe> SetAudioProbe(std::unique_ptr<IAudioProbe> probe) {
    return ProbeSlot::Swap(std::move(probe));
}

GstElement* MakeAudioOutput(AudioRoute route, AudioLatency latency) {
    const char* factory = route == AudioRoute::Server ? "pulsesink"
                          : route == AudioRoute::Alsa ? "alsasink"
                                                      : "fakesink";
    GstElement* sink = gst_element_factory_make(factory, nullptr);
    if (!sink) {
        qCWarning(lcAudioOutput) << "missing GStreamer element" << factory;
        return nullptr;
    }
    if (route == AudioRoute::Silent) {
        g_object_set(sink, "sync", TRUE, "enable-last-sample", FALSE, nullptr);
    } else if (latency == AudioLatency::Click) {
        const SinkBuffer& buffer = route == AudioRoute::Server ? kServerClick : kAlsaClick;
        g_object_set(sink, "buffer-time", buffer.bufferUs, "latency-time", buffer.writeUs, nullptr);
    }
    return sink;
}

}  // namespace platform
