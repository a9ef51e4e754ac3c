#pragma once

#include <map>
#include <memory>

#include "platform/media/MciBackend.h"

namespace platform {

// The media control command set in front of a device backend, the one
// owner of the rules every backend shares: each command's parameter block is
// checked at the call; device ids; error texts; and the notices. A command
// sent with MCI_NOTIFY gets exactly one notice, and none when it fails. A play
// (or resume) sent with MCI_NOTIFY posts "successful" at its end; a later
// stop, seek or close that ends it early posts "aborted", and so does a later
// play that asks for none; any other later command that asks for a notice
// (another play among them) takes it over and posts "superseded". Every other
// command sent with MCI_NOTIFY posts "successful" as it returns.
class MciCommands : public IMci {
  public:
    explicit MciCommands(std::unique_ptr<IMciBackend> backend);
    ~MciCommands() override;

    MCIERROR SendCommand(MCIDEVICEID device, unsigned message, unsigned flags,
                         MCI_GENERIC_PARMS* params) override;
    bool GetErrorString(MCIERROR error, char* buffer, unsigned length) override;

    bool IsOpen(MCIDEVICEID device) const { return devices_.count(device) != 0; }

  private:
    struct Device;

    MCIERROR Dispatch(MCIDEVICEID id, unsigned message, unsigned flags, MCI_GENERIC_PARMS& params);
    MCIERROR Open(unsigned flags, MCI_OPEN_PARMS& params);
    MCIERROR Close(MCIDEVICEID id, unsigned flags, HWND callback);
    MCIERROR Run(Device& device, unsigned message, unsigned flags, MCI_GENERIC_PARMS& params);
    MCIERROR Play(Device& device, unsigned flags, HWND callback);
    MCIERROR Resume(Device& device, unsigned flags, HWND callback);
    MCIERROR Seek(Device& device, unsigned flags);
    static MCIERROR Status(const IMciDevice& device, unsigned flags, MCI_STATUS_PARMS& params);
    static MCIERROR Capability(const IMciDevice& device, unsigned flags,
                               MCI_GETDEVCAPS_PARMS& params);
    MCIERROR Fail(MCIERROR error, const QString& text);

    std::unique_ptr<IMciBackend> backend_;
    std::map<MCIDEVICEID, std::unique_ptr<Device>> devices_;
    MCIDEVICEID nextId_ = 1;
    // The error of the latest command, with the text that names its problem.
    struct LastError {
        MCIERROR code = 0;
        QString text;
    } lastError_;
};

}  // namespace platform
