#pragma once
// A client list of `count` distinct entries in metric units.

#include <string>
#include <vector>

#include "app/files/client_entry.h"

namespace tidemet {

inline std::vector<std::string> MakeClientEntries(int count) {
  std::vector<std::string> entries;
  entries.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i)
    entries.push_back(MakeClientEntry("Client " + std::to_string(i), "ID" + std::to_string(i),
                                      std::to_string(122 + i % 108), std::to_string(23 + i % 114),
                                      "Dr. Number " + std::to_string(i % 40)));
  return entries;
}

}  // namespace tidemet
