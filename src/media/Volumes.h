#pragma once

#include <array>
#include <cstdint>

#include "toolkit/Component.h"
#include "toolkit/Timer.h"
#include "toolkit/TrackBar.h"

// Reads and sets the output volume of three lines (0 CD, 1 wave, 2 MIDI) and
// keeps up to three sliders in step with them: a linked slider sets its
// line's volume when the user moves it, and a poll timer puts every linked
// slider back in step with the device, so that changes made outside the
// program show. A vertical slider has the loud end at the top.
//
// A volume is a byte, 0 (silent) to 255 (loudest). A line without a device
// reads 0 and ignores writes. The poll allocates nothing.
//
// The device search runs at creation, or, for a control made with
// dsOnRequest, when SearchDevices is called or a volume is first read or
// written: opening the mixers can wait until the window is on screen. Until
// then the polls leave linked sliders where they are. A linked slider whose
// line has no device looks for one again at each poll.
class TVolumeControl : public TComponent {
  public:
    enum TDeviceSearch { dsAtCreation, dsOnRequest };

    explicit TVolumeControl(TComponent* AOwner, TDeviceSearch search = dsAtCreation);
    ~TVolumeControl() override;

    // Milliseconds between two polls; 0 stops the poll.
    int Interval() const { return pollTimer_->Interval(); }
    void SetInterval(int milliseconds) { pollTimer_->SetInterval(milliseconds); }

    std::uint8_t CDVolume() const { return GetVolume(0); }
    void SetCDVolume(std::uint8_t value) { SetVolume(0, value); }
    TTrackBar* CDTrackBar() const { return trackBars_[0]; }
    void SetCDTrackBar(TTrackBar* trackBar) { SetTrackBar(0, trackBar); }
    std::uint8_t WaveVolume() const { return GetVolume(1); }
    void SetWaveVolume(std::uint8_t value) { SetVolume(1, value); }
    TTrackBar* WaveTrackBar() const { return trackBars_[1]; }
    void SetWaveTrackBar(TTrackBar* trackBar) { SetTrackBar(1, trackBar); }
    std::uint8_t MidiVolume() const { return GetVolume(2); }
    void SetMidiVolume(std::uint8_t value) { SetVolume(2, value); }
    TTrackBar* MidiTrackBar() const { return trackBars_[2]; }
    void SetMidiTrackBar(TTrackBar* trackBar) { SetTrackBar(2, trackBar); }

    std::uint8_t GetVolume(int line) const;
    void SetVolume(int line, std::uint8_t value);
    // Links a slider (or none) to a line; the slider's OnChange becomes this
    // control's. Linking the slider already linked does nothing.
    void SetTrackBar(int line, TTrackBar* trackBar);
    // Puts every linked slider in step with its line; the poll's tick.
    void SyncTrackBars(TObject* Sender);
    // What a linked slider's OnChange runs: sets every line linked to it.
    void TrackBarChange(TObject* Sender);
    // Picks each line's device (once), then puts the sliders in step.
    void SearchDevices();
    bool DevicesSearched() const { return devicesSearched_; }

    void Notification(TComponent* AComponent, TOperation Operation) override;

    static constexpr int kLineCount = 3;

  private:
    // The OnChange handler put into linked sliders; a type of its own so that
    // a slider's slot can be recognised as this control's.
    struct ChangeHook {
        TVolumeControl* control;
        void operator()(TObject* Sender) const { control->TrackBarChange(Sender); }
    };

    void PickDevices() const;
    bool SliderWithoutDevice() const;
    bool IsLinked(const TTrackBar* trackBar) const;
    void Unhook(TTrackBar* trackBar);

    // Picked on first use when the search waits for a request.
    mutable std::array<int, kLineCount> deviceIds_{-1, -1, -1};
    std::array<TTrackBar*, kLineCount> trackBars_{};
    TTimer* pollTimer_;
    mutable bool devicesSearched_ = false;
};
