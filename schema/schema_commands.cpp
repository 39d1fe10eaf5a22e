// Binds the schema commands to the menus "表" and "视图", the table designer included.

#include <functional>
#include <utility>

#include "app/host_window.h"
#include "app/subsystem_commands.h"
#include "platform/prompts.h"
#include "platform/qstring_conversion.h"
#include "schema/core/object_commands.h"
#include "schema/core/views.h"
#include "schema/table_designer_window.h"

namespace tabulor {
namespace {

using schema::ObjectKind;

schema::TreeSelection treeSelection(const HostWindow& window) {
  return {window.selectedObjectName(), window.isTableSelected(), window.isViewSelected()};
}

// The schema commands of the "表" and "视图" menus. The designer's state lives as
// long as the main window: a new opening rebuilds it.
class SchemaCommands : public QObject {
 public:
  explicit SchemaCommands(HostWindow& window) : QObject(&window), window_(window) {
    setObjectName(QStringLiteral("schemaCommands"));
    on(Command::NewTable, [this] { newTable(); });
    on(Command::ModifyTable, [this] { modifyTable(); });
    on(Command::RenameTable, [this] { renameObject(ObjectKind::Table); });
    on(Command::DropTable, [this] { dropObject(ObjectKind::Table); });
    on(Command::ClearTable, [this] { clearTable(); });
    on(Command::NewView, [this] { newView(); });
    on(Command::ModifyView, [this] { modifyView(); });
    on(Command::RenameView, [this] { renameObject(ObjectKind::View); });
    on(Command::DropView, [this] { dropObject(ObjectKind::View); });
  }

 private:
  void on(Command command, std::function<void()> handler) {
    window_.onCommand(command, std::move(handler));
  }

  SqliteDB& db() { return window_.state().db; }

  void newTable() {
    designer_.mode = schema::DesignerMode::Create;
    designer_.targetTable.clear();
    openTableDesigner(window_, designer_);
  }

  void modifyTable() {
    if (!window_.isTableSelected()) {
      prompts().messageBox(QStringLiteral("请先选中一个表，然后执行修改操作！"),
                           MessageFlags::ErrorIcon);
      return;
    }
    designer_.mode = schema::DesignerMode::Modify;
    designer_.targetTable = treeSelection(window_).text;
    openTableDesigner(window_, designer_);
  }

  void renameObject(ObjectKind kind) {
    apply(schema::renameObject(db(), kind, treeSelection(window_), askTextWithPrompts()));
  }

  void dropObject(ObjectKind kind) {
    apply(schema::dropObject(db(), kind, treeSelection(window_), askYesWithPrompts()));
  }

  void clearTable() {
    apply(schema::clearTable(db(), toProgramText(window_.tableNameText()), askYesWithPrompts()));
  }

  void newView() { apply(schema::newView(db(), askTextWithPrompts())); }

  void modifyView() {
    apply(schema::modifyView(db(), treeSelection(window_), askTextWithPrompts()));
  }

  void apply(const Outcome& outcome) { window_.applyOutcome(outcome); }

  HostWindow& window_;
  schema::DesignerState designer_;
};

}  // namespace

void connectSchemaCommands(HostWindow& window) { new SchemaCommands(window); }

}  // namespace tabulor
