// Fuzz entry for the list readers (client.lst, company.lst) and the record codec under them.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "app/files/list_files.h"
#include "app/files/record_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tidemet;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);

  CompanySettings settings;
  if (!ReadCompanyList(bytes, settings)) {
    auto s = std::make_unique<Session>();
    ApplySavedSettings(*s, settings);
    // What was read writes back to a file that reads the same.
    CompanySettings again;
    if (ReadCompanyList(CompanyListBytes(SavedSettingsOf(*s)), again)) std::abort();
    if (again.modelCode != s->ModelCode || again.comPort != s->ComPort) std::abort();
  }

  std::vector<std::string> entries;
  ReadClientList(bytes, entries);
  std::vector<std::string> back;
  if (ReadClientList(ClientListBytes(ClientList(entries)), back) || back.size() != entries.size())
    std::abort();

  // Field by field, every kind of reading, until the bytes run out or refuse.
  RecordReader r(bytes);
  for (int i = 0; i < 10000 && !r.atEnd(); ++i) {
    std::string text;
    double number = 0;
    int16_t small = 0;
    if (r.integer(small) == ReadStatus::Ok || r.number(number) == ReadStatus::Ok) continue;
    if (r.text(text) != ReadStatus::Ok) break;
  }
  return 0;
}
