#include "app/clients/client_list_model.h"

namespace tidemet {

QVariant ClientListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= list_.count()) return {};
  return QString::fromStdString(list_.entry(index.row()));
}

}  // namespace tidemet
