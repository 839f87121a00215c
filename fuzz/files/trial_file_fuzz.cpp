// Fuzz entry for the data-file reader: any bytes are either refused with a message or opened;
// an opened trial must save to a file that opens again.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "app/files/client_entry.h"
#include "app/files/trial_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tidemet;
  auto s = std::make_unique<Session>();
  s->ClientName = s->DataClientName = "Ann Lee";
  RecordingAlerts alerts;
  ClientList clients({MakeClientEntry("Ann Lee", "AL", "165", "58", "Kim")});
  NoComparison comparison;
  NoSummaryFile summary;
  TrialFileContext ctx{alerts, clients, comparison, summary};
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  bool opened = OpenTrialBytes(*s, ctx, "fuzz.dat", bytes);
  if (opened != alerts.shown.empty()) std::abort();  // every refusal says why, no open does
  if (opened) {
    auto again = std::make_unique<Session>();
    *again = *s;
    if (!OpenTrialBytes(*again, ctx, "again.dat", TrialFileBytes(*s))) std::abort();
    if (again->TrialData != s->TrialData || again->SampleCount != s->SampleCount) std::abort();
  }
  return 0;
}
