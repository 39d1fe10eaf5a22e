// The CSV commands: "导入CSV文件..." and "导出为CSV文件..." of the menu "表", and the export of
// the console's query.
#pragma once

#include <string>

#include <QString>

class QPlainTextEdit;
class QWidget;

namespace tabulor {

class HostWindow;

// Asks for a file, sets the import up in its dialog and runs it under the busy dialog.
void importCsvFile(HostWindow& window);
// The table or view selected in the tree, every row of it.
void exportSelectedObjectToCsv(HostWindow& window);
// Every row of a query that only reads (program text); what names it in the dialog. The
// rows of countedTable, when given, are counted first for the bar.
void exportQueryToCsv(HostWindow& window, QWidget* parent, const std::string& sql,
                      const QString& what, const std::string& countedTable = {});
// The console's SQL box gets "导出查询结果为CSV文件..." in its context menu, after the
// box's own items.
void addCsvExportToConsole(HostWindow& window, QPlainTextEdit& sqlBox);

}  // namespace tabulor
