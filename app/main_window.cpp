// The main window outside its tree and data view: controls, menus, layout, log, interface state.

#include "app/main_window.h"

#include <array>
#include <optional>
#include <utility>
#include <vector>

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolBar>
#include <QTreeWidget>

#include "app/icons.h"
#include "app/record_panel.h"
#include "app/structure_tree.h"
#include "app/subsystem_commands.h"
#include "platform/egrid.h"
#include "platform/engine_watch.h"
#include "platform/environment.h"
#include "platform/qstring_conversion.h"
#include "platform/window_style.h"
#include "report/notice.h"

namespace tabulor {
namespace {

// A command as designed: its caption (a menu item's, or the button's when it has no menu
// item; the toolbar shows it without "..."), its picture, and whether it is disabled on its own
// while no database is open (beside the whole menus that are).
struct CommandEntry {
  Command command;
  QStringView caption;
  ToolbarImage picture;
  bool needsOpenDatabase;
};

constexpr std::array<CommandEntry, kCommandCount> kCommands = {{
    {Command::NewDatabase, u"新建数据库...", NewDatabaseImage, false},
    {Command::OpenDatabase, u"打开数据库...", OpenDatabaseImage, false},
    {Command::CloseDatabase, u"关闭数据库", NoToolbarImage, true},
    {Command::BackupDatabase, u"备份数据库", NoToolbarImage, true},
    {Command::DeleteDatabase, u"删除数据库", NoToolbarImage, false},
    {Command::Exit, u"退出", NoToolbarImage, false},
    {Command::NewTable, u"新建表...", NoToolbarImage, true},
    {Command::ModifyTable, u"修改表...", NoToolbarImage, true},
    {Command::RenameTable, u"修改表名称", NoToolbarImage, false},
    {Command::DropTable, u"删除表", DropTableImage, true},
    {Command::ClearTable, u"清空表", NoToolbarImage, true},
    {Command::InsertEmptyRecord, u"插入空记录", NoToolbarImage, false},
    {Command::InsertRecord, u"插入记录...", NoToolbarImage, false},
    {Command::DeleteCurrentRecord, u"删除当前记录", NoToolbarImage, false},
    {Command::ExportTable, u"导出表格", NoToolbarImage, false},
    {Command::ImportCsv, u"导入CSV文件...", NoToolbarImage, false},
    {Command::ExportCsv, u"导出为CSV文件...", NoToolbarImage, false},
    {Command::NewView, u"新建视图", NoToolbarImage, true},
    {Command::ModifyView, u"修改视图", NoToolbarImage, true},
    {Command::RenameView, u"修改视图名称", NoToolbarImage, true},
    {Command::DropView, u"删除视图", NoToolbarImage, true},
    {Command::RunSql, u"执行SQL语句", NoToolbarImage, false},
    {Command::BeginTransaction, u"开始事务", NoToolbarImage, false},
    {Command::CommitTransaction, u"提交事务", NoToolbarImage, false},
    {Command::RollbackTransaction, u"回滚事务", NoToolbarImage, false},
    {Command::LastErrorText, u"取错误文本", NoToolbarImage, false},
    {Command::LastErrorCode, u"取错误码", NoToolbarImage, false},
    {Command::LastInsertId, u"取最新插入ID", NoToolbarImage, false},
    {Command::DatabaseInfo, u"数据库信息", NoToolbarImage, false},
    {Command::Refresh, u"刷新", NoToolbarImage, false},
    {Command::About, u"关于", NoToolbarImage, false},
    {Command::CloseDatabaseButton, u"关闭数据库", NoToolbarImage, true},
}};

// The table is indexed by command: each entry at its command's place, none missing.
constexpr bool inCommandOrder() {
  for (std::size_t i = 0; i < kCommands.size(); ++i)
    if (kCommands[i].command != static_cast<Command>(i)) return false;
  return true;
}
static_assert(inCommandOrder(), "kCommands lists every command once, in the enum's order");

std::size_t indexOf(Command command) { return static_cast<std::size_t>(command); }

using Slot = std::optional<Command>;  // a menu item or toolbar button; none: a separator
constexpr Slot kSeparator;

struct MenuEntry {
  QString title;
  bool needsOpenDatabase;  // the whole menu is disabled while no database is open
  std::vector<Slot> items;
};

const std::vector<MenuEntry>& menuEntries() {
  using enum Command;
  static const std::vector<MenuEntry> entries = {
      {QStringLiteral("数据库"),
       false,
       {NewDatabase, OpenDatabase, CloseDatabase, kSeparator, BackupDatabase, DeleteDatabase,
        kSeparator, Exit}},
      {QStringLiteral("表"),
       true,
       {NewTable, ModifyTable, RenameTable, DropTable, ClearTable, kSeparator, InsertEmptyRecord,
        InsertRecord, DeleteCurrentRecord, ExportTable,
        // Additions after the designed items.
        kSeparator, ImportCsv, ExportCsv}},
      {QStringLiteral("视图"), true, {NewView, ModifyView, RenameView, DropView}},
      {QStringLiteral("其它操作"),
       true,
       {RunSql, kSeparator, BeginTransaction, CommitTransaction, RollbackTransaction, kSeparator,
        LastErrorText, LastErrorCode, LastInsertId}},
      {QStringLiteral("帮助"), true, {DatabaseInfo, Refresh, About}},
  };
  return entries;
}

const std::vector<Slot>& toolbarSlots() {
  using enum Command;
  static const std::vector<Slot> buttons = {
      NewDatabase, OpenDatabase, CloseDatabaseButton,
      kSeparator,  NewTable,     ModifyTable,
      ClearTable,  DropTable,    kSeparator,
      NewView,     ModifyView,   RenameView,
      DropView,    kSeparator,   RunSql,
  };
  return buttons;
}

QString withoutEllipsis(QString caption) {
  if (caption.endsWith(QStringLiteral("..."))) caption.chop(3);
  return caption;
}

// Puts a control at its place of the layout; a negative size counts as none.
void place(QWidget* widget, const Box& box) {
  widget->setGeometry(box.left, box.top, std::max(box.width, 0), std::max(box.height, 0));
}

}  // namespace

MainWindow::MainWindow(AppState& state, QWidget* parent)
    : HostWindow(parent), state_(state), layout_(designedMainLayout()) {
  setObjectName(QStringLiteral("MainWindow"));
  applyDesignedFont(*this);
  setWindowIcon(programIcon());
  client_ = new QWidget(this);
  client_->setObjectName(QStringLiteral("client"));
  setCentralWidget(client_);
  createCommands();
  createMenus();
  createControls();
  createToolBar();
  resize(799, 589);
  move(50, 50);
  applyLayout(layout_);
  client_->installEventFilter(this);
  applyClassicGroupBoxes(*client_);
  engineWatch_ = std::make_unique<EngineWatch>(this, state_.db,
                                               [this](const QString& line) { appendLog(line); });
  connectSubsystemCommands(*this);
}

MainWindow::~MainWindow() = default;

EngineWatch::Work MainWindow::beginWork(const QString& what) { return engineWatch_->begin(what); }

bool MainWindow::workCancelled() const { return engineWatch_->cancelled(); }

void MainWindow::whenEngineFree(std::function<void()> work) {
  engineWatch_->whenEngineFree(std::move(work));
}

void MainWindow::createControls() {
  标签6 = named(new QFrame(client_), QStringLiteral("标签6"), QStringLiteral("分隔线"));
  标签6->setFrameShape(QFrame::HLine);
  标签6->setFrameShadow(QFrame::Sunken);
  标签1 = named(new QLabel(QStringLiteral("数据库结构："), client_), QStringLiteral("标签1"),
                QStringLiteral("数据库结构："));
  组合框_显示内容 = named(new QComboBox(client_), QStringLiteral("组合框_显示内容"));
  组合框_显示内容->addItems({QStringLiteral("显示所有表和视图"), QStringLiteral("显示表"),
                             QStringLiteral("显示视图"), QStringLiteral("显示临时表"),
                             QStringLiteral("显示临时视图")});
  组合框_显示内容->setCurrentIndex(0);
  树型框1 =
      named(new QTreeWidget(client_), QStringLiteral("树型框1"), QStringLiteral("数据库结构"));
  树型框1->setHeaderHidden(true);
  树型框1->setIconSize(kTreeIconSize);
  树型框1->setContextMenuPolicy(Qt::CustomContextMenu);
  树型框1->setIndentation(16);
  标签1->setBuddy(组合框_显示内容);
  分隔条1 = named(new QFrame(client_), QStringLiteral("分隔条1"), QStringLiteral("分隔条"));
  分隔条1->setFrameShape(QFrame::VLine);
  分隔条1->setFrameShadow(QFrame::Sunken);
  分隔条1->setCursor(Qt::SplitHCursor);
  分组框1 = named(new QGroupBox(QStringLiteral("表或视图定义"), client_), QStringLiteral("分组框1"),
                  QStringLiteral("表或视图定义"));
  编辑框_表或视图定义 = named(new QPlainTextEdit(分组框1), QStringLiteral("编辑框_表或视图定义"));
  编辑框_表或视图定义->setReadOnly(true);
  编辑框_表或视图定义->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  高级表格1 = named(new EGrid(client_), QStringLiteral("高级表格1"), QStringLiteral("数据表格"));
  编辑框_表基本信息 = named(new QLineEdit(client_), QStringLiteral("编辑框_表基本信息"));
  编辑框_表基本信息->setReadOnly(true);
  分组框_字段读写 = named(createRecordPanel(*this, client_), QStringLiteral("分组框_字段读写"));
  编辑框_表名称 = named(new QLineEdit(client_), QStringLiteral("编辑框_表名称"));
  标签2 = named(new QLabel(QStringLiteral("操作日志："), client_), QStringLiteral("标签2"),
                QStringLiteral("操作日志："));
  标签2->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  超级按钮_写日志到文件 =
      namedButton(client_, QStringLiteral("超级按钮_写日志到文件"), QStringLiteral("存到文件..."));
  超级按钮_清除日志 =
      namedButton(client_, QStringLiteral("超级按钮_清除日志"), QStringLiteral("全部清除"));
  编辑框_操作日志 = named(new QPlainTextEdit(client_), QStringLiteral("编辑框_操作日志"));
  编辑框_操作日志->setReadOnly(true);
  编辑框_操作日志->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  标签2->setBuddy(编辑框_操作日志);
  图片框1 = named(new QLabel(client_), QStringLiteral("图片框1"), QStringLiteral("程序图标"));
  图片框1->setPixmap(programIcon().pixmap(40, 40));
  图片框1->setAlignment(Qt::AlignCenter);
  标签8 = named(new QLabel(QStringLiteral("Tabulor 0.1"), client_), QStringLiteral("标签8"),
                QStringLiteral("Tabulor 0.1"));
  标签7 = named(new QLabel(QStringLiteral("SQLite 3\n数据库管理器"), client_),
                QStringLiteral("标签7"), QStringLiteral("SQLite 3 数据库管理器"));
  标签7->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  connect(超级按钮_写日志到文件, &QPushButton::clicked, this, &MainWindow::saveLogToFile);
  connect(超级按钮_清除日志, &QPushButton::clicked, this, &MainWindow::clearLog);
  connect(组合框_显示内容, &QComboBox::currentIndexChanged, this, &MainWindow::onFilterChanged);
  connect(树型框1, &QTreeWidget::currentItemChanged, this, &MainWindow::onTreeSelectionChanged);
  connect(高级表格1, &EGrid::currentCellMoved, 分组框_字段读写,
          [this](int row, int column) { 分组框_字段读写->syncPanelToGridCursor(row, column); });
  树型框1->viewport()->installEventFilter(this);
  connect(树型框1, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QTreeWidgetItem* item = itemPictureOrTextAt(*树型框1, at);
    if (!item) return;
    树型框1->setCurrentItem(item);
    onTreeRightButton(树型框1->viewport()->mapToGlobal(at));
  });
}

void MainWindow::createCommands() {
  for (const CommandEntry& entry : kCommands) {
    auto* action = new QAction(entry.caption.toString(), this);
    if (entry.picture != NoToolbarImage) action->setIcon(toolbarIcon(entry.picture));
    action->setIconVisibleInMenu(false);  // the pictures are the toolbar's
    actions_[indexOf(entry.command)] = action;
  }
}

void MainWindow::createMenus() {
  for (const auto& entry : menuEntries()) {
    QMenu* menu = menuBar()->addMenu(entry.title);
    menu->setObjectName(QStringLiteral("菜单_") + entry.title);
    menus_[entry.title] = menu;
    for (const Slot& item : entry.items) {
      if (!item) {
        menu->addSeparator();
        continue;
      }
      QAction* command = action(*item);
      command->setObjectName(QStringLiteral("菜单_") + withoutEllipsis(command->text()));
      menu->addAction(command);
    }
  }
  onCommand(Command::Exit, [this] { exitProgram(); });
  onCommand(Command::Refresh, [this] { reloadStructureTree(); });
  onCommand(Command::About, [this] { showAbout(); });
}

void MainWindow::createToolBar() {
  工具条1 = named(new QToolBar(client_), QStringLiteral("工具条1"), QStringLiteral("工具条"));
  工具条1->setMovable(false);
  工具条1->setFloatable(false);
  工具条1->setIconSize(QSize(20, 20));
  工具条1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  const auto& buttons = toolbarSlots();
  for (std::size_t number = 0; number < buttons.size(); ++number) {
    QAction* button =
        buttons[number] ? addToolbarButton(*buttons[number]) : 工具条1->addSeparator();
    button->setObjectName(QStringLiteral("工具条1_按钮%1").arg(number));
  }
}

// A button is an action of its own beside the menu item, so that both keep their designed
// object names; it shows the command's caption without "..." and its picture, follows its
// state and gives it.
QAction* MainWindow::addToolbarButton(Command command) {
  QAction* source = action(command);
  QAction* button = 工具条1->addAction(source->icon(), withoutEllipsis(source->text()));
  button->setEnabled(source->isEnabled());
  connect(source, &QAction::enabledChanged, button, &QAction::setEnabled);
  connect(button, &QAction::triggered, source, &QAction::trigger);
  toolbarButtons_[indexOf(command)] = button;
  return button;
}

QAction* MainWindow::action(Command command) const { return actions_[indexOf(command)]; }

void MainWindow::onCommand(Command command, std::function<void()> handler) {
  QAction* source = action(command);
  connect(source, &QAction::triggered, this,
          [this, what = withoutEllipsis(source->text()), handler = std::move(handler)] {
            const auto work = beginWork(what);
            handler();
          });
}

QMenu* MainWindow::menu(const QString& caption) const {
  const auto found = menus_.find(caption);
  return found == menus_.end() ? nullptr : found->second;
}

void MainWindow::popUpTableMenu(const QPoint& globalPosition) {
  prompts().popupMenu(*menu(QStringLiteral("表")), globalPosition);
}

QAction* MainWindow::toolbarButton(Command command) const {
  return toolbarButtons_[indexOf(command)];
}

// ------------------------------------------------------------------ start and end

void MainWindow::onMainWindowCreated() {
  // The normal size fills the screen too, for desktops without a window manager.
  if (screen()) setGeometry(screen()->availableGeometry());
  setWindowState(windowState() | Qt::WindowMaximized);
  state_.appTitle = "Tabulor";
  updateCaption();
  state_.displayLimit = 1000;
  {
    const auto work = beginWork(QStringLiteral("打开数据库"));
    emit started();
  }
  updateInfoMenuVisibility();
}

void MainWindow::onMainWindowDestroyed() { emit ending(); }

void MainWindow::closeEvent(QCloseEvent* event) {
  onMainWindowDestroyed();
  event->accept();
}

void MainWindow::exitProgram() {
  emit ending();
  close();
}

void MainWindow::showAbout() {
  prompts().messageBox(fromProgramText(state_.appTitle) +
                           QStringLiteral("特别说明：此管理器能很好地执行SQL语句，\r\n\r\n"
                                          "但不能创建视图（要查询数据可以用：执行SQL）"),
                       0);
}

// ------------------------------------------------------------------ layout

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == client_ && event->type() == QEvent::Resize) layoutMainWindow();
  // The right button selects an item only on its picture or its text.
  if (watched == 树型框1->viewport() &&
      (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::RightButton &&
        !itemPictureOrTextAt(*树型框1, mouse->position().toPoint()))
      return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::layoutMainWindow() {
  layout_ = tabulor::layoutMainWindow(layout_, client_->width(), client_->height());
  applyLayout(layout_);
}

void MainWindow::applyLayout(const MainLayout& l) {
  工具条1->setGeometry(0, 0, std::max(client_->width(), 793), 38);
  place(标签6, l.toolbarLine);
  标签1->setGeometry(9, 60, 76, 12);
  place(组合框_显示内容, l.filter);
  place(树型框1, l.tree);
  place(分隔条1, l.splitter);
  place(分组框1, l.definitionGroup);
  place(编辑框_表或视图定义, l.definition);
  place(高级表格1, l.grid);
  place(编辑框_表基本信息, l.summary);
  place(分组框_字段读写, l.fieldPanel);
  place(编辑框_表名称, l.tableName);
  place(标签2, l.logLabel);
  place(超级按钮_写日志到文件, l.saveLogButton);
  place(超级按钮_清除日志, l.clearLogButton);
  place(编辑框_操作日志, l.log);
  place(图片框1, l.picture);
  place(标签7, l.creditLabel);
  place(标签8, l.creditTitle);
}

// ------------------------------------------------------------------ reporting

// The log box shows the text; the text itself is kept as logged, since the box turns
// every CR or LF into a paragraph break and reads a no-break space back as a blank.
// A cancelled piece of work reports its cancel once; its failure lines would only repeat it.
void MainWindow::appendLog(const QString& line) {
  if (workCancelled() && line.startsWith(QStringLiteral("[×]"))) return;
  const QString added = QStringLiteral("\r\n") + line;
  log_ += added;
  编辑框_操作日志->moveCursor(QTextCursor::End);
  编辑框_操作日志->insertPlainText(
      QString(added).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  编辑框_操作日志->ensureCursorVisible();
}

QString MainWindow::logText() const { return log_; }

void MainWindow::clearLog() {
  log_.clear();
  编辑框_操作日志->clear();
}

void MainWindow::saveLogToFile() {
  FileDialogRequest request = textDialog();
  const auto path = prompts().saveFileName(request);
  if (!path) return;
  bool convertible = false;
  const std::string bytes = toProgramText(logText(), &convertible);
  if (!writeFileTellingUser(*path,
                            convertible ? std::optional<std::string_view>(bytes) : std::nullopt))
    return;
  environment().openWithEditor(*path);
}

void MainWindow::showDbError(const QString& message) {
  showNotice(dbErrorNotice(toProgramText(message), state_.db.errorText()));
}

void MainWindow::applyOutcome(const Outcome& outcome, const std::function<void()>& whenUpToDate) {
  if (outcome.logLine) appendLog(fromProgramText(*outcome.logLine));
  if (outcome.notice && !outcome.noticeLast) showNotice(*outcome.notice);
  if (outcome.reloadStructureTree) reloadStructureTree();
  if (outcome.refreshShownObject) refreshShownObject();
  if (outcome.refreshShownObjectInPlace) refreshShownObjectInPlace();
  if (outcome.clearDataView) clearDataView();
  if (whenUpToDate) whenUpToDate();
  if (outcome.notice && outcome.noticeLast) showNotice(*outcome.notice);
}

// ------------------------------------------------------------------ interface state

void MainWindow::applyDatabaseUiState(bool open) {
  for (const CommandEntry& entry : kCommands)
    if (entry.needsOpenDatabase) action(entry.command)->setEnabled(open);
  for (const MenuEntry& entry : menuEntries())
    if (entry.needsOpenDatabase) menu(entry.title)->setEnabled(open);
}

void MainWindow::updateInfoMenuVisibility() {
  const bool hidden = treeItemCount(*树型框1) == 0 &&
                      组合框_显示内容->currentText() == QStringLiteral("显示所有表和视图");
  action(Command::DatabaseInfo)->setVisible(!hidden);
}

void MainWindow::updateCaption() {
  QString caption = fromProgramText(state_.appTitle);
  if (!state_.dbPath.empty()) caption += QStringLiteral(" - ") + fromProgramText(state_.dbPath);
  setWindowTitle(caption);
}

// ------------------------------------------------------------------ dialogs (HostWindow's)

FileDialogRequest HostWindow::databaseDialog() {
  FileDialogRequest request;
  request.filter = QStringLiteral("Sqlite数据库文件(*.db)|*.db|所有文件(*.*)|*.*");
  request.defaultExtension = QStringLiteral("sdb");
  return request;
}

FileDialogRequest HostWindow::textDialog() {
  FileDialogRequest request;
  request.filter = QStringLiteral("文本文件(*.txt)|*.txt|所有文件(*.*)|*.*");
  request.defaultExtension = QStringLiteral("txt");
  return request;
}

}  // namespace tabulor
