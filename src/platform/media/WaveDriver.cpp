#include "platform/media/WaveDriver.h"

namespace platform {

WaveDriver::~WaveDriver() {
    Shutdown();
}

GstElement* WaveDriver::Build(const QByteArray& path, const QString& shownName,
                              MciFailure& failure) {
    QString whyNot;
    auto decoder = WaveDecoder::OpenFile(path, WaveDecoder::Accept::WaveOnly, &whyNot);
    if (!decoder) {
        failure = {MCIERR_INVALID_FILE,
                   QStringLiteral("Not a playable wave file (%1): %2").arg(whyNot, shownName)};
        return nullptr;
    }
    GstElement* pipeline = gst_pipeline_new("wave");
    GstElement* source = gst_element_factory_make("appsrc", nullptr);
    GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
    last_ = gst_element_factory_make("audioresample", nullptr);
    if (!source || !convert || !last_) {
        for (GstElement* element : {source, convert, last_})
            if (element) gst_object_unref(gst_object_ref_sink(element));
        gst_object_unref(gst_object_ref_sink(pipeline));
        failure = {
            MCIERR_CANNOT_LOAD_DRIVER,
            QStringLiteral("The sound output is not installed completely: %1").arg(shownName)};
        return nullptr;
    }
    gst_bin_add_many(GST_BIN(pipeline), source, convert, last_, nullptr);
    gst_element_link_many(source, convert, last_, nullptr);
    duration_ = decoder->Duration().count();
    source_.Attach(source);
    source_.Replace(std::move(decoder), false);
    return pipeline;
}

void WaveDriver::PutAudioOutput(GstElement* sink) {
    if (output_) gst_bin_remove(GST_BIN(Pipeline()), output_);
    output_ = sink;
    gst_bin_add(GST_BIN(Pipeline()), sink);
    gst_element_link(last_, sink);
}

}  // namespace platform
