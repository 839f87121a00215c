#pragma once
// client.lst and company.lst in the working folder: the client list, and the institution lines
// with the settings restored at start-up. Both are record files (record_codec.h).

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/files/client_list.h"
#include "app/files/record_codec.h"
#include "app/session/alerts.h"
#include "app/session/session.h"

namespace tidemet {

inline constexpr std::string_view kClientListName = "client.lst";
inline constexpr std::string_view kCompanyListName = "company.lst";

// The largest lists read: 10000 clients of the widest entry the program writes (67 characters,
// 71 bytes with quotes and line end) - 710000 bytes; six institution lines of the longest text
// a box holds and 26 numbers - 198082 bytes.
inline constexpr size_t kMostClients = 10000;
inline constexpr size_t kLargestClientListBytes = kMostClients * 71;
inline constexpr size_t kLargestCompanyListBytes =
    6 * (kLongestStoredText + kFieldFraming) + 26 * (kWidestNumberText + 2);

// The saved forms of the settings, in company.lst's order. The defaults are those a short file
// leaves in place.
struct CompanySettings {
  std::array<std::string, 6> institutionLines{};
  int16_t delayCount = 0;
  float calibrationFactor = 1.0f;
  int16_t modelCode = 0;
  int16_t unitsFlag = 1;
  int16_t exerciseMode = 1;
  int32_t windowBackColor = 0xC0C0C0;
  int32_t dataForeColor = 0x00FF00;
  int32_t windowForeColor = 0x000000;
  int32_t dataBackColor = 0x000000;
  int16_t comPort = 1;
  std::array<int16_t, 8> rememberedOffsets{};
  int16_t swimDistance = 0;
  int16_t computerClass = 1;
  int16_t unitNode = 92;
  int16_t sensorType = 0;
  int16_t sensorValueOffset = 0;
  int16_t demoMode = 0;  // record 7: the demonstration set-up of model 0
};

// Why a list could not be read: empty when it was read.
struct ListError {
  std::string text;
  explicit operator bool() const { return !text.empty(); }
};

CompanySettings SavedSettingsOf(const Session& s);
std::string CompanyListBytes(const CompanySettings& settings);
// Record 1 always; records 2 to 6 each only while the file has more, so a short file leaves the
// later settings at their defaults. On an error `out` holds what was read before it.
ListError ReadCompanyList(std::string_view bytes, CompanySettings& out);
// Puts saved settings into the session as start-up takes them: the rate only when above 0, the
// calibration factor only when not 0; a value outside its range keeps the session's own.
void ApplySavedSettings(Session& s, const CompanySettings& settings);

std::string ClientListBytes(const ClientListSeam& list);
// `LoadClientList`: every entry in file order.
ListError ReadClientList(std::string_view bytes, std::vector<std::string>& entries);

// The entry a first start puts into client.lst.
std::string DefaultClientEntry();

// Creates client.lst and company.lst in `folder` with their defaults where they are missing,
// silently. Returns why a file could not be created, if one could not.
ListError EnsureListFiles(const std::filesystem::path& folder);

// Start-up reading: company.lst into `settings`, and the first entry of client.lst made the
// current client (an empty list leaves the client as it is). A damaged company.lst is an error
// that leaves in `settings` what was read before the damage.
ListError ReadStartupLists(Session& s, const std::filesystem::path& folder, CompanySettings& settings);

// Renames `path` to "<path>.damaged" (or ".damaged-2", ... never over an earlier copy).
// Returns the new name, or nothing with why in `why`.
std::optional<std::filesystem::path> KeepAside(const std::filesystem::path& path, std::string& why);

// Before company.lst is written: one that cannot be read whole is kept aside, and the user is
// told its new name. False (after saying so) when it could not be kept aside: then nothing may
// be written.
bool KeepDamagedListAside(const std::filesystem::path& companyList, Alerts& alerts);

// `SaveLists`: the selected entry's name becomes the current client and the client of the data,
// then both files are written crash-safely into the working folder; a company.lst that could
// not be read whole is kept aside first. A file that cannot be
// written is reported through `alerts` and keeps its old contents; returns false then.
bool SaveLists(Session& s, const ClientListSeam& list, Alerts& alerts);

// The box of a file that could not be written.
Alert SaveFailedAlert(const std::string& path, const std::string& why);

}  // namespace tidemet
