#include "app/video/capture_pipeline.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <mutex>
#include <thread>

namespace tidemet {
namespace {

void InitGstreamer() {
  static std::once_flag once;
  std::call_once(once, [] { gst_init_check(nullptr, nullptr, nullptr); });
}

GstElement* Child(GstElement* pipeline, const char* name) {
  return gst_bin_get_by_name(GST_BIN(pipeline), name);
}

}  // namespace

struct PipelineCallbacks {
  static GstBusSyncReply onBusMessage(GstBus*, GstMessage* message, gpointer data) {
    auto* self = static_cast<CapturePipeline*>(data);
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) {
      self->finish({});
    } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
      GError* error = nullptr;
      gst_message_parse_error(message, &error, nullptr);
      self->finish(error && error->message ? error->message : "The camera stopped.");
      if (error) g_error_free(error);
    }
    return GST_BUS_DROP;
  }

  static GstPadProbeReturn onEncoded(GstPad*, GstPadProbeInfo* info, gpointer data) {
    auto* self = static_cast<CapturePipeline*>(data);
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    std::lock_guard lock(self->mutex_);
    ++self->frames_;
    if (buffer && GST_BUFFER_PTS_IS_VALID(buffer)) {
      const auto pts = static_cast<int64_t>(GST_BUFFER_PTS(buffer));
      if (self->firstPtsNs_ < 0) self->firstPtsNs_ = pts;
      self->lastPtsNs_ = pts;
    }
    return GST_PAD_PROBE_OK;
  }

  static GstFlowReturn onPreview(GstAppSink* sink, gpointer data) {
    auto* self = static_cast<CapturePipeline*>(data);
    GstSample* sample = gst_app_sink_pull_sample(sink);
    if (!sample) return GST_FLOW_OK;
    GstVideoInfo info;
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    if (buffer && gst_video_info_from_caps(&info, gst_sample_get_caps(sample)) &&
        gst_buffer_map(buffer, &map, GST_MAP_READ)) {
      const int width = GST_VIDEO_INFO_WIDTH(&info);
      const int height = GST_VIDEO_INFO_HEIGHT(&info);
      const int stride = GST_VIDEO_INFO_PLANE_STRIDE(&info, 0);
      if (map.size >= static_cast<gsize>(stride) * static_cast<gsize>(height) &&
          self->events_.frame)
        self->events_.frame(map.data, width, height, stride);
      gst_buffer_unmap(buffer, &map);
    }
    gst_sample_unref(sample);
    return GST_FLOW_OK;
  }
};

CapturePipeline::CapturePipeline() { InitGstreamer(); }

CapturePipeline::~CapturePipeline() { abort(); }

std::string CapturePipeline::Describe(const CaptureSource& source,
                                      const std::filesystem::path& file) {
  (void)file;  // the location is set as a property: any file name is taken as it stands
  const std::string from = source.kind == CaptureSource::Kind::DemoPattern
                               ? "videotestsrc name=src is-live=true pattern=ball"
                               : "v4l2src name=src";
  // videorate keeps 30 frames a second in the file whatever the camera delivers, so a frame's
  // number always tells its time.
  return from + " ! videoconvert ! videoscale ! videorate name=rate ! video/x-raw,width=" +
         std::to_string(kCaptureWidth) + ",height=" + std::to_string(kCaptureHeight) +
         ",framerate=" + std::to_string(kCaptureFramesPerSecond) +
         "/1 ! tee name=split split. ! queue max-size-buffers=" + std::to_string(kCaptureBuffers) +
         " max-size-bytes=0 max-size-time=0 ! videoconvert ! jpegenc name=enc ! avimux ! "
         "filesink name=file split. ! queue leaky=downstream max-size-buffers=2 ! videoconvert ! "
         "video/x-raw,format=BGRx ! appsink name=preview max-buffers=1 drop=true sync=false";
}

std::optional<std::string> CapturePipeline::start(const CaptureSource& source,
                                                  const std::filesystem::path& file,
                                                  Events events) {
  abort();
  GError* error = nullptr;
  GstElement* pipeline = gst_parse_launch(Describe(source, file).c_str(), &error);
  if (!pipeline || error) {
    std::string why = error && error->message ? error->message : "GStreamer is incomplete.";
    if (error) g_error_free(error);
    if (pipeline) gst_object_unref(pipeline);
    return "The video capture could not be set up: " + why;
  }
  {
    std::lock_guard lock(mutex_);
    frames_ = 0;
    firstPtsNs_ = lastPtsNs_ = -1;
    dropped_ = 0;
  }
  events_ = std::move(events);
  ended_.store(false);
  pipeline_ = pipeline;

  GstElement* src = Child(pipeline, "src");
  if (source.kind == CaptureSource::Kind::Camera && !source.device.empty())
    g_object_set(src, "device", source.device.c_str(), nullptr);
  gst_object_unref(src);
  GstElement* sink = Child(pipeline, "file");
  g_object_set(sink, "location", file.c_str(), nullptr);
  gst_object_unref(sink);
  GstElement* enc = Child(pipeline, "enc");
  GstPad* pad = gst_element_get_static_pad(enc, "src");
  gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, PipelineCallbacks::onEncoded, this, nullptr);
  gst_object_unref(pad);
  gst_object_unref(enc);
  GstElement* preview = Child(pipeline, "preview");
  GstAppSinkCallbacks callbacks{};
  callbacks.new_sample = PipelineCallbacks::onPreview;
  gst_app_sink_set_callbacks(GST_APP_SINK(preview), &callbacks, this, nullptr);
  gst_object_unref(preview);
  GstBus* bus = gst_element_get_bus(pipeline);
  gst_bus_set_sync_handler(bus, PipelineCallbacks::onBusMessage, this, nullptr);
  gst_object_unref(bus);

  if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
    abort();
    return std::string("The camera could not be opened.");
  }
  return std::nullopt;
}

void CapturePipeline::stop() {
  if (pipeline_ && !ended_.load()) gst_element_send_event(pipeline_, gst_event_new_eos());
}

void CapturePipeline::finish(const std::string& error) {
  if (ended_.exchange(true)) return;
  if (GstElement* rate = Child(pipeline_, "rate")) {
    guint64 duplicated = 0;
    g_object_get(rate, "duplicate", &duplicated, nullptr);
    gst_object_unref(rate);
    std::lock_guard lock(mutex_);
    dropped_ = static_cast<long>(duplicated);
  }
  if (events_.ended) events_.ended(error);
}

void CapturePipeline::abort(std::chrono::milliseconds grace) {
  if (!pipeline_) return;
  if (grace.count() > 0 && !ended_.load()) {
    stop();
    const auto until = std::chrono::steady_clock::now() + grace;
    while (!ended_.load() && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ended_.store(true);  // nothing is reported while the pipeline is taken down
  gst_element_set_state(pipeline_, GST_STATE_NULL);
  GstBus* bus = gst_element_get_bus(pipeline_);
  gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
  gst_object_unref(bus);
  gst_object_unref(pipeline_);
  pipeline_ = nullptr;
  events_ = {};
}

CaptureStatus CapturePipeline::status() const {
  std::lock_guard lock(mutex_);
  CaptureStatus s;
  s.frames = frames_;
  s.dropped = dropped_;
  s.buffers = frames_ > 0 ? kCaptureBuffers : 0;
  if (firstPtsNs_ >= 0 && lastPtsNs_ >= firstPtsNs_)
    s.elapsedMs = (lastPtsNs_ - firstPtsNs_) / 1000000 + 1000 / kCaptureFramesPerSecond;
  return s;
}

}  // namespace tidemet
