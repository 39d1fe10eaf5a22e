// The main window as the subsystems see it: the intents they call instead of touching a control.
#pragma once

#include <functional>
#include <string>

#include <QMainWindow>

#include "app/app_state.h"
#include "app/command.h"
#include "platform/engine_watch.h"
#include "platform/prompts.h"
#include "report/outcome.h"
#include "sqlitedb/result_rows.h"

class QPoint;

namespace tabulor {

class EGrid;

// What the window subsystems (files/, editing/, schema/, console/, transfer/) may ask of the
// main window; MainWindow implements it. It is a window itself, since the subsystems parent
// their dialogs to it, watch its events and follow its start and end.
class HostWindow : public QMainWindow {
  Q_OBJECT

 public:
  using QMainWindow::QMainWindow;

  virtual AppState& state() = 0;

  // --- commands
  // Runs handler whenever the command is given, as long work named by its caption.
  virtual void onCommand(Command command, std::function<void()> handler) = 0;
  // Pops up the menu "表" at a point of the screen, as a right click on a table does.
  virtual void popUpTableMenu(const QPoint& globalPosition) = 0;

  // --- reporting
  // Adds "\r\n" + line at the end of the log.
  virtual void appendLog(const QString& line) = 0;
  virtual void showDbError(const QString& message) = 0;
  // Carries out what a command's logic returned: the notice first, or last behind the
  // window brought up to date (tree, shown object, data view). whenUpToDate runs between
  // the two, before a last notice; it may make no engine call that the user should see.
  virtual void applyOutcome(const Outcome& outcome,
                            const std::function<void()>& whenUpToDate = {}) = 0;

  // --- long work: any engine work that lasts shows the busy dialog, with 取消 where
  // stopping loses nothing. Every entry names its work for as long as the returned object
  // lives ("修改表"); after 取消 its failure boxes and failure lines are held back for the
  // one line "已取消：" + its name.
  [[nodiscard]] virtual EngineWatch::Work beginWork(const QString& what) = 0;
  virtual bool workCancelled() const = 0;
  // Work posted from the window (after an edit, a drop) runs once no statement runs and
  // no command is under way: nothing starts on the connection inside another call.
  virtual void whenEngineFree(std::function<void()> work) = 0;

  // --- interface state
  virtual void applyDatabaseUiState(bool open) = 0;
  virtual void updateInfoMenuVisibility() = 0;
  // The caption: the title alone, or title + " - " + path.
  virtual void updateCaption() = 0;

  // --- structure tree
  virtual void reloadStructureTree() = 0;
  virtual bool isTableSelected() const = 0;
  virtual bool isViewSelected() const = 0;
  // The selected item's text as program text (an object, a column or a section); empty
  // for none.
  virtual std::string selectedObjectName() const = 0;
  virtual void setTreeSelection(int number) = 0;  // runs the selection event; -1 for none
  virtual void clearStructureTree() = 0;          // no items, no selection, no event

  // --- data view
  virtual void clearDataView() = 0;
  // Shows the object afresh, keeping the grid's current cell and the field panel's record
  // and field where the new rows still have them.
  virtual void refreshShownObjectInPlace() = 0;
  // A console query's rows: a section heading is selected (which clears the data view),
  // the rows fill the grid and the definition box shows the query's text.
  virtual void showQueryResult(ResultRows rows, const QString& sql) = 0;
  // The record selected in the field panel, from 1; 0 for none.
  virtual int selectedRecordNumber() const = 0;
  // The name box under the field panel as the user sees it (it may have been typed over).
  virtual QString tableNameText() const = 0;
  // The main grid, to read and to follow; only the window changes it.
  virtual const EGrid& grid() const = 0;

  // --- the designed file dialogs
  static FileDialogRequest databaseDialog();
  static FileDialogRequest textDialog();

 signals:
  // The window has its caption and display limit: the database files close and open
  // the file named on the command line.
  void started();
  // The program ends (menu "退出" or the window closing): the database closes.
  void ending();
};

}  // namespace tabulor
