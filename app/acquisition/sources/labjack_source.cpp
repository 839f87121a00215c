#include "app/acquisition/sources/labjack_source.h"

#include <cstring>
#include <string>

#include "app/session/text.h"
#include "platform/labjackud/labjackud.h"

namespace tidemet {
namespace {

constexpr int32_t kDriverErrorBase = 50000;

}  // namespace

Alert LabJackOpenMessage(int32_t number, const char* text) {
  std::string message;
  if (number == kDriverErrorBase + LJE_LABJACK_NOT_FOUND) {
    message = "Interface data cable is not connected, Error #" +
              NumText(static_cast<long long>(LJE_LABJACK_NOT_FOUND)) + "  " + text;
  } else if (number > kDriverErrorBase) {
    message = "Function returned LabJackUD Error #" +
              NumText(static_cast<long long>(number - kDriverErrorBase)) + "  " + text;
  } else {
    message = "VB error: Error #" + NumText(static_cast<long long>(number)) + "  " + text;
  }
  return {std::string(AppTitle), message, AlertIcon::Exclamation, AlertButtons::Ok};
}

LabJackSource::LabJackSource(const LabJackSettings& settings, DeviceMessages& messages)
    : settings_(settings) {
  char text[LJ_ERROR_TEXT_SIZE] = {};
  driverVersion_ = GetDriverVersion();
  LJ_HANDLE handle = 0;
  LJ_ERROR code = OpenLabJack(LJ_dtU3, LJ_ctUSB, "1", 1, &handle);
  ErrorToString(code, text);
  if (code == LJE_NOERROR) code = ePut(handle, LJ_ioPIN_CONFIGURATION_RESET, 0, 0, 0);
  if (code == LJE_NOERROR) {
    double lines = 15.0;  // flexible I/O lines 0-3 analog
    code = eGet(handle, LJ_ioPUT_ANALOG_ENABLE_PORT, 0, &lines, 16);
  }
  if (code == LJE_NOERROR) {
    handle_ = handle;
    return;
  }
  ErrorToString(code, text);
  messages.post(LabJackOpenMessage(kDriverErrorBase + code, text));
  double zero = 0.0;
  eGet(handle, LJ_ioHALT, 0, &zero, 0);
}

void LabJackSource::halt() {
  double zero = 0.0;
  eGet(handle_, LJ_ioHALT, 0, &zero, 0);
}

LabJackSource::Read LabJackSource::readFor22() const {
  if (settings_.SensorType != 0) return Read::Differential;
  if (settings_.LimbMode == 1) return Read::SingleEnded;
  if (settings_.LimbMode == 2) return Read::Differential;
  return Read::None;  // arm and leg: both readings 0
}

bool LabJackSource::read(Read how, int channel, int r, ReadingSet& out) {
  double v = 0.0;
  if (how == Read::SingleEnded) {
    const LJ_ERROR code = eGet(handle_, LJ_ioGET_AIN, channel, &v, 0);
    if (code != LJE_NOERROR) {
      // Every failing tick carries its error: the tick then neither stores nor advances, and
      // the window tells the user once per run of failures.
      out.errorNumber = kDriverErrorBase + code;
      out.errorAfter = static_cast<int16_t>(r);
      char text[LJ_ERROR_TEXT_SIZE] = {};
      ErrorToString(code, text);
      out.setErrorText(text);
      return false;
    }
  } else if (how == Read::Differential) {
    eGet(handle_, LJ_ioGET_AIN_DIFF, channel, &v, LJ_chSPECIAL_NEGATIVE);  // not tested
  }
  out.set(r, v);
  return true;
}

void LabJackSource::takeReadings(ReadingSet& out) {
  // Without a handle the opening has told the user already; asking the driver in every tick
  // would only repeat an invalid-handle box a hundred times a second.
  if (handle_ == 0) return;
  if (settings_.ModelCode == 23) {
    if (read(Read::SingleEnded, 0, 0, out) && read(Read::SingleEnded, 1, 1, out)) {
      read(Read::Differential, 2, 2, out);
      read(Read::Differential, 3, 3, out);
    }
  } else {
    const Read how = readFor22();
    if (read(how, 0, 0, out)) read(how, 1, 1, out);
  }
}

}  // namespace tidemet
