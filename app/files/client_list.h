#pragma once
// The client list as the files see it. The client window's list control implements the seam;
// ClientList is the plain implementation for the core, the command-line tool and tests.

#include <string>
#include <vector>

namespace tidemet {

class ClientListSeam {
 public:
  virtual ~ClientListSeam() = default;
  virtual int count() const = 0;
  // The entry at `index` (0 .. count() - 1).
  virtual std::string entry(int index) const = 0;
  virtual void setEntry(int index, const std::string& entry) = 0;
  // The selected entry, or -1 when none is.
  virtual int selected() const = 0;
  virtual void select(int index) = 0;
  // The units switch converts every entry's height and weight.
  virtual void convertUnits(bool toMetric) = 0;
};

class ClientList : public ClientListSeam {
 public:
  ClientList() = default;
  explicit ClientList(std::vector<std::string> entries) : entries_(std::move(entries)) {}

  int count() const override { return static_cast<int>(entries_.size()); }
  std::string entry(int index) const override;
  void setEntry(int index, const std::string& entry) override;
  int selected() const override { return selected_; }
  void select(int index) override;
  void convertUnits(bool toMetric) override;

  // Adding and removing keep the selection on the entry it was on (none when that one goes).
  void insert(int index, std::string entry);
  void remove(int index);

  const std::vector<std::string>& entries() const { return entries_; }

 private:
  std::vector<std::string> entries_;
  int selected_ = -1;
};

// The index of the first entry whose name (columns 1-20, trailing blanks removed) is `name`,
// or -1.
int FindClient(const ClientListSeam& list, const std::string& name);

}  // namespace tidemet
