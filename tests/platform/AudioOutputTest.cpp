#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <vector>

#include "platform/sound/AudioOutput.h"
#include "support/EnvironmentScope.h"
#include "support/ServiceScope.h"

using namespace platform;

namespace {

// Answers what the test says the machine offers at this moment.
struct FakeAudioProbe : IAudioProbe {
    bool server = false;
    bool alsa = false;
    bool ServerAnswers() override { return server; }
    bool AlsaPlays() override { return alsa; }
};

// The machine as the test scripts it, one state per use, in place while it lives.
class ScriptedMachine {
  public:
    AudioRoute Use(bool server, bool alsa) {
        probe_->server = server;
        probe_->alsa = alsa;
        return CurrentAudioRoute();
    }

  private:
    ServiceScope<SetAudioProbe, FakeAudioProbe> probe_;
};

struct Moment {
    bool server;
    bool alsa;
    AudioRoute route;
};

struct Story {
    const char* name;
    std::vector<Moment> uses;
};

class AudioRouteTest : public testing::TestWithParam<Story> {};

// Every use takes the best output there is at that moment, however the
// machine changed since the last one.
TEST_P(AudioRouteTest, EachUseTakesTheBestOutputThereIsThen) {
    ScriptedMachine machine;
    int use = 0;
    for (const Moment& moment : GetParam().uses)
        EXPECT_EQ(machine.Use(moment.server, moment.alsa), moment.route) << "use " << use++;
}

constexpr auto kServer = AudioRoute::Server;
constexpr auto kAlsa = AudioRoute::Alsa;
constexpr auto kSilent = AudioRoute::Silent;

INSTANTIATE_TEST_SUITE_P(
    Machines, AudioRouteTest,
    testing::Values(Story{"ServerBeatsAlsa", {{true, true, kServer}, {true, false, kServer}}},
                    Story{"AlsaWithoutServer", {{false, true, kAlsa}}},
                    Story{"NothingIsSilent", {{false, false, kSilent}}},
                    Story{"ServerStartedLate", {{false, false, kSilent}, {true, false, kServer}}},
                    Story{"ServerGoneAndBack",
                          {{true, true, kServer},
                           {false, true, kAlsa},
                           {false, false, kSilent},
                           {true, false, kServer}}}),
    [](const testing::TestParamInfo<Story>& info) { return std::string(info.param.name); });

// The real probe knocks on the server's socket: one that listens answers, a
// socket left behind by a killed server and a missing one do not.
enum class Socket { Listening, LeftBehind, Missing };

struct SocketCase {
    const char* name;
    Socket socket;
    bool answers;
};

class ServerSocketTest : public testing::TestWithParam<SocketCase> {};

TEST_P(ServerSocketTest, ServerAnswersOnlyOnALiveSocket) {
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("native")));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.toStdString().copy(address.sun_path, sizeof address.sun_path - 1);
    if (GetParam().socket != Socket::Missing) {
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    }
    if (GetParam().socket == Socket::Listening) {
        ASSERT_EQ(::listen(fd, 4), 0);
    }
    const EnvironmentScope server("PULSE_SERVER", "unix:" + path);
    const ServiceScope<SetAudioProbe> machinesOwnProbe(nullptr);
    EXPECT_EQ(CurrentAudioRoute() == AudioRoute::Server, GetParam().answers);
    ::close(fd);
}

INSTANTIATE_TEST_SUITE_P(Sockets, ServerSocketTest,
                         testing::Values(SocketCase{"Listening", Socket::Listening, true},
                                         SocketCase{"LeftBehind", Socket::LeftBehind, false},
                                         SocketCase{"Missing", Socket::Missing, false}),
                         [](const testing::TestParamInfo<SocketCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
