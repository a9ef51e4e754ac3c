#pragma once

#include "platform/media/MciBackend.h"

namespace platform {

// The media devices on GStreamer: one driver per device type, chosen from
// the device type name or else from the file: wave audio for ".wav", video
// for everything else. Mci() puts the command set (MciCommands) in front.
class LinuxMci : public IMciBackend {
  public:
    LinuxMci();

    std::unique_ptr<IMciDevice> Open(unsigned flags, const MCI_OPEN_PARMS& params,
                                     MciFailure& failure) override;
};

}  // namespace platform
