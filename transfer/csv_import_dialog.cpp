// The dialog that sets up a CSV import, with a preview of the first rows.

#include "transfer/csv_import_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "platform/qstring_conversion.h"
#include "platform/window_style.h"
#include "transfer/csv_choices.h"

namespace tabulor {
namespace {

// Notes beyond this many are summed up in one line.
constexpr std::size_t kShownNotes = 4;

QString previewNotes(const transfer::CsvPreview& preview) {
  QStringList lines;
  if (preview.fault) lines << QStringLiteral("读取出错：") + faultText(*preview.fault);
  for (std::size_t i = 0; i < std::min(preview.notes.size(), kShownNotes); ++i)
    lines << fromProgramText(preview.notes[i]);
  if (preview.notes.size() > kShownNotes)
    lines << QStringLiteral("（预览中还有 %1 行的字段数与标题行不同。）")
                 .arg(preview.notes.size() - kShownNotes);
  if (lines.isEmpty()) lines << QStringLiteral("每一行的字段数都与标题行相同。");
  return lines.join(QLatin1Char('\n'));
}

}  // namespace

CsvImportDialog::CsvImportDialog(QWidget* parent, const QString& path,
                                 const std::vector<std::string>& tables)
    : QDialog(parent), file_(nativePath(path)) {
  setObjectName(QStringLiteral("CsvImportDialog"));
  setWindowTitle(QStringLiteral("导入CSV文件"));
  applyDesignedFont(*this);
  createControls(tables);
  编辑框_文件->setText(path);
  const std::string start = transfer::readFileStart(file_);
  const transfer::FileEncoding encoding = transfer::detectEncoding(start);
  selectEncoding(*组合框_编码, encoding);
  std::string decoded;
  transfer::Decoder(encoding).decode(start, decoded, false);
  selectSeparator(*组合框_分隔符, transfer::detectSeparator(decoded));
  编辑框_新表名称->setText(fromProgramText(transfer::tableNameForFile(file_)));
  for (QComboBox* box : {组合框_编码, 组合框_分隔符, 组合框_空字段})
    connect(box, &QComboBox::currentIndexChanged, this, &CsvImportDialog::updatePreview);
  connect(选择框_首行是列名, &QCheckBox::toggled, this, &CsvImportDialog::updatePreview);
  connect(选择框_首行是列名, &QCheckBox::toggled, this, &CsvImportDialog::followTarget);
  connect(单选框_新建表, &QRadioButton::toggled, this, &CsvImportDialog::followTarget);
  followTarget();
  updatePreview();
  resize(720, 560);
}

void CsvImportDialog::createControls(const std::vector<std::string>& tables) {
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  编辑框_文件 = named(new QLineEdit(this), QStringLiteral("编辑框_文件"));
  编辑框_文件->setReadOnly(true);
  form->addRow(QStringLiteral("文件："), 编辑框_文件);
  组合框_编码 = named(new QComboBox(this), QStringLiteral("组合框_编码"));
  addEncodings(*组合框_编码, importEncodings());
  form->addRow(QStringLiteral("编码："), 组合框_编码);
  组合框_分隔符 = named(new QComboBox(this), QStringLiteral("组合框_分隔符"));
  addSeparators(*组合框_分隔符, {',', '\t', ';', '|'});
  form->addRow(QStringLiteral("分隔符："), 组合框_分隔符);
  选择框_首行是列名 = new QCheckBox(QStringLiteral("第一行是列名"), this);
  选择框_首行是列名->setObjectName(QStringLiteral("选择框_首行是列名"));
  选择框_首行是列名->setChecked(true);
  form->addRow(QString(), 选择框_首行是列名);
  组合框_空字段 = named(new QComboBox(this), QStringLiteral("组合框_空字段"));
  组合框_空字段->addItems({QStringLiteral("存为空文本"), QStringLiteral("存为 NULL")});
  组合框_空字段->setToolTip(QStringLiteral("带引号的空字段（\"\"）总是存为空文本。"));
  form->addRow(QStringLiteral("空字段："), 组合框_空字段);
  layout->addLayout(form);

  auto* target = named(new QGroupBox(QStringLiteral("导入到"), this),
                       QStringLiteral("分组框_导入到"), QStringLiteral("导入到"));
  auto* grid = new QGridLayout(target);
  单选框_新建表 = new QRadioButton(QStringLiteral("新建表，表名："), target);
  单选框_新建表->setObjectName(QStringLiteral("单选框_新建表"));
  单选框_新建表->setChecked(true);
  编辑框_新表名称 = named(new QLineEdit(target), QStringLiteral("编辑框_新表名称"));
  单选框_已有的表 = new QRadioButton(QStringLiteral("已有的表："), target);
  单选框_已有的表->setObjectName(QStringLiteral("单选框_已有的表"));
  组合框_已有的表 = named(new QComboBox(target), QStringLiteral("组合框_已有的表"));
  for (const std::string& table : tables) 组合框_已有的表->addItem(fromProgramText(table));
  单选框_已有的表->setEnabled(!tables.empty());
  组合框_列的对应 = named(new QComboBox(target), QStringLiteral("组合框_列的对应"));
  组合框_列的对应->addItems({QStringLiteral("按列名对应"), QStringLiteral("按位置对应")});
  grid->addWidget(单选框_新建表, 0, 0);
  grid->addWidget(编辑框_新表名称, 0, 1, 1, 2);
  grid->addWidget(单选框_已有的表, 1, 0);
  grid->addWidget(组合框_已有的表, 1, 1);
  grid->addWidget(组合框_列的对应, 1, 2);
  layout->addWidget(target);

  layout->addWidget(
      new QLabel(QStringLiteral("预览（前 %1 行，按存入的样子显示）：").arg(kPreviewRows), this));
  表格_预览 = named(new QTableWidget(this), QStringLiteral("表格_预览"));
  表格_预览->setEditTriggers(QAbstractItemView::NoEditTriggers);
  layout->addWidget(表格_预览, 1);
  标签_预览说明 =
      named(new QLabel(this), QStringLiteral("标签_预览说明"), QStringLiteral("预览说明"));
  标签_预览说明->setWordWrap(true);
  layout->addWidget(标签_预览说明);

  auto* buttons = new QDialogButtonBox(this);
  按钮_导入 = buttons->addButton(QStringLiteral("导入"), QDialogButtonBox::AcceptRole);
  按钮_导入->setObjectName(QStringLiteral("按钮_导入"));
  buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole)
      ->setObjectName(QStringLiteral("按钮_取消"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void CsvImportDialog::followTarget() {
  const bool newTable = 单选框_新建表->isChecked();
  编辑框_新表名称->setEnabled(newTable);
  组合框_已有的表->setEnabled(!newTable);
  // Without a header there are no names to match: only the order can.
  if (!选择框_首行是列名->isChecked()) 组合框_列的对应->setCurrentIndex(1);
  组合框_列的对应->setEnabled(!newTable && 选择框_首行是列名->isChecked());
}

transfer::CsvImportRequest CsvImportDialog::request() const {
  transfer::CsvImportRequest request;
  request.file = file_;
  request.format.encoding = chosenEncoding(*组合框_编码);
  request.format.separator = chosenSeparator(*组合框_分隔符);
  request.format.headerRow = 选择框_首行是列名->isChecked();
  request.newTable = 单选框_新建表->isChecked();
  request.table = toProgramText(request.newTable ? 编辑框_新表名称->text().trimmed()
                                                 : 组合框_已有的表->currentText());
  request.matchByName = request.format.headerRow && 组合框_列的对应->currentIndex() == 0;
  request.emptyAsNull = 组合框_空字段->currentIndex() == 1;
  return request;
}

void CsvImportDialog::updatePreview() {
  const transfer::CsvPreview preview = transfer::previewCsv(request(), kPreviewRows);
  表格_预览->clear();
  表格_预览->setColumnCount(static_cast<int>(preview.columns.size()));
  表格_预览->setRowCount(static_cast<int>(preview.rows.size()));
  QStringList headers;
  for (const std::string& column : preview.columns) headers << QString::fromUtf8(column);
  表格_预览->setHorizontalHeaderLabels(headers);
  QFont nullFont = 表格_预览->font();
  nullFont.setItalic(true);
  for (int row = 0; row < 表格_预览->rowCount(); ++row) {
    const auto& values = preview.rows[static_cast<std::size_t>(row)];
    for (int column = 0; column < 表格_预览->columnCount(); ++column) {
      const auto& value = values[static_cast<std::size_t>(column)];
      auto* item = new QTableWidgetItem(value ? QString::fromUtf8(*value) : QStringLiteral("NULL"));
      if (!value) {
        item->setFont(nullFont);
        item->setForeground(Qt::gray);
      }
      表格_预览->setItem(row, column, item);
    }
  }
  标签_预览说明->setText(previewNotes(preview));
}

}  // namespace tabulor
