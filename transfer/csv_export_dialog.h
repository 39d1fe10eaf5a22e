// The dialog that sets up a CSV export: encoding, separator and header row.
#pragma once

#include <QDialog>

#include "transfer/core/csv_export.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace tabulor {

class CsvExportDialog : public QDialog {
  Q_OBJECT

 public:
  // what names the rows written ("表 客户", "查询结果"); a path ending in .tsv or .txt
  // starts with the tab as separator.
  CsvExportDialog(QWidget* parent, const QString& what, const QString& path);

  // The file, encoding, separator and header as set; the caller gives the query.
  transfer::CsvExportRequest request() const;

  QLineEdit* 编辑框_文件;
  QComboBox* 组合框_编码;
  QComboBox* 组合框_分隔符;
  QCheckBox* 选择框_写列名;
  QPushButton* 按钮_导出;

 private:
  QString path_;
};

}  // namespace tabulor
