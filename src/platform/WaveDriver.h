#pragma once

#include <gst/app/gstappsrc.h>
#include <sndfile.h>

#include "platform/MediaPipeline.h"

namespace platform {

// The wave audio device: libsndfile decodes the file (PCM of every width,
// float, mu-law, A-law, IMA and MS ADPCM) and feeds float samples through an
// appsrc into the default audio output.
class WaveDriver : public MediaPipeline {
  public:
    WaveDriver() = default;
    ~WaveDriver() override;

    unsigned DeviceType() const override { return MCI_DEVTYPE_WAVEFORM_AUDIO; }

  protected:
    GstElement* Build(const QByteArray& path, const QString& shownName,
                      MciFailure& failure) override;
    MciFailure Inspect(const QString&) override { return {}; }
    gint64 QueryDuration() override;

  private:
    struct SndfileClose {
        void operator()(SNDFILE* file) const { sf_close(file); }
    };

    static void OnNeedData(GstAppSrc* source, guint length, gpointer self);
    static gboolean OnSeekData(GstAppSrc* source, guint64 offset, gpointer self);
    void Feed(GstAppSrc* source);
    void SeekTo(guint64 time);
    GstElement* MakePipeline();

    std::mutex fileMutex_;  // the streaming thread reads, a seeking thread seeks
    std::unique_ptr<SNDFILE, SndfileClose> file_;
    SF_INFO info_{};
    sf_count_t nextFrame_ = 0;
};

}  // namespace platform
