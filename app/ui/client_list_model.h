#pragma once
// The client list as the list view shows it: rows read straight from the core's ClientList, so
// loading or converting thousands of entries costs no copies into the view.

#include <QAbstractListModel>
#include <QSize>

#include "app/files/client_list.h"

namespace tidemet {

class ClientListModel : public QAbstractListModel {
 public:
  explicit ClientListModel(const ClientList& list, QObject* parent = nullptr)
      : QAbstractListModel(parent), list_(list) {}

  int rowCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : list_.count();
  }
  QVariant data(const QModelIndex& index, int role) const override;

  // Every row is as wide as the widest entry can be, so a narrow window scrolls sideways.
  void setRowSize(QSize size) { rowSize_ = size; }

  // The list changed under the view (added, removed, edited or converted entries).
  void reload() {
    beginResetModel();
    endResetModel();
  }

 private:
  const ClientList& list_;
  QSize rowSize_;
};

}  // namespace tidemet
