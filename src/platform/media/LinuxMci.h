#pragma once

#include <map>
#include <memory>

#include "platform/media/Mci.h"

namespace platform {

class MediaPipeline;

// The media control layer on GStreamer: one driver per device type, chosen
// from the device type name or else from the file: wave audio for ".wav",
// video for everything else.
class LinuxMci : public IMci {
  public:
    LinuxMci();
    ~LinuxMci() override;

    MCIERROR SendCommand(MCIDEVICEID device, unsigned message, unsigned flags,
                         void* params) override;
    bool GetErrorString(MCIERROR error, char* buffer, unsigned length) override;

  private:
    struct Device {
        std::unique_ptr<MediaPipeline> driver;
        PlayNotice notice;
    };

    MCIERROR Dispatch(MCIDEVICEID id, unsigned message, unsigned flags, void* params);
    MCIERROR Open(unsigned flags, MCI_OPEN_PARMS& params);
    MCIERROR Close(MCIDEVICEID id, unsigned flags, HWND callback);
    MCIERROR Play(Device& device, unsigned flags, const MCI_PLAY_PARMS& params);
    MCIERROR Resume(Device& device, unsigned flags, HWND callback);
    MCIERROR Seek(Device& device, unsigned flags);
    static MCIERROR Status(const Device& device, unsigned flags, MCI_STATUS_PARMS& params);
    static MCIERROR Capability(const Device& device, unsigned flags, MCI_GETDEVCAPS_PARMS& params);
    MCIERROR Run(Device& device, unsigned message, unsigned flags, void* params);
    void WaitForEnd(Device& device);
    MCIERROR Fail(MCIERROR error, const QString& text);

    std::map<MCIDEVICEID, std::unique_ptr<Device>> devices_;
    MCIDEVICEID nextId_ = 1;
    // The error of the latest command, with the text that names its problem.
    struct LastError {
        MCIERROR code = 0;
        QString text;
    } lastError_;
};

}  // namespace platform
