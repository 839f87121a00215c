#include "app/files/client_list.h"

#include <algorithm>

#include "app/files/client_entry.h"

namespace tidemet {

std::string ClientList::entry(int index) const {
  return index >= 0 && index < count() ? entries_[static_cast<size_t>(index)] : std::string();
}

void ClientList::setEntry(int index, const std::string& entry) {
  if (index >= 0 && index < count()) entries_[static_cast<size_t>(index)] = entry;
}

void ClientList::select(int index) { selected_ = (index >= 0 && index < count()) ? index : -1; }

void ClientList::insert(int index, std::string entry) {
  index = std::clamp(index, 0, count());
  entries_.insert(entries_.begin() + index, std::move(entry));
  if (selected_ >= index) ++selected_;
}

void ClientList::remove(int index) {
  if (index < 0 || index >= count()) return;
  entries_.erase(entries_.begin() + index);
  if (selected_ == index)
    selected_ = -1;
  else if (selected_ > index)
    --selected_;
}

void ClientList::convertUnits(bool toMetric) {
  for (auto& e : entries_) e = ConvertEntryUnits(e, toMetric);
}

int FindClient(const ClientListSeam& list, const std::string& name) {
  // Only the entries that exist: looking one past the end would match an empty name.
  for (int i = 0; i < list.count(); ++i)
    if (EntryName(list.entry(i)) == name) return i;
  return -1;
}

}  // namespace tidemet
