#pragma once

#include "platform/media/MediaPipeline.h"
#include "platform/sound/WaveSource.h"

namespace platform {

// The wave audio device: the sound service's decoder and source (libsndfile,
// every wave encoding it reads, opened by descriptor) feed the audio output
// through audioconvert and audioresample.
class WaveDriver : public MediaPipeline {
  public:
    WaveDriver() = default;
    ~WaveDriver() override;

    unsigned DeviceType() const override { return MCI_DEVTYPE_WAVEFORM_AUDIO; }

  protected:
    GstElement* Build(const QByteArray& path, const QString& shownName,
                      MciFailure& failure) override;
    MciFailure Inspect(const QString&) override { return {}; }
    gint64 QueryDuration() override { return duration_; }
    void PutAudioOutput(GstElement* sink) override;

  private:
    WaveSource source_;
    GstElement* last_ = nullptr;    // the resampler; held by the pipeline
    GstElement* output_ = nullptr;  // held by the pipeline
    gint64 duration_ = 0;
};

}  // namespace platform
