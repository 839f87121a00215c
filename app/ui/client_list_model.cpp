#include "app/ui/client_list_model.h"

namespace tidemet {

QVariant ClientListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= list_.count()) return {};
  if (role == Qt::SizeHintRole && rowSize_.isValid()) return rowSize_;
  if (role != Qt::DisplayRole) return {};
  return QString::fromStdString(list_.entry(index.row()));
}

}  // namespace tidemet
