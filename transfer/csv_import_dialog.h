// The dialog that sets up a CSV import: encoding, separator, header, target, empty fields,
// with a preview of the first rows as they will be stored.
#pragma once

#include <vector>

#include <QDialog>

#include "transfer/core/csv_import.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTableWidget;

namespace tabulor {

class CsvImportDialog : public QDialog {
  Q_OBJECT

 public:
  // Rows the preview shows.
  static constexpr int kPreviewRows = 50;

  // The file's encoding and separator are found from its first bytes; the new table is
  // named after the file; tables lists the existing ones (program text).
  CsvImportDialog(QWidget* parent, const QString& path, const std::vector<std::string>& tables);

  // What the dialog is set to.
  transfer::CsvImportRequest request() const;
  // Shows the first rows again, as the settings now read them.
  void updatePreview();

  QLineEdit* 编辑框_文件;
  QComboBox* 组合框_编码;
  QComboBox* 组合框_分隔符;
  QCheckBox* 选择框_首行是列名;
  QRadioButton* 单选框_新建表;
  QLineEdit* 编辑框_新表名称;
  QRadioButton* 单选框_已有的表;
  QComboBox* 组合框_已有的表;
  QComboBox* 组合框_列的对应;
  QComboBox* 组合框_空字段;
  QTableWidget* 表格_预览;
  QLabel* 标签_预览说明;
  QPushButton* 按钮_导入;

 private:
  void createControls(const std::vector<std::string>& tables);
  void followTarget();

  std::filesystem::path file_;
};

}  // namespace tabulor
