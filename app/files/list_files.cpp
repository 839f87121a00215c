#include "app/files/list_files.h"

#include <fcntl.h>
#include <stdio.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cmath>

#include "app/files/client_entry.h"
#include "app/files/record_codec.h"
#include "app/files/safe_file.h"
#include "app/session/monitor_menus.h"
#include "app/session/text.h"

namespace tidemet {
namespace {

// `record` is the record being read (1-based).
ListError malformed(std::string_view file, int record, ReadStatus status) {
  if (status == ReadStatus::EndOfFile)
    return {std::string(file) + " ends before record " + std::to_string(record) + " is complete."};
  return {std::string(file) + " has a damaged field in record " + std::to_string(record) + "."};
}

template <typename T>
bool oneOf(T v, std::initializer_list<T> allowed) {
  return std::find(allowed.begin(), allowed.end(), v) != allowed.end();
}

std::filesystem::path inFolder(const std::filesystem::path& folder, std::string_view name) {
  return folder / std::string(name);
}

}  // namespace

CompanySettings SavedSettingsOf(const Session& s) {
  CompanySettings c;
  c.institutionLines = s.InstitutionLines;
  c.delayCount = s.DelayCount;
  c.calibrationFactor = s.CalibrationFactor;
  c.modelCode = s.ModelCode;
  c.unitsFlag = s.UnitsFlag;
  c.exerciseMode = s.ExerciseMode;
  c.windowBackColor = s.WindowBackColor;
  c.dataForeColor = s.DataForeColor;
  c.windowForeColor = s.WindowForeColor;
  c.dataBackColor = s.DataBackColor;
  c.comPort = s.ComPort;
  std::copy_n(s.RememberedOffsets.begin(), 8, c.rememberedOffsets.begin());
  c.swimDistance = s.SwimDistance;
  c.computerClass = s.ComputerClass;
  c.unitNode = s.UnitNode;
  c.sensorType = s.SensorType;
  c.sensorValueOffset = s.SensorValueOffset;
  c.demoMode = s.DemoMode;
  return c;
}

std::string CompanyListBytes(const CompanySettings& c) {
  RecordWriter w;
  for (const auto& line : c.institutionLines) w.text(line);
  w.integer(c.delayCount).number(c.calibrationFactor).integer(c.modelCode).integer(c.unitsFlag);
  w.integer(c.exerciseMode).integer(c.windowBackColor).integer(c.dataForeColor);
  w.integer(c.windowForeColor).integer(c.dataBackColor).integer(c.comPort).endRecord();
  for (int16_t offset : c.rememberedOffsets) w.integer(offset);
  w.endRecord();
  w.integer(c.swimDistance).endRecord();
  w.integer(c.computerClass).endRecord();
  w.integer(c.unitNode).endRecord();
  w.integer(c.sensorType).integer(c.sensorValueOffset).endRecord();
  // Record 7, only for the demonstration set-up: every other file keeps its six records, and a
  // reader of six records still reads this one.
  if (c.demoMode == 1) w.integer(c.demoMode).endRecord();
  return w.take();
}

ListError ReadCompanyList(std::string_view bytes, CompanySettings& out) {
  RecordReader r(bytes);
  ReadStatus st = ReadStatus::Ok;
  auto ok = [&](ReadStatus status) { return (st = status) == ReadStatus::Ok; };
  const std::string_view file = kCompanyListName;
  for (auto& line : out.institutionLines)
    if (!ok(r.text(line))) return malformed(file, 1, st);
  if (!ok(r.integer(out.delayCount)) || !ok(r.number(out.calibrationFactor)) ||
      !ok(r.integer(out.modelCode)) || !ok(r.integer(out.unitsFlag)) ||
      !ok(r.integer(out.exerciseMode)) || !ok(r.integer(out.windowBackColor)) ||
      !ok(r.integer(out.dataForeColor)) || !ok(r.integer(out.windowForeColor)) ||
      !ok(r.integer(out.dataBackColor)) || !ok(r.integer(out.comPort)))
    return malformed(file, 1, st);
  // Records 2 to 6 are read only while the file has more.
  if (r.atEnd()) return {};
  for (auto& offset : out.rememberedOffsets)
    if (!ok(r.integer(offset))) return malformed(file, 2, st);
  if (r.atEnd()) return {};
  if (!ok(r.integer(out.swimDistance))) return malformed(file, 3, st);
  if (r.atEnd()) return {};
  if (!ok(r.integer(out.computerClass))) return malformed(file, 4, st);
  if (r.atEnd()) return {};
  if (!ok(r.integer(out.unitNode))) return malformed(file, 5, st);
  if (r.atEnd()) return {};
  if (!ok(r.integer(out.sensorType)) || !ok(r.integer(out.sensorValueOffset)))
    return malformed(file, 6, st);
  if (r.atEnd()) return {};
  if (!ok(r.integer(out.demoMode))) return malformed(file, 7, st);
  return {};
}

void ApplySavedSettings(Session& s, const CompanySettings& c) {
  s.InstitutionLines = c.institutionLines;
  if (c.delayCount > 0) s.DelayCount = c.delayCount;
  if (c.calibrationFactor != 0.0f && std::isfinite(c.calibrationFactor))
    s.CalibrationFactor = s.CalibrationSetting = c.calibrationFactor;
  if (c.modelCode >= 0 && c.modelCode <= 23) s.ModelCode = c.modelCode;
  s.UnitsFlag = c.unitsFlag == 0 ? 0 : 1;
  if (c.exerciseMode >= 1 && c.exerciseMode <= 4) s.ExerciseMode = c.exerciseMode;
  s.WindowBackColor = c.windowBackColor & 0xFFFFFF;
  s.DataForeColor = c.dataForeColor & 0xFFFFFF;
  s.WindowForeColor = c.windowForeColor & 0xFFFFFF;
  s.DataBackColor = c.dataBackColor & 0xFFFFFF;
  if (c.comPort >= 1 && c.comPort <= 16) s.ComPort = c.comPort;
  for (size_t i = 0; i < 8; ++i) s.RememberedOffsets[i] = std::clamp<int16_t>(c.rememberedOffsets[i], -79, 79);
  if (oneOf<int16_t>(c.swimDistance, {0, 10, 15, 20, 25})) s.SwimDistance = c.swimDistance;
  if (c.computerClass == 0 || c.computerClass == 1) s.ComputerClass = c.computerClass;
  if (oneOf<int16_t>(c.unitNode, {92, 689, 987})) s.UnitNode = c.unitNode;
  if (c.sensorType == 0 || c.sensorType == 1) s.SensorType = c.sensorType;
  if (oneOf<int16_t>(c.sensorValueOffset, {0, -100, -200, -300, -400, -2250, -2400}))
    s.SensorValueOffset = c.sensorValueOffset;
  s.DemoMode = c.demoMode == 1 && s.ModelCode == 0 ? 1 : 0;
}

std::string ClientListBytes(const ClientListSeam& list) {
  RecordWriter w;
  for (int i = 0; i < list.count(); ++i) w.text(list.entry(i)).endRecord();
  return w.take();
}

ListError ReadClientList(std::string_view bytes, std::vector<std::string>& entries) {
  RecordReader r(bytes);
  while (!r.atEnd()) {
    std::string entry;
    ReadStatus st = r.text(entry);
    if (st != ReadStatus::Ok) return malformed(kClientListName, static_cast<int>(entries.size()) + 1, st);
    entries.push_back(std::move(entry));
  }
  return {};
}

std::string DefaultClientEntry() { return MakeClientEntry("Client", "", "170", "70", ""); }

ListError EnsureListFiles(const std::filesystem::path& folder) {
  struct Default {
    std::string_view name;
    std::string bytes;
  };
  const Default defaults[] = {
      {kClientListName, ClientListBytes(ClientList({DefaultClientEntry()}))},
      {kCompanyListName, CompanyListBytes(CompanySettings{})},
  };
  for (const auto& d : defaults) {
    std::error_code ec;
    const auto path = inFolder(folder, d.name);
    if (std::filesystem::exists(path, ec) || ec) continue;
    if (auto why = WriteFileAtomically(path, d.bytes)) return {path.string() + ": " + *why};
  }
  return {};
}

ListError ReadStartupLists(Session& s, const std::filesystem::path& folder, CompanySettings& settings) {
  std::string why;
  auto company = ReadWholeFile(inFolder(folder, kCompanyListName), kLargestCompanyListBytes, &why);
  if (!company) return {std::string(kCompanyListName) + " " + why};
  // A damaged company.lst leaves in `settings` what was read before the damage; the next save
  // keeps the file aside instead of writing over it.
  if (auto error = ReadCompanyList(*company, settings)) return error;
  auto clients = ReadWholeFile(inFolder(folder, kClientListName), kLargestClientListBytes, &why);
  if (!clients) return {std::string(kClientListName) + " " + why};
  RecordReader r(*clients);
  std::string first;
  ReadStatus st = r.text(first);
  if (st == ReadStatus::Malformed) return malformed(kClientListName, 1, st);
  if (st == ReadStatus::Ok) {
    TakeClientFromEntry(s, first);
    s.FileClientName = s.ClientName;
  }
  return {};
}

std::optional<std::filesystem::path> KeepAside(const std::filesystem::path& path, std::string& why) {
  for (int n = 1; n < 1000; ++n) {
    std::filesystem::path aside = path.string() + ".damaged" + (n > 1 ? "-" + std::to_string(n) : "");
    // Never over an earlier damaged copy.
    if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) return aside;
    // A file system without the no-replace rename: look first.
    if (errno == EINVAL && !std::filesystem::exists(aside) && ::rename(path.c_str(), aside.c_str()) == 0)
      return aside;
    if (errno != EEXIST) {
      why = std::strerror(errno);
      return std::nullopt;
    }
  }
  why = "too many damaged copies";
  return std::nullopt;
}

bool KeepDamagedListAside(const std::filesystem::path& companyList, Alerts& alerts) {
  std::error_code ec;
  // Nothing there (or a folder that cannot be reached, which the save itself reports).
  if (!std::filesystem::exists(std::filesystem::symlink_status(companyList, ec))) return true;
  std::string why;
  auto bytes = ReadWholeFile(companyList, kLargestCompanyListBytes, &why);
  CompanySettings ignored;
  ListError damage = bytes ? ReadCompanyList(*bytes, ignored) : ListError{std::string(kCompanyListName) + " " + why};
  if (!damage) return true;
  std::string failure;
  auto aside = KeepAside(companyList, failure);
  if (!aside) {
    alerts.show({std::string(AppTitle),
                 JoinLines({damage.text, "It could not be kept aside (" + failure + ").",
                            "The client and institution lists were not saved."}),
                 AlertIcon::Exclamation, AlertButtons::Ok});
    return false;
  }
  alerts.show({std::string(AppTitle),
               JoinLines({damage.text, "It was kept as " + aside->string() + ";",
                          "the settings are saved in a new " + std::string(kCompanyListName) + "."}),
               AlertIcon::Exclamation, AlertButtons::Ok});
  return true;
}

Alert SaveFailedAlert(const std::string& path, const std::string& why) {
  return {std::string(AppTitle), JoinLines({"File: " + path, "could not be saved: " + why}),
          AlertIcon::Exclamation, AlertButtons::Ok};
}

bool SaveLists(Session& s, const ClientListSeam& list, Alerts& alerts) {
  int selected = list.selected();
  if (selected >= 0 && selected < list.count()) {
    s.ClientName = EntryName(list.entry(selected));
    s.DataClientName = s.ClientName;
  }
  const std::filesystem::path folder = s.WorkingFolder;
  if (!KeepDamagedListAside(inFolder(folder, kCompanyListName), alerts)) return false;
  bool saved = true;
  const std::pair<std::string_view, std::string> files[] = {
      {kClientListName, ClientListBytes(list)},
      {kCompanyListName, CompanyListBytes(SavedSettingsOf(s))},
  };
  for (const auto& [name, bytes] : files) {
    const auto path = inFolder(folder, name);
    if (auto why = WriteFileAtomically(path, bytes)) {
      alerts.show(SaveFailedAlert(path.string(), *why));
      saved = false;
    }
  }
  return saved;
}

}  // namespace tidemet
