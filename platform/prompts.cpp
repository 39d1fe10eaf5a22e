// Message boxes, input boxes, file dialogs and context menus, behind one interface tests replace.

#include "platform/prompts.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

#include "platform/busy_progress.h"
#include "platform/qstring_conversion.h"
#include "report/notice.h"

namespace tabulor {
namespace {

QtPrompts& qtPrompts() {
  static QtPrompts instance;
  return instance;
}

Prompts* current = nullptr;
int withheldScopes = 0;

Prompts& inForce() { return current ? *current : qtPrompts(); }

bool isFailureReport(int flags) {
  const int icon = flags & 0xF0;
  return icon == MessageFlags::ErrorIcon || icon == MessageFlags::WarningIcon;
}

// Forwards everything but the failure reports and questions to the prompts in force.
class WithheldBoxes : public Prompts {
 public:
  using Prompts::messageBox;
  Answer messageBox(const QString& text, const QString& title, int flags) override {
    switch (flags & 0xF) {
      case MessageFlags::OkCancel:
      case MessageFlags::YesNoCancel:
        return Answer::Cancel;
      case MessageFlags::YesNo:
        return Answer::No;
      default:
        return isFailureReport(flags) ? Answer::Ok : inForce().messageBox(text, title, flags);
    }
  }
  std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                  const QString& initialText) override {
    return inForce().inputBox(prompt, title, initialText);
  }
  std::optional<QString> openFileName(const FileDialogRequest& request) override {
    return inForce().openFileName(request);
  }
  std::optional<QString> saveFileName(const FileDialogRequest& request) override {
    return inForce().saveFileName(request);
  }
  void popupMenu(QMenu& menu, const QPoint& globalPosition) override {
    inForce().popupMenu(menu, globalPosition);
  }
};

// The dialogs show "\r\n" as a plain line break.
QString displayed(QString text) {
  return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QMessageBox::Icon iconFor(int flags) {
  switch (flags & 0xF0) {
    case MessageFlags::ErrorIcon:
      return QMessageBox::Critical;
    case MessageFlags::QuestionIcon:
      return QMessageBox::Question;
    case MessageFlags::WarningIcon:
      return QMessageBox::Warning;
    case MessageFlags::InformationIcon:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

struct ButtonChoice {
  Answer answer;
  QMessageBox::ButtonRole role;
  const char* caption;
};

std::vector<ButtonChoice> buttonsFor(int flags) {
  const ButtonChoice ok{Answer::Ok, QMessageBox::AcceptRole, "确定"};
  const ButtonChoice cancel{Answer::Cancel, QMessageBox::RejectRole, "取消"};
  const ButtonChoice yes{Answer::Yes, QMessageBox::YesRole, "是(&Y)"};
  const ButtonChoice no{Answer::No, QMessageBox::NoRole, "否(&N)"};
  switch (flags & 0xF) {
    case MessageFlags::OkCancel:
      return {ok, cancel};
    case MessageFlags::YesNoCancel:
      return {yes, no, cancel};
    case MessageFlags::YesNo:
      return {yes, no};
    default:
      return {ok};
  }
}

}  // namespace

Prompts& prompts() {
  static WithheldBoxes withheld;
  if (withheldScopes > 0) return withheld;
  return inForce();
}

void setPrompts(Prompts* replacement) { current = replacement; }

WithheldFailureReports::WithheldFailureReports() { ++withheldScopes; }

WithheldFailureReports::~WithheldFailureReports() { --withheldScopes; }

QWidget* dialogParent() {
  QWidget* window = QApplication::activeWindow();
  while (window && window->objectName() == kBusyDialogName)
    window = window->parentWidget() ? window->parentWidget()->window() : nullptr;
  return window;
}

Answer QtPrompts::messageBox(const QString& text, const QString& title, int flags) {
  QMessageBox box(iconFor(flags), title.isEmpty() ? kDefaultMessageTitle : title, displayed(text),
                  QMessageBox::NoButton, dialogParent());
  const auto choices = buttonsFor(flags);
  std::vector<QPushButton*> buttons;
  for (const auto& choice : choices)
    buttons.push_back(box.addButton(QString::fromUtf8(choice.caption), choice.role));
  const std::size_t defaultIndex = (flags & 0xF00) >> 8;
  box.setDefaultButton(buttons[defaultIndex < buttons.size() ? defaultIndex : 0]);
  // Escape gives Cancel where there is one, else the only or last button (No).
  box.setEscapeButton(buttons.back());
  box.exec();
  for (std::size_t i = 0; i < buttons.size(); ++i)
    if (box.clickedButton() == buttons[i]) return choices[i].answer;
  return choices.back().answer;
}

std::optional<QString> QtPrompts::inputBox(const QString& prompt, const QString& title,
                                           const QString& initialText) {
  QDialog dialog(dialogParent());
  dialog.setWindowTitle(title.isEmpty() ? kDefaultInputTitle : title);
  auto* layout = new QVBoxLayout(&dialog);
  auto* label = new QLabel(displayed(prompt), &dialog);
  label->setWordWrap(true);
  auto* edit = new QLineEdit(initialText, &dialog);
  edit->setAccessibleName(QStringLiteral("输入内容"));
  edit->selectAll();
  label->setBuddy(edit);
  auto* buttons = new QDialogButtonBox(&dialog);
  buttons->addButton(QStringLiteral("确认输入(&O)"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("取消(&C)"), QDialogButtonBox::RejectRole);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(label);
  layout->addWidget(edit);
  layout->addWidget(buttons);
  dialog.resize(360, dialog.sizeHint().height());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return edit->text();
}

namespace {

std::optional<QString> runFileDialog(const FileDialogRequest& request, bool save) {
  QFileDialog dialog(dialogParent());
  setUpFileDialog(dialog, request, save);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString path =
      withDefaultExtension(dialog.selectedFiles().constFirst(), request.defaultExtension);
  if (request.folderMustExist && !QFileInfo(path).absoluteDir().exists()) return std::nullopt;
  return path;
}

}  // namespace

void showNotice(const Notice& notice) {
  prompts().messageBox(fromProgramText(notice.text), fromProgramText(notice.title), notice.flags);
}

AskText askTextWithPrompts() {
  return [](const InputRequest& request) -> std::optional<std::string> {
    const auto entered =
        prompts().inputBox(fromProgramText(request.prompt), fromProgramText(request.title),
                           fromProgramText(request.initialText));
    if (!entered) return std::nullopt;
    // A character the code page cannot hold leaves an empty text, which every
    // command refuses as such.
    return toProgramText(*entered);
  };
}

AskYes askYesWithPrompts() {
  return [](const std::string& question, int flags) {
    return prompts().messageBox(fromProgramText(question), flags) == Answer::Yes;
  };
}

bool writeFileTellingUser(const QString& path, std::optional<std::string_view> bytes) {
  QSaveFile file(path);
  const bool written = bytes && file.open(QIODevice::WriteOnly) &&
                       file.write(bytes->data(), static_cast<qint64>(bytes->size())) ==
                           static_cast<qint64>(bytes->size()) &&
                       file.commit();
  if (!written) {
    prompts().messageBox(QStringLiteral("写文件失败！"), MessageFlags::ErrorIcon);
    return false;
  }
  prompts().messageBox(QStringLiteral("已成功写入文件 ") + path, MessageFlags::InformationIcon);
  return true;
}

void setUpFileDialog(QFileDialog& dialog, const FileDialogRequest& request, bool save) {
  dialog.setWindowTitle(request.title);
  if (!request.initialFolder.isEmpty()) dialog.setDirectory(request.initialFolder);
  // The patterns follow each description only for the dialog to read them; the user
  // sees the description as given.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setNameFilters(qtNameFilters(request.filter));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(!save && request.fileMustExist ? QFileDialog::ExistingFile
                                                    : QFileDialog::AnyFile);
  dialog.setDefaultSuffix(request.defaultExtension);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
}

std::optional<QString> QtPrompts::openFileName(const FileDialogRequest& request) {
  return runFileDialog(request, false);
}

std::optional<QString> QtPrompts::saveFileName(const FileDialogRequest& request) {
  return runFileDialog(request, true);
}

void QtPrompts::popupMenu(QMenu& menu, const QPoint& globalPosition) { menu.exec(globalPosition); }

QStringList qtNameFilters(const QString& windowsFilter) {
  QStringList filters;
  const QStringList parts = windowsFilter.split(QLatin1Char('|'));
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    filters << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
  }
  return filters;
}

QString withDefaultExtension(const QString& path, const QString& extension) {
  if (extension.isEmpty() || path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
  return path + QLatin1Char('.') + extension;
}

}  // namespace tabulor
