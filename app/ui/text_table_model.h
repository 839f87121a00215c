#pragma once
// A read-only table of text for the analysis grids: the core makes the cells, the view shows
// them as they are.

#include <QAbstractTableModel>
#include <QStringList>
#include <string>
#include <vector>

namespace tidemet {

class TextTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using QAbstractTableModel::QAbstractTableModel;

  template <typename Rows>
  void setRows(const Rows& rows, QStringList columnTitles) {
    beginResetModel();
    cells_.clear();
    cells_.reserve(rows.size());
    for (const auto& row : rows) {
      QStringList cells;
      for (const std::string& cell : row) cells << QString::fromStdString(cell);
      cells_.push_back(std::move(cells));
    }
    columnTitles_ = std::move(columnTitles);
    endResetModel();
  }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  std::vector<QStringList> cells_;
  QStringList columnTitles_;
};

}  // namespace tidemet
