#pragma once
// The one QApplication of the window tests, created on first use on the offscreen platform so
// that no test needs a display.

class QApplication;

namespace tidemet::testing {

QApplication& TestApplication();

}  // namespace tidemet::testing
