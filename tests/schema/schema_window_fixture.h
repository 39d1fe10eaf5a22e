// Schema window tests: the main window on a database made from a script, and what each box hid.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include <QAction>
#include <QTreeWidget>

#include "app/main_window_fixture.h"
#include "sqlitedb/sqlite_dataset.h"

namespace tabulor::testing {

// A message box as the user saw it.
struct Box {
  QString text;
  QString title;
  int flags = 0;

  bool operator==(const Box&) const = default;
};

inline void PrintTo(const Box& box, std::ostream* out) {
  *out << "{\"" << box.text.toStdString() << "\", \"" << box.title.toStdString() << "\", 0x"
       << std::hex << box.flags << std::dec << "}";
}

// Scripted prompts that note, as each message box appears, what the window shows behind
// it; installed for their lifetime in place of the prompts in force.
class LookBehindPrompts : public ScriptedPrompts {
 public:
  explicit LookBehindPrompts(std::function<QString()> look)
      : look_(std::move(look)), previous_(&tabulor::prompts()) {
    setPrompts(this);
  }
  ~LookBehindPrompts() override { setPrompts(previous_); }
  LookBehindPrompts(const LookBehindPrompts&) = delete;
  LookBehindPrompts& operator=(const LookBehindPrompts&) = delete;

  using ScriptedPrompts::messageBox;
  Answer messageBox(const QString& text, const QString& title, int flags) override {
    seen << look_();
    return ScriptedPrompts::messageBox(text, title, flags);
  }

  QStringList seen;

 private:
  std::function<QString()> look_;
  Prompts* previous_;
};

// The main window on a database made from a script, driven through its menus.
class SchemaWindowTest : public MainWindowTest {
 protected:
  MainWindow& openWith(const std::string& sql) { return start({makeDatabase("schema.db", sql)}); }

  void trigger(Command command) { window->action(command)->trigger(); }

  // Selects the tree item of a table or a view, as a click on it would.
  void select(const QString& name) {
    QTreeWidget& tree = *ui().树型框1;
    for (QTreeWidgetItem* item : tree.findItems(name, Qt::MatchExactly | Qt::MatchRecursive)) {
      if (item->parent() && item->parent()->parent()) continue;  // a column
      tree.setCurrentItem(item);
      return;
    }
    ADD_FAILURE() << "no tree item " << name.toStdString();
  }

  std::vector<Box> boxes() const {
    std::vector<Box> shown;
    for (const auto& record : prompts.records(ScriptedPrompts::Kind::Message))
      shown.push_back({record.text, record.title, record.flags});
    return shown;
  }

  // The rows of a query on the program's connection, as texts.
  std::vector<std::vector<std::string>> rows(const std::string& sql) {
    SqliteDataset dataset;
    std::vector<std::vector<std::string>> result;
    if (!dataset.open(sql, state.db) || !dataset.requery()) {
      ADD_FAILURE() << sql << ": " << state.db.errorText();
      return result;
    }
    const TextTable table = dataset.fetchAllText();
    for (int row = 0; row < table.rowCount(); ++row) {
      result.emplace_back();
      for (int column = 0; column < table.columnCount(); ++column)
        result.back().push_back(table.cell(row, column));
    }
    return result;
  }

  std::string storedSql(const std::string& name) {
    const auto found = rows("SELECT sql FROM sqlite_master WHERE name = '" + name + "'");
    return found.empty() ? std::string() : found[0][0];
  }
};

}  // namespace tabulor::testing
