#include "platform/media/LinuxMci.h"

#include "platform/ServiceSlot.h"
#include "platform/files/FileSystem.h"
#include "platform/media/MciCommands.h"
#include "platform/media/MediaCheck.h"
#include "platform/media/MediaPipeline.h"
#include "platform/media/VideoDriver.h"
#include "platform/media/WaveDriver.h"

namespace platform {

namespace {

enum class Driver { none, wave, video };

Driver DriverForType(const QString& type) {
    if (type.compare(QLatin1String("WaveAudio"), Qt::CaseInsensitive) == 0) return Driver::wave;
    for (const char* name : {"AVIVideo", "DigitalVideo", "MPEGVideo"})
        if (type.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return Driver::video;
    return Driver::none;
}

bool HasExtension(const QString& name, const char* extension) {
    return name.endsWith(QLatin1String(extension), Qt::CaseInsensitive);
}

std::unique_ptr<MediaPipeline> MakeDriver(Driver driver) {
    if (driver == Driver::wave) return std::make_unique<WaveDriver>();
    return std::make_unique<VideoDriver>();
}

}  // namespace

LinuxMci::LinuxMci() {
    StartGStreamer();
}

std::unique_ptr<IMciDevice> LinuxMci::Open(unsigned flags, const MCI_OPEN_PARMS& params,
                                           MciFailure& failure) {
    const QString element = (flags & MCI_OPEN_ELEMENT) ? params.lpstrElementName : QString();
    Driver driver = Driver::none;
    if (flags & MCI_OPEN_TYPE) {
        driver = DriverForType(params.lpstrDeviceType);
        if (driver == Driver::none) {
            failure = {MCIERR_INVALID_DEVICE_NAME,
                       QStringLiteral("No device of type \"%1\" is installed")
                           .arg(params.lpstrDeviceType)};
            return nullptr;
        }
    } else if (!element.isEmpty()) {
        driver = HasExtension(element, ".wav") ? Driver::wave : Driver::video;
    }
    if (element.isEmpty()) {
        failure = {MCIERR_MISSING_PARAMETER, QStringLiteral("No media file was given to open")};
        return nullptr;
    }
    const QByteArray path = FileSystem().NativePath(element);
    if (path.isEmpty()) {
        failure = {MCIERR_FILE_NOT_FOUND,
                   QStringLiteral("The file does not exist: %1").arg(element)};
        return nullptr;
    }
    const bool isAvi = driver == Driver::video && HasExtension(element, ".avi");
    failure = CheckMediaFile(path, element, isAvi);
    if (failure) return nullptr;
    std::unique_ptr<MediaPipeline> device = MakeDriver(driver);
    failure = device->Open(path, element);
    if (failure) return nullptr;
    return device;
}

namespace {

// The layer a process starts with: the command set over these devices.
class LinuxMciCommands : public MciCommands {
  public:
    LinuxMciCommands() : MciCommands(std::make_unique<LinuxMci>()) {}
};

}  // namespace

IMci& Mci() {
    return ServiceSlot<IMci, LinuxMciCommands>::Get();
}

std::unique_ptr<IMci> SetMci(std::unique_ptr<IMci> mci) {
    return ServiceSlot<IMci, LinuxMciCommands>::Swap(std::move(mci));
}

}  // namespace platform
