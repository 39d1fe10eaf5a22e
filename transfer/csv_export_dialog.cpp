// The dialog that sets up a CSV export: encoding, separator and header row.

#include "transfer/csv_export_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qstring_conversion.h"
#include "platform/window_style.h"
#include "transfer/csv_choices.h"

namespace tabulor {

CsvExportDialog::CsvExportDialog(QWidget* parent, const QString& what, const QString& path)
    : QDialog(parent), path_(path) {
  setObjectName(QStringLiteral("CsvExportDialog"));
  setWindowTitle(QStringLiteral("导出为CSV文件"));
  applyDesignedFont(*this);
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("导出："), new QLabel(what, this));
  编辑框_文件 = named(new QLineEdit(path, this), QStringLiteral("编辑框_文件"));
  编辑框_文件->setReadOnly(true);
  form->addRow(QStringLiteral("文件："), 编辑框_文件);
  组合框_编码 = named(new QComboBox(this), QStringLiteral("组合框_编码"));
  addEncodings(*组合框_编码, exportEncodings());
  form->addRow(QStringLiteral("编码："), 组合框_编码);
  组合框_分隔符 = named(new QComboBox(this), QStringLiteral("组合框_分隔符"));
  addSeparators(*组合框_分隔符, {',', '\t'});
  if (path.endsWith(QStringLiteral(".tsv"), Qt::CaseInsensitive) ||
      path.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive))
    selectSeparator(*组合框_分隔符, '\t');
  form->addRow(QStringLiteral("分隔符："), 组合框_分隔符);
  选择框_写列名 = new QCheckBox(QStringLiteral("第一行写列名"), this);
  选择框_写列名->setObjectName(QStringLiteral("选择框_写列名"));
  选择框_写列名->setChecked(true);
  form->addRow(QString(), 选择框_写列名);
  layout->addLayout(form);
  auto* note = named(
      new QLabel(QStringLiteral("说明：导出全部记录。空值（NULL）写成空字段，空文本写成 \"\"；"
                                "字节集（BLOB）写成十六进制文本，导入后是文本。"),
                 this),
      QStringLiteral("标签_说明"), QStringLiteral("说明"));
  note->setWordWrap(true);
  layout->addWidget(note);
  auto* buttons = new QDialogButtonBox(this);
  按钮_导出 = buttons->addButton(QStringLiteral("导出"), QDialogButtonBox::AcceptRole);
  按钮_导出->setObjectName(QStringLiteral("按钮_导出"));
  buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole)
      ->setObjectName(QStringLiteral("按钮_取消"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(460, 0);
}

transfer::CsvExportRequest CsvExportDialog::request() const {
  transfer::CsvExportRequest request;
  request.file = nativePath(path_);
  request.encoding = chosenEncoding(*组合框_编码);
  request.separator = chosenSeparator(*组合框_分隔符);
  request.headerRow = 选择框_写列名->isChecked();
  return request;
}

}  // namespace tabulor
