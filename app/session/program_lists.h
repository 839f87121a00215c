#pragma once
// The client list that the program saves with company.lst. The client window works on it once it
// is loaded; before that it is read from client.lst when first needed, so that an exit never
// writes back fewer clients than the file holds.

#include "app/files/client_list.h"
#include "app/files/list_files.h"
#include "app/session/alerts.h"
#include "app/session/session.h"

namespace tidemet {

class ProgramLists {
 public:
  explicit ProgramLists(Session& session) : session_(session) {}

  // Reads every entry of client.lst in the working folder (a missing file is an empty list).
  // A damaged file leaves the list unloaded and says why. The file holds the units in force at
  // the first load, those that company.lst restored.
  ListError load();
  bool loaded() const { return loaded_; }
  // The list with its heights and weights in the session's current units: a units switch made
  // anywhere (the monitor's Units menu, an opened trial) reaches the list that is saved.
  ClientList& clients();

  // `SaveLists` with the program's list. A client.lst that could not be read is not overwritten:
  // both lists stay as they are on disk, and the user is told.
  bool save(Alerts& alerts);

 private:
  // A client list that knows the units of its entries, so that it is converted once per change
  // of units however many callers ask for it.
  class UnitsTrackingList : public ClientList {
   public:
    void convertUnits(bool toMetric) override;
    bool metric = true;
  };

  Session& session_;
  UnitsTrackingList clients_;
  bool loaded_ = false;
  bool fileUnitsKnown_ = false;
  bool fileMetric_ = true;
};

}  // namespace tidemet
