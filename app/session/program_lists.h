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
  // A damaged file leaves the list unloaded and says why.
  ListError load();
  bool loaded() const { return loaded_; }
  ClientList& clients() { return clients_; }

  // `SaveLists` with the program's list. A client.lst that could not be read is not overwritten:
  // both lists stay as they are on disk, and the user is told.
  bool save(Alerts& alerts);

 private:
  Session& session_;
  ClientList clients_;
  bool loaded_ = false;
};

}  // namespace tidemet
