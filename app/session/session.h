#pragma once
// The one shared session record. Every window and core routine works on the same instance,
// created at start-up and passed by reference. Field names are the record's own; integer widths
// follow the record (16-bit where it says so) because overflow and rounding depend on them.

#include <array>
#include <cstdint>
#include <string>

#include "app/analysis/analysis_results.h"
#include "app/session/labels.h"
#include "app/session/settings_checks.h"

namespace tidemet {

inline constexpr int kTrialDataSize = 30001;  // indices 0..30000
inline constexpr int kMaxChannels = 8;
inline constexpr int kSweepWidth = 550;       // graph columns 0..549
inline constexpr int16_t kDefaultBaselineOffset = -1185;

struct Session {
  // --- Interface and channels -------------------------------------------------------------
  int16_t ModelCode = 0;
  int16_t RecordedModelCode = 0;
  int16_t DemoMode = 0;
  int16_t ChannelCount = 8;
  int16_t PairStartChannel = 0;
  int16_t PairSecondChannel = 1;
  int16_t SaveFirstChannel = 0;
  int16_t SaveLastChannel = 7;
  int16_t SensorType = 0;
  int16_t LimbMode = 1;  // 1 arm, 2 leg, 3 arm and leg
  int16_t SensorValueOffset = 0;
  int16_t ModelOffset = 0;

  // --- Trial buffer and time base ---------------------------------------------------------
  std::array<int16_t, kTrialDataSize> TrialData{};
  int16_t SampleIndex = 0;
  int16_t SampleCount = 0;
  int16_t MonitorOnly = 1;
  int16_t SweepEraseOn = 0;
  int16_t GraphColumn = 0;
  float TrialSeconds = 0.0f;
  float SecondsPerSample = 0.02f;
  int16_t DelayCount = 0;
  float SpeedFactor = 1.0f;
  int16_t BufferCount = 10;

  // --- Calibration, display and units -----------------------------------------------------
  float PressurePerCount = 0.00976f;
  int16_t AxisTop = 7820;
  int16_t AxisStep = 1564;
  std::array<float, 12> AxisValues{};    // 1..11 used
  std::array<int16_t, 12> AxisLabels{};  // 1..11 used
  float CalibrationFactor = 1.0f;
  float CalibrationSetting = 1.0f;
  float GraphGain = 1.0f;
  int16_t SurfaceArea = 0;  // square centimetres
  int16_t UnitsFlag = 1;    // 1 metric, 0 US
  int16_t RecordedUnitsFlag = 1;
  int16_t DataUnitsFlag = 1;
  int16_t BaselineOffset = kDefaultBaselineOffset;
  std::array<int16_t, 11> BaselineOffsets{};   // 0..10
  std::array<int16_t, 9> RememberedOffsets{};  // 0..8
  int16_t PlotThreshold = 1000;
  float TransmitterFactor = 2.35f;
  int32_t WindowBackColor = 0xC0C0C0;
  int32_t WindowForeColor = 0x000000;
  int32_t DataBackColor = 0x000000;
  int32_t DataForeColor = 0x00FF00;

  // --- Joint set-up -----------------------------------------------------------------------
  int16_t CurrentJoint = 2;
  int16_t JointAction = 1;  // 0 positive/negative, 1 flexion/extension, 2 adduction/abduction
  std::array<int16_t, 4> PairJoints{2, 2, 3, 3};
  std::array<int16_t, 4> PairAreas{};
  std::array<std::string, 4> PairLabels{};
  std::string PairLabel;
  std::string Stroke = "Elbow";  // joint name, or the stroke of a swimming trial
  std::array<int16_t, 7> SegmentAreas{};

  // --- Modes and serial unit --------------------------------------------------------------
  int16_t ExerciseMode = 1;  // 1 exercise, 2 research, 3 swimming, 4 therapy
  int16_t SwimDistance = 0;
  int16_t SwimFlag = 0;
  int16_t SwimGraphFlag = 0;
  int16_t AutosaveFlag = 0;
  int16_t ComPort = 1;
  int16_t ComPortAddress = 1016;
  int16_t UnitNode = 92;
  int16_t ComputerClass = 1;
  int16_t UnitStatus = 0;
  int16_t UnitReading = 0;
  double FrameValueA = 0.0;
  double FrameValueB = 0.0;
  int32_t LabJackHandle = 0;

  // --- Trial record and client ------------------------------------------------------------
  std::string DataVersionTag = "Tidemet V5.6";
  std::string DataClientName;
  std::string FileClientName;
  std::string ClientName;
  std::string ClientCode;
  std::string ClientHeight;  // three characters, current units
  std::string ClientWeight;  // three characters, current units
  std::string Comments;
  std::string CurrentFileName;

  // --- Institution ------------------------------------------------------------------------
  std::array<std::string, 6> InstitutionLines{};

  // --- Settings window and trial files --------------------------------------------------------
  // Check marks of the settings window (models, Com ports, nodes, computer class, modes).
  SettingsChecks settingsChecks{};
  std::string WorkingFolder;  // folder of client.lst and company.lst, fixed at start-up
  int16_t OpenFailed = 0;     // the last open refused its file
  int16_t OpenedFromFile = 0; // the trial in memory came from a file (client clicks are ignored)
  int16_t EquipmentFlag = 0;  // the current pair is an item of equipment (label ends in "Eqp")

  // --- Texts shown by the windows, kept with the state they describe --------------------------
  Labels labels{};

  // --- Results of the repetition analysis, read by the analysis, comparison and chart windows
  AnalysisResults analysis{};

  // Channel column `c` of sample row `k`, or -1 when it lies outside TrialData.
  int trialIndex(int k, int c) const {
    long index = static_cast<long>(k) * ChannelCount + c;
    return (index >= 0 && index < kTrialDataSize) ? static_cast<int>(index) : -1;
  }
};

}  // namespace tidemet
