// The main window outside its tree and data view: controls, menus, layout, log, interface state.

#include "app/main_window.h"

#include <stdexcept>
#include <utility>

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

const QString kSeparator;  // an empty caption stands for a separator

struct MenuEntry {
  QString title;
  QStringList items;
};

const std::vector<MenuEntry>& menuEntries() {
  static const std::vector<MenuEntry> entries = {
      {QStringLiteral("数据库"),
       {QStringLiteral("新建数据库..."), QStringLiteral("打开数据库..."),
        QStringLiteral("关闭数据库"), kSeparator, QStringLiteral("备份数据库"),
        QStringLiteral("删除数据库"), kSeparator, QStringLiteral("退出")}},
      {QStringLiteral("表"),
       {QStringLiteral("新建表..."), QStringLiteral("修改表..."), QStringLiteral("修改表名称"),
        QStringLiteral("删除表"), QStringLiteral("清空表"), kSeparator,
        QStringLiteral("插入空记录"), QStringLiteral("插入记录..."), QStringLiteral("删除当前记录"),
        QStringLiteral("导出表格"),
        // Additions after the designed items.
        kSeparator, QStringLiteral("导入CSV文件..."), QStringLiteral("导出为CSV文件...")}},
      {QStringLiteral("视图"),
       {QStringLiteral("新建视图"), QStringLiteral("修改视图"), QStringLiteral("修改视图名称"),
        QStringLiteral("删除视图")}},
      {QStringLiteral("其它操作"),
       {QStringLiteral("执行SQL语句"), kSeparator, QStringLiteral("开始事务"),
        QStringLiteral("提交事务"), QStringLiteral("回滚事务"), kSeparator,
        QStringLiteral("取错误文本"), QStringLiteral("取错误码"), QStringLiteral("取最新插入ID")}},
      {QStringLiteral("帮助"),
       {QStringLiteral("数据库信息"), QStringLiteral("刷新"), QStringLiteral("关于")}},
  };
  return entries;
}

struct ToolbarEntry {
  QString caption;      // empty: separator
  QString menuCaption;  // the menu item the button stands for
  ToolbarImage icon;
};

const std::vector<ToolbarEntry>& toolbarEntries() {
  static const std::vector<ToolbarEntry> entries = {
      {QStringLiteral("新建数据库"), QStringLiteral("新建数据库..."), NewDatabaseImage},
      {QStringLiteral("打开数据库"), QStringLiteral("打开数据库..."), OpenDatabaseImage},
      {QStringLiteral("关闭数据库"), {}, NoToolbarImage},
      {{}, {}, NoToolbarImage},
      {QStringLiteral("新建表"), QStringLiteral("新建表..."), NoToolbarImage},
      {QStringLiteral("修改表"), QStringLiteral("修改表..."), NoToolbarImage},
      {QStringLiteral("清空表"), QStringLiteral("清空表"), NoToolbarImage},
      {QStringLiteral("删除表"), QStringLiteral("删除表"), DropTableImage},
      {{}, {}, NoToolbarImage},
      {QStringLiteral("新建视图"), QStringLiteral("新建视图"), NoToolbarImage},
      {QStringLiteral("修改视图"), QStringLiteral("修改视图"), NoToolbarImage},
      {QStringLiteral("修改视图名称"), QStringLiteral("修改视图名称"), NoToolbarImage},
      {QStringLiteral("删除视图"), QStringLiteral("删除视图"), NoToolbarImage},
      {{}, {}, NoToolbarImage},
      {QStringLiteral("执行SQL语句"), QStringLiteral("执行SQL语句"), NoToolbarImage},
  };
  return entries;
}

QString menuObjectName(QString caption) {
  if (caption.endsWith(QStringLiteral("..."))) caption.chop(3);
  return QStringLiteral("菜单_") + caption;
}

// Puts a control at its place of the layout; a negative size counts as none.
void place(QWidget* widget, const Box& box) {
  widget->setGeometry(box.left, box.top, std::max(box.width, 0), std::max(box.height, 0));
}

}  // namespace

MainWindow::MainWindow(AppState& state, QWidget* parent)
    : QMainWindow(parent), state_(state), layout_(designedMainLayout()) {
  setObjectName(QStringLiteral("MainWindow"));
  applyDesignedFont(*this);
  setWindowIcon(programIcon());
  client_ = new QWidget(this);
  client_->setObjectName(QStringLiteral("client"));
  setCentralWidget(client_);
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

void MainWindow::createMenus() {
  for (const auto& entry : menuEntries()) {
    QMenu* menu = menuBar()->addMenu(entry.title);
    menu->setObjectName(QStringLiteral("菜单_") + entry.title);
    menus_[entry.title] = menu;
    for (const QString& caption : entry.items) {
      if (caption.isEmpty()) {
        menu->addSeparator();
        continue;
      }
      QAction* action = menu->addAction(caption);
      action->setObjectName(menuObjectName(caption));
      menuActions_[caption] = action;
    }
  }
  onMenu(QStringLiteral("退出"), [this] { exitProgram(); });
  onMenu(QStringLiteral("刷新"), [this] { reloadStructureTree(); });
  onMenu(QStringLiteral("关于"), [this] { showAbout(); });
}

void MainWindow::createToolBar() {
  工具条1 = named(new QToolBar(client_), QStringLiteral("工具条1"), QStringLiteral("工具条"));
  工具条1->setMovable(false);
  工具条1->setFloatable(false);
  工具条1->setIconSize(QSize(20, 20));
  工具条1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  const auto& entries = toolbarEntries();
  for (int number = 0; number < static_cast<int>(entries.size()); ++number) {
    const auto& entry = entries[static_cast<std::size_t>(number)];
    QAction* button =
        entry.caption.isEmpty() ? 工具条1->addSeparator() : 工具条1->addAction(entry.caption);
    button->setObjectName(QStringLiteral("工具条1_按钮%1").arg(number));
    if (entry.icon != NoToolbarImage) button->setIcon(toolbarIcon(entry.icon));
    if (!entry.caption.isEmpty())
      connect(button, &QAction::triggered, this,
              [this, number] { onToolbarButtonClicked(number); });
    toolbarButtons_.push_back(button);
  }
}

QAction* MainWindow::menuAction(const QString& caption) const {
  const auto found = menuActions_.find(caption);
  return found == menuActions_.end() ? nullptr : found->second;
}

void MainWindow::onMenu(const QString& caption, std::function<void()> handler) {
  QAction* action = menuAction(caption);
  if (!action) throw std::invalid_argument("no menu item " + caption.toStdString());
  QString what = caption;
  if (what.endsWith(QStringLiteral("..."))) what.chop(3);
  connect(action, &QAction::triggered, this, [this, what, handler = std::move(handler)] {
    const auto work = beginWork(what);
    handler();
  });
}

QMenu* MainWindow::menu(const QString& caption) const {
  const auto found = menus_.find(caption);
  return found == menus_.end() ? nullptr : found->second;
}

QAction* MainWindow::toolbarButton(int number) const {
  return number >= 0 && number < static_cast<int>(toolbarButtons_.size())
             ? toolbarButtons_[static_cast<std::size_t>(number)]
             : nullptr;
}

void MainWindow::onToolbarButtonClicked(int number) {
  if (number == kCloseDatabaseButton) {
    const auto work = beginWork(QStringLiteral("关闭数据库"));
    emit closeButtonClicked();
    return;
  }
  if (number < 0 || number >= static_cast<int>(toolbarEntries().size())) return;
  const QString& caption = toolbarEntries()[static_cast<std::size_t>(number)].menuCaption;
  if (QAction* action = menuAction(caption)) action->trigger();
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
  for (int number = kFirstDatabaseButton; number <= kLastDatabaseButton; ++number)
    toolbarButton(number)->setEnabled(open);
  menuAction(QStringLiteral("关闭数据库"))->setEnabled(open);
  for (const char* title : {"表", "视图", "其它操作", "帮助"})
    menu(QString::fromUtf8(title))->setEnabled(open);
  menuAction(QStringLiteral("备份数据库"))->setEnabled(open);
}

void MainWindow::updateInfoMenuVisibility() {
  const bool hidden = treeItemCount(*树型框1) == 0 &&
                      组合框_显示内容->currentText() == QStringLiteral("显示所有表和视图");
  menuAction(QStringLiteral("数据库信息"))->setVisible(!hidden);
}

void MainWindow::updateCaption() {
  QString caption = fromProgramText(state_.appTitle);
  if (!state_.dbPath.empty()) caption += QStringLiteral(" - ") + fromProgramText(state_.dbPath);
  setWindowTitle(caption);
}

// ------------------------------------------------------------------ dialogs

FileDialogRequest MainWindow::databaseDialog() {
  FileDialogRequest request;
  request.filter = QStringLiteral("Sqlite数据库文件(*.db)|*.db|所有文件(*.*)|*.*");
  request.defaultExtension = QStringLiteral("sdb");
  return request;
}

FileDialogRequest MainWindow::textDialog() {
  FileDialogRequest request;
  request.filter = QStringLiteral("文本文件(*.txt)|*.txt|所有文件(*.*)|*.*");
  request.defaultExtension = QStringLiteral("txt");
  return request;
}

}  // namespace tabulor
