#pragma once

#include <string>

#include <QComboBox>
#include <QTreeWidget>

#include "app/main_window_fixture.h"
#include "editing/field_panel.h"
#include "sqlitedb/sqlite_dataset.h"
#include "sqlitedb/text_table.h"

namespace tabulor::testing {

// A main window showing one object of a database made for the test, with helpers to pick
// the panel's record and field and to look at the file through a second connection.
class EditingTest : public MainWindowTest {
 protected:
  void openAndShow(const std::string& sql, const QString& object) {
    database = makeDatabase("edit.db", sql);
    start({database});
    select(object);
    prompts.clear();
  }

  // Selects a table or view in the structure tree, which shows it.
  void select(const QString& object) {
    const auto items = ui().树型框1->findItems(object, Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_FALSE(items.isEmpty()) << object.toStdString();
    ui().树型框1->setCurrentItem(items.front());
  }

  FieldPanel& panel() { return *window->findChild<FieldPanel*>(); }

  // Picks record and field (1-based; 0 for none) in the panel's selectors.
  void choose(int record, int field) {
    ui().组合框_记录序号->setCurrentIndex(record - 1);
    ui().组合框_字段名称->setCurrentIndex(field - 1);
  }

  // The first cell of a query's result, read through a connection of its own.
  std::string value(const std::string& sql) const {
    SqliteDB db;
    if (!db.open(toProgramText(database))) return "<no database>";
    auto query = db.query(sql);
    query->requery();
    const TextTable table = query->fetchAllText(false);
    return table.isEmpty() ? "<no row>" : table.cell(0, 0);
  }

  QString database;
};

}  // namespace tabulor::testing
