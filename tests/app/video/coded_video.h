#pragma once
// A test video whose every frame shows its own number: eight vertical stripes, white for a set
// bit, so the frame on screen can be read back from its pixels after compression.

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <QImage>
#include <filesystem>
#include <string>

namespace tidemet::testing {

inline int FrameNumberShown(const QImage& image) {
  if (image.isNull()) return -1;
  int number = 0;
  for (int bit = 0; bit < 8; ++bit) {
    const int x = (2 * bit + 1) * image.width() / 16;
    if (qGray(image.pixel(x, image.height() / 2)) > 128) number |= 1 << bit;
  }
  return number;
}

// Writes `frames` frames at 30 a second, 320 x 240, Motion-JPEG in AVI. Returns why it failed.
inline std::string WriteCodedVideo(const std::filesystem::path& file, int frames) {
  gst_init(nullptr, nullptr);
  GError* error = nullptr;
  GstElement* pipeline = gst_parse_launch(
      "appsrc name=src format=time caps=video/x-raw,format=GRAY8,width=320,height=240,"
      "framerate=30/1 ! videoconvert ! jpegenc ! avimux ! filesink name=file",
      &error);
  if (!pipeline) return error ? error->message : "no pipeline";
  GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "file");
  g_object_set(sink, "location", file.c_str(), nullptr);
  gst_object_unref(sink);
  GstElement* src = gst_bin_get_by_name(GST_BIN(pipeline), "src");
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  for (int k = 0; k < frames; ++k) {
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, 320 * 240, nullptr);
    GstMapInfo map;
    gst_buffer_map(buffer, &map, GST_MAP_WRITE);
    for (int y = 0; y < 240; ++y)
      for (int x = 0; x < 320; ++x) map.data[y * 320 + x] = ((k >> (x / 40)) & 1) ? 255 : 0;
    gst_buffer_unmap(buffer, &map);
    GST_BUFFER_PTS(buffer) = gst_util_uint64_scale(k, GST_SECOND, 30);
    GST_BUFFER_DURATION(buffer) = gst_util_uint64_scale(1, GST_SECOND, 30);
    gst_app_src_push_buffer(GST_APP_SRC(src), buffer);
  }
  gst_app_src_end_of_stream(GST_APP_SRC(src));
  gst_object_unref(src);
  GstBus* bus = gst_element_get_bus(pipeline);
  GstMessage* message = gst_bus_timed_pop_filtered(
      bus, 60 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
  std::string why = !message                                         ? "timed out"
                    : GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR ? "write failed"
                                                                     : "";
  if (message) gst_message_unref(message);
  gst_object_unref(bus);
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(pipeline);
  return why;
}

}  // namespace tidemet::testing
