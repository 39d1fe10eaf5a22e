// The CSV commands: "导入CSV文件..." and "导出为CSV文件..." of the menu "表", and the export of
// the console's query.

#include "transfer/transfer_commands.h"

#include <QMenu>
#include <QPlainTextEdit>

#include "app/host_window.h"
#include "app/subsystem_commands.h"
#include "platform/busy_progress.h"
#include "platform/prompts.h"
#include "platform/qstring_conversion.h"
#include "report/message_flags.h"
#include "transfer/core/csv_export.h"
#include "transfer/core/csv_import.h"
#include "transfer/csv_choices.h"
#include "transfer/csv_export_dialog.h"
#include "transfer/csv_import_dialog.h"

namespace tabulor {
namespace {

const QString kImportWork = QStringLiteral("导入CSV文件");
const QString kExportWork = QStringLiteral("导出为CSV文件");

FileDialogRequest openRequest() {
  FileDialogRequest request;
  request.filter = QStringLiteral("CSV文件(*.csv;*.tsv;*.txt)|*.csv;*.tsv;*.txt|所有文件(*.*)|*.*");
  request.title = kImportWork;
  return request;
}

FileDialogRequest saveRequest() {
  FileDialogRequest request;
  request.filter = QStringLiteral(
      "CSV文件(*.csv)|*.csv|制表符分隔的文本(*.tsv;*.txt)|*.tsv;*.txt|所有文件(*.*)|*.*");
  request.defaultExtension = QStringLiteral("csv");
  request.title = kExportWork;
  request.fileMustExist = false;
  return request;
}

// Runs the work under the busy dialog: a bar of how far it has come, and 取消.
template <typename Work>
transfer::TransferResult underBusyDialog(QWidget* parent, const QString& label, Work work) {
  BusyProgress busy(parent, label, true);
  return work([&busy](std::int64_t done, std::int64_t total) {
    busy.setProgress(done, total);
    return busy.keepGoing();
  });
}

// The outcome for the user: 取消 is one log line; a failure a box with the line and the
// reason; success a log line and a box.
void report(HostWindow& window, const transfer::TransferResult& result, const QString& work,
            const QString& doneLine, const QString& doneText) {
  using Status = transfer::TransferResult::Status;
  if (result.status == Status::Cancelled) {
    window.appendLog(QStringLiteral("已取消：") + work);
    return;
  }
  if (result.status == Status::Failed) {
    window.appendLog(QStringLiteral("[×]") + work + QStringLiteral("失败"));
    prompts().messageBox(work + QStringLiteral("失败：") + faultText(result.fault),
                         MessageFlags::ErrorIcon);
    return;
  }
  window.appendLog(doneLine);
  prompts().messageBox(doneText, MessageFlags::InformationIcon);
}

}  // namespace

void importCsvFile(HostWindow& window) {
  SqliteDB& db = window.state().db;
  const std::optional<QString> path = prompts().openFileName(openRequest());
  if (!path) return;
  CsvImportDialog dialog(&window, *path, db.listTables(true, false, false));
  if (dialog.exec() != QDialog::Accepted) return;
  const transfer::CsvImportRequest request = dialog.request();
  const auto result = underBusyDialog(&window, QStringLiteral("正在导入CSV文件，请稍候……"),
                                      [&](const transfer::TransferProgress& progress) {
                                        return transfer::importCsv(db, request, progress);
                                      });
  if (result.status == transfer::TransferResult::Status::Done) window.reloadStructureTree();
  const QString table = fromProgramText(request.table);
  report(window, result, kImportWork,
         QStringLiteral("已导入CSV文件：") + *path + QStringLiteral(" → 表 ") + table,
         QStringLiteral("已导入 %1 条记录到表 ").arg(result.rows) + table + QStringLiteral("。"));
}

void exportSelectedObjectToCsv(HostWindow& window) {
  if (!window.isTableSelected() && !window.isViewSelected()) {
    prompts().messageBox(QStringLiteral("请先在左侧的数据库结构中选中要导出的表或视图。"),
                         MessageFlags::InformationIcon);
    return;
  }
  const std::string name = window.selectedObjectName();
  const bool table = window.isTableSelected();
  exportQueryToCsv(
      window, &window, transfer::wholeTableQuery(name),
      (table ? QStringLiteral("表 ") : QStringLiteral("视图 ")) + fromProgramText(name),
      table ? name : std::string());
}

void exportQueryToCsv(HostWindow& window, QWidget* parent, const std::string& sql,
                      const QString& what, const std::string& countedTable) {
  const std::optional<QString> path = prompts().saveFileName(saveRequest());
  if (!path) return;
  CsvExportDialog dialog(parent, what, *path);
  if (dialog.exec() != QDialog::Accepted) return;
  transfer::CsvExportRequest request = dialog.request();
  request.sql = sql;
  SqliteDB& db = window.state().db;
  // A table's rows are counted quickly, which gives the bar its length; a view's are not.
  const std::int64_t rows =
      countedTable.empty() ? 0 : transfer::countRows(db, countedTable).value_or(0);
  const auto result = underBusyDialog(parent, QStringLiteral("正在导出为CSV文件，请稍候……"),
                                      [&](const transfer::TransferProgress& progress) {
                                        return transfer::exportCsv(db, request, rows, progress);
                                      });
  report(window, result, kExportWork,
         QStringLiteral("已导出为CSV文件：") + what + QStringLiteral(" → ") + *path,
         QStringLiteral("已导出 %1 条记录到文件 ").arg(result.rows) + *path);
}

void addCsvExportToConsole(HostWindow& window, QPlainTextEdit& sqlBox) {
  sqlBox.setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(
      &sqlBox, &QWidget::customContextMenuRequested, &sqlBox, [&window, &sqlBox](const QPoint& at) {
        QMenu* menu = sqlBox.createStandardContextMenu(at);
        menu->setParent(&sqlBox, menu->windowFlags());
        menu->setObjectName(QStringLiteral("SQL语句_右键菜单"));
        menu->addSeparator();
        QAction* item = menu->addAction(QStringLiteral("导出查询结果为CSV文件..."));
        item->setObjectName(QStringLiteral("菜单_导出查询结果为CSV文件"));
        item->setEnabled(!sqlBox.toPlainText().trimmed().isEmpty());
        QObject::connect(item, &QAction::triggered, &sqlBox, [&window, &sqlBox] {
          const auto work = window.beginWork(QStringLiteral("导出查询结果为CSV文件"));
          exportQueryToCsv(window, sqlBox.window(), toProgramText(sqlBox.toPlainText()),
                           QStringLiteral("查询结果"));
        });
        prompts().popupMenu(*menu, sqlBox.viewport()->mapToGlobal(at));
        menu->deleteLater();
      });
}

void connectTransferCommands(HostWindow& window) {
  window.onCommand(Command::ImportCsv, [&window] { importCsvFile(window); });
  window.onCommand(Command::ExportCsv, [&window] { exportSelectedObjectToCsv(window); });
}

}  // namespace tabulor
