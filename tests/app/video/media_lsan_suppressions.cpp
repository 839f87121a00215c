// GStreamer, GLib and the sound server's client keep per-process state until exit that the leak
// checker would report; none of it is ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libglib\nleak:libgobject\nleak:libgst\nleak:libpulse\nleak:libfontconfig\n"
         "leak:libdbus\n";
}
