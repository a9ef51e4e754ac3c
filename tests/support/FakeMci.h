#pragma once

#include <QRect>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/media/MciCommands.h"
#include "support/ServiceScope.h"

// One command as the fake media layer received it.
struct MciCall {
    platform::MCIDEVICEID device = 0;
    unsigned message = 0;
    unsigned flags = 0;
    QString element;            // MCI_OPEN
    QString type;               // MCI_OPEN
    QWidget* window = nullptr;  // MCI_WINDOW
    QRect rect;                 // MCI_PUT
};

// A scripted media layer for tests: records every command with its flag
// word and sends it on through the real command set to scripted devices,
// which answer from the values the test set; the end of a play comes only
// when the test calls EndPlay.
class FakeMci : public platform::IMci {
  public:
    FakeMci();

    platform::MCIERROR SendCommand(platform::MCIDEVICEID device, unsigned message, unsigned flags,
                                   platform::MCI_GENERIC_PARMS* params) override;
    bool GetErrorString(platform::MCIERROR error, char* buffer, unsigned length) override;

    // The next 'message' fails with 'error' before it reaches the command
    // set; 'text' is the error's text.
    void FailNext(unsigned message, platform::MCIERROR error, const QString& text = {});
    // Ends the pending play with 'result' (posts its notice, if any).
    void EndPlay(unsigned result = platform::MCI_NOTIFY_SUCCESSFUL);

    const std::vector<MciCall>& Calls() const { return calls_; }
    std::vector<unsigned> Messages() const;
    // The calls of one kind, in order.
    std::vector<MciCall> CallsOf(unsigned message) const;
    void ClearCalls() { calls_.clear(); }
    bool IsOpen(platform::MCIDEVICEID device) const { return commands_.IsOpen(device); }

    // What the next opened device reports.
    bool hasVideo = true;
    QSize naturalSize{160, 120};
    std::uint32_t length = 1000;
    std::uint32_t position = 0;
    unsigned mode = platform::MCI_MODE_STOP;
    // Runs inside every MCI_OPEN, as the real layer's waiting would.
    std::function<void()> whileOpening;

  private:
    class Device;
    class Backend;

    std::vector<MciCall> calls_;
    std::map<unsigned, platform::MCIERROR> failures_;
    std::map<platform::MCIERROR, QString> texts_;
    Device* playing_ = nullptr;
    platform::MciCommands commands_;
};

using FakeMciScope = ServiceScope<platform::SetMci, FakeMci>;
