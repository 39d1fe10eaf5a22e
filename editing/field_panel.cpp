// The field panel's pages and selectors, and a field read and written as text, number or blob.

#include "editing/field_panel.h"

#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTextDocument>

#include "app/host_window.h"
#include "editing/core/field_text.h"
#include "editing/core/records.h"
#include "editing/page_geometry.h"
#include "editing/picture_panels.h"
#include "editing/picture_viewer_window.h"
#include "platform/environment.h"
#include "platform/prompts.h"
#include "platform/qstring_conversion.h"
#include "platform/window_style.h"

namespace tabulor {
namespace {

// Lets typed characters through only when they are in the allowed set; control characters
// (Backspace, and Delete, which arrives as U+007F), pasted text and text set by the program
// always pass.
class TypedCharacterFilter : public QObject {
 public:
  TypedCharacterFilter(QString allowed, QObject* parent)
      : QObject(parent), allowed_(std::move(allowed)) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const QString typed = static_cast<QKeyEvent*>(event)->text();
      if (!typed.isEmpty() && typed.front().isPrint())
        for (const QChar c : typed)
          if (!allowed_.contains(c)) return true;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QString allowed_;
};

// The engine never holds a value longer than this, whatever its limits are set to.
constexpr qint64 kLongestValue = 2'147'483'647;

std::optional<Bytes> readWholeFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || file.size() > kLongestValue) return std::nullopt;
  const QByteArray content = file.readAll();
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  return Bytes(content.begin(), content.end());
}

// The panel's dialog for blob files.
FileDialogRequest blobDialog() {
  FileDialogRequest request;
  request.filter = QStringLiteral("所有文件(*.*)|*.*");
  return request;
}

// CR LF, CR or LF, whichever comes first in text; LF when it has none.
QString firstLineBreak(const QString& text) {
  const qsizetype at = text.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
  if (at < 0 || text[at] == QLatin1Char('\n')) return QStringLiteral("\n");
  return text.mid(at, 2) == QStringLiteral("\r\n") ? QStringLiteral("\r\n") : QStringLiteral("\r");
}

std::optional<std::string> programTextOf(const QString& text) {
  bool convertible = false;
  std::string converted = toProgramText(text, &convertible);
  if (!convertible) return std::nullopt;
  return converted;
}

}  // namespace

RecordPanel* createRecordPanel(HostWindow& window, QWidget* parent) {
  return new FieldPanel(window, parent);
}

FieldPanel::FieldPanel(HostWindow& window, QWidget* parent)
    : RecordPanel(QStringLiteral("字段读写"), parent), window_(window) {
  createSelectors();
  QTabWidget& pages = *高级选择夹1;
  createTextPage(pages.widget(0));
  createNumberPage(pages.widget(1), 编辑框_整数字段值, 按钮_读整数字段值, 按钮_写整数字段值,
                   QStringLiteral("编辑框_整数字段值"), QStringLiteral("按钮_读整数字段值"),
                   QStringLiteral("按钮_写整数字段值"), QStringLiteral("-0123456789"));
  createNumberPage(pages.widget(2), 编辑框_小数字段值, 按钮_读小数字段值, 按钮_写小数字段值,
                   QStringLiteral("编辑框_小数字段值"), QStringLiteral("按钮_读小数字段值"),
                   QStringLiteral("按钮_写小数字段值"), QStringLiteral("-.0123456789"));
  createBlobPage(pages.widget(3));
  connectControls();
}

void FieldPanel::createSelectors() {
  标签4 = named(new QLabel(QStringLiteral("记录序号："), this), QStringLiteral("标签4"),
                QStringLiteral("记录序号："));
  标签4->setGeometry(10, 26, 56, 16);
  组合框_记录序号 = named(new QComboBox(this), QStringLiteral("组合框_记录序号"));
  组合框_记录序号->setGeometry(72, 24, 80, 20);
  标签4->setBuddy(组合框_记录序号);
  标签3 = named(new QLabel(QStringLiteral("字段名称："), this), QStringLiteral("标签3"),
                QStringLiteral("字段名称："));
  标签3->setGeometry(10, 51, 96, 16);
  组合框_字段名称 = named(new QComboBox(this), QStringLiteral("组合框_字段名称"));
  组合框_字段名称->setGeometry(8, 68, 144, 20);
  标签3->setBuddy(组合框_字段名称);
  高级选择夹1 =
      named(new QTabWidget(this), QStringLiteral("高级选择夹1"), QStringLiteral("字段值类型"));
  高级选择夹1->setGeometry(8, 96, 144, 256);
  for (const QString& page : {QStringLiteral("文本型"), QStringLiteral("整数型"),
                              QStringLiteral("小数型"), QStringLiteral("字节集型")}) {
    auto* widget = new QWidget(高级选择夹1);
    widget->setObjectName(QStringLiteral("高级选择夹1_") + page);
    高级选择夹1->addTab(widget, page);
  }
  applyCompactTabs(*高级选择夹1);
}

void FieldPanel::createTextPage(QWidget* page) {
  QTabWidget& pages = *高级选择夹1;
  编辑框_文本字段值 = named(new QPlainTextEdit(page), QStringLiteral("编辑框_文本字段值"));
  编辑框_文本字段值->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  编辑框_文本字段值->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  placeOnPage(pages, *编辑框_文本字段值, QRect(8, 46, 128, 146));
  按钮_从文件读入文本 =
      namedButton(page, QStringLiteral("按钮_从文件读入文本"), QStringLiteral("从文件读"));
  placeOnPage(pages, *按钮_从文件读入文本, QRect(9, 200, 64, 24));
  按钮_写文本到文件 =
      namedButton(page, QStringLiteral("按钮_写文本到文件"), QStringLiteral("写到文件"));
  placeOnPage(pages, *按钮_写文本到文件, QRect(72, 200, 64, 24));
  按钮_读文本字段值 =
      namedButton(page, QStringLiteral("按钮_读文本字段值"), QStringLiteral("读取"));
  placeOnPage(pages, *按钮_读文本字段值, QRect(9, 223, 64, 24));
  按钮_写文本字段值 =
      namedButton(page, QStringLiteral("按钮_写文本字段值"), QStringLiteral("写入"));
  placeOnPage(pages, *按钮_写文本字段值, QRect(72, 223, 64, 24));
}

void FieldPanel::createNumberPage(QWidget* page, QLineEdit*& box, QPushButton*& read,
                                  QPushButton*& write, const QString& boxName,
                                  const QString& readName, const QString& writeName,
                                  const QString& typedCharacters) {
  QTabWidget& pages = *高级选择夹1;
  box = named(new QLineEdit(page), boxName);
  box->setAttribute(Qt::WA_InputMethodEnabled, false);
  box->installEventFilter(new TypedCharacterFilter(typedCharacters, box));
  placeOnPage(pages, *box, QRect(8, 48, 128, 20));
  read = namedButton(page, readName, QStringLiteral("读取"));
  placeOnPage(pages, *read, QRect(8, 96, 64, 24));
  write = namedButton(page, writeName, QStringLiteral("写入"));
  placeOnPage(pages, *write, QRect(71, 96, 64, 24));
}

void FieldPanel::createBlobPage(QWidget* page) {
  QTabWidget& pages = *高级选择夹1;
  按钮_写字节集字段值到文件 = namedButton(page, QStringLiteral("按钮_写字节集字段值到文件"),
                                          QStringLiteral("写出到文件..."));
  placeOnPage(pages, *按钮_写字节集字段值到文件, QRect(8, 48, 128, 24));
  按钮_清除字节集字段 =
      namedButton(page, QStringLiteral("按钮_清除字节集字段"), QStringLiteral("清除"));
  placeOnPage(pages, *按钮_清除字节集字段, QRect(8, 71, 40, 24));
  按钮_从文件写到字节集字段 = namedButton(page, QStringLiteral("按钮_从文件写到字节集字段"),
                                          QStringLiteral("从文件写入..."));
  placeOnPage(pages, *按钮_从文件写到字节集字段, QRect(47, 71, 89, 24));
  标签5 = new QLabel(QStringLiteral("图片预览："), page);
  标签5->setObjectName(QStringLiteral("标签5"));
  placeOnPage(pages, *标签5, QRect(10, 105, 126, 11));
  图片框_字节集预览 = named(new BlobPreview(page), QStringLiteral("图片框_字节集预览"));
  placeOnPage(pages, *图片框_字节集预览, QRect(8, 120, 128, 128));
  标签5->setBuddy(图片框_字节集预览);
}

void FieldPanel::connectControls() {
  // A selector read names its work too, should it take long.
  const auto refreshOnChange = [this] {
    const auto work = window_.beginWork(QStringLiteral("读字段值"));
    refreshFieldPanel();
  };
  connect(组合框_记录序号, &QComboBox::currentIndexChanged, this, refreshOnChange);
  connect(组合框_字段名称, &QComboBox::currentIndexChanged, this, refreshOnChange);
  connect(高级选择夹1, &QTabWidget::currentChanged, this, refreshOnChange);
  const auto onClick = [this](QPushButton* clicked, auto handler) {
    connect(clicked, &QPushButton::clicked, this, [this, clicked, handler] {
      const auto work = window_.beginWork(clicked->text());
      handler();
    });
  };
  onClick(按钮_读文本字段值, [this] { readFieldToPanel(PanelKind::Text); });
  onClick(按钮_读整数字段值, [this] { readFieldToPanel(PanelKind::Integer); });
  onClick(按钮_读小数字段值, [this] { readFieldToPanel(PanelKind::Decimal); });
  onClick(按钮_写字节集字段值到文件, [this] { writeBlobFieldToFile(); });
  onClick(按钮_写文本字段值, [this] { writeFieldFromPanel(PanelKind::Text); });
  onClick(按钮_写整数字段值, [this] { writeFieldFromPanel(PanelKind::Integer); });
  onClick(按钮_写小数字段值, [this] { writeFieldFromPanel(PanelKind::Decimal); });
  onClick(按钮_从文件写到字节集字段, [this] { writeFieldFromPanel(PanelKind::Blob); });
  onClick(按钮_清除字节集字段, [this] { writeFieldFromPanel(PanelKind::ClearBlob); });
  onClick(按钮_从文件读入文本, [this] { loadTextFromFile(); });
  onClick(按钮_写文本到文件, [this] { saveTextToFile(); });
  connect(图片框_字节集预览, &BlobPreview::doubleClicked, this, &FieldPanel::openPictureViewer);
}

int FieldPanel::selectedRecordNumber() const { return 组合框_记录序号->currentIndex() + 1; }

int FieldPanel::selectedFieldNumber() const { return 组合框_字段名称->currentIndex() + 1; }

FieldPanel::Selection FieldPanel::selection() const {
  return {组合框_记录序号->currentIndex(), 组合框_字段名称->currentIndex()};
}

void FieldPanel::select(const Selection& selection) {
  if (selection.record < 组合框_记录序号->count())
    组合框_记录序号->setCurrentIndex(selection.record);
  组合框_字段名称->setCurrentIndex(selection.field);
}

// Filling a selector would select its first item and read a field the user never asked
// for, with the other selector still describing the previous table.
void FieldPanel::fillSelectors(const std::vector<std::string>& fieldNames, std::int32_t records) {
  const QSignalBlocker quietFields(组合框_字段名称);
  const QSignalBlocker quietRecords(组合框_记录序号);
  组合框_字段名称->clear();
  for (const std::string& field : fieldNames) 组合框_字段名称->addItem(fromProgramText(field));
  组合框_字段名称->setCurrentIndex(-1);

  QStringList numbers;
  numbers.reserve(records);
  for (std::int32_t n = 1; n <= records; ++n) numbers << QString::number(n);
  组合框_记录序号->clear();
  组合框_记录序号->addItems(numbers);
  组合框_记录序号->setCurrentIndex(-1);
}

void FieldPanel::clear() {
  clearValues();
  组合框_记录序号->clear();
  组合框_字段名称->clear();
}

// One read for both selectors, however many of them the move changes.
void FieldPanel::syncPanelToGridCursor(int row, int column) {
  {
    const QSignalBlocker records(组合框_记录序号);
    const QSignalBlocker fields(组合框_字段名称);
    组合框_记录序号->setCurrentIndex(row - 1);
    组合框_字段名称->setCurrentIndex(column - 1);
  }
  refreshFieldPanel();
}

void FieldPanel::refreshFieldPanel() {
  SqliteTable& table = window_.state().table;
  if (!window_.isTableSelected() || !table.isOpen()) return;
  // A WITHOUT ROWID table's records cannot be read: following the grid reads nothing
  // and reports nothing.
  if (!table.hasRowIds()) return clearValues();
  static const PanelKind kinds[] = {PanelKind::Text, PanelKind::Integer, PanelKind::Decimal,
                                    PanelKind::Blob};
  const int page = 高级选择夹1->currentIndex();
  if (page >= 0 && page < 4) readFieldToPanel(kinds[page]);
}

void FieldPanel::clearValues() {
  setTextBoxText(QString());
  编辑框_整数字段值->clear();
  编辑框_小数字段值->clear();
  图片框_字节集预览->setPicture({});
}

// Empties the values, then reads the selected field as text or bytes; nullopt (after
// saying so when the read failed) when there is nothing to show.
std::optional<FieldValue> FieldPanel::readSelectedField(bool asBytes) {
  clearValues();
  SqliteTable& table = window_.state().table;
  if (selectedRecordNumber() <= 0 || selectedFieldNumber() <= 0 || !table.isOpen())
    return std::nullopt;
  FieldValue value = asBytes ? FieldValue(Bytes()) : FieldValue(std::string());
  if (!table.goTo(selectedRecordNumber()) || !table.readField(selectedFieldNumber(), value)) {
    prompts().messageBox(QStringLiteral("读字段值失败！"), MessageFlags::Ok);
    return std::nullopt;
  }
  return value;
}

void FieldPanel::readFieldToPanel(PanelKind kind) {
  const auto value = readSelectedField(kind == PanelKind::Blob);
  if (!value) return;
  if (kind == PanelKind::Blob) return 图片框_字节集预览->setPicture(std::get<Bytes>(*value));
  const QString text = fromProgramText(std::get<std::string>(*value));
  if (kind == PanelKind::Text) setTextBoxText(text);
  if (kind == PanelKind::Integer) 编辑框_整数字段值->setText(text);
  if (kind == PanelKind::Decimal) 编辑框_小数字段值->setText(text);
}

void FieldPanel::writeBlobFieldToFile() {
  const auto value = readSelectedField(true);
  if (!value) return;
  图片框_字节集预览->setPicture(std::get<Bytes>(*value));
  saveBlobToFile(std::get<Bytes>(*value));
}

void FieldPanel::saveBlobToFile(const Bytes& bytes) {
  FileDialogRequest request = blobDialog();
  const auto path = prompts().saveFileName(request);
  if (!path) return;
  writeFileTellingUser(*path,
                       std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

bool FieldPanel::canWrite() const {
  return selectedRecordNumber() > 0 && selectedFieldNumber() > 0 && window_.state().table.isOpen();
}

bool FieldPanel::confirmClearField() const {
  const QString question = QStringLiteral("本操作将清除字段 [") + 组合框_字段名称->currentText() +
                           QStringLiteral("] 中的现有数据，确认要继续吗？");
  return prompts().messageBox(question, MessageFlags::YesNoCancel | MessageFlags::QuestionIcon) ==
         Answer::Yes;
}

void FieldPanel::writeField(const std::function<std::optional<FieldValue>()>& value) {
  window_.applyOutcome(
      writeFieldValue(window_.state().table, selectedRecordNumber(), selectedFieldNumber(), value));
}

void FieldPanel::writeFieldFromPanel(PanelKind kind) {
  if (!canWrite()) return;
  if (kind == PanelKind::ClearBlob && !confirmClearField()) return;
  writeField([this, kind]() -> std::optional<FieldValue> {
    switch (kind) {
      case PanelKind::Text:
        return programTextOf(textBoxText());
      case PanelKind::Integer:
        return integerPageValue(toProgramText(编辑框_整数字段值->text()));
      case PanelKind::Decimal:
        return textToNumber(toProgramText(编辑框_小数字段值->text()));
      case PanelKind::Blob: {
        // A file that cannot be read, or that is longer than any value the engine stores, is
        // a failure, never an empty or cut blob over the field.
        const auto path = prompts().openFileName(blobDialog());
        if (!path) return std::nullopt;
        return readWholeFile(*path);
      }
      case PanelKind::ClearBlob:
        return Bytes();
    }
    return std::nullopt;
  });
}

void FieldPanel::writePictureToField(const Bytes& picture) {
  if (!canWrite() || !confirmClearField()) return;
  writeField([&picture] { return std::optional<FieldValue>(picture); });
}

void FieldPanel::loadTextFromFile() {
  FileDialogRequest request = HostWindow::textDialog();
  const auto path = prompts().openFileName(request);
  if (!path) return;
  const std::optional<Bytes> content = readWholeFile(*path);
  if (!content) return;
  const std::string_view bytes(reinterpret_cast<const char*>(content->data()), content->size());
  const std::optional<QString> text = fromFileText(textBeforeZero(bytes));
  if (!text) {
    prompts().messageBox(unreadableFileTextMessage(*path), MessageFlags::ErrorIcon);
    return;
  }
  setTextBoxText(*text);
}

void FieldPanel::saveTextToFile() {
  FileDialogRequest request = HostWindow::textDialog();
  const auto path = prompts().saveFileName(request);
  if (!path) return;
  const std::optional<std::string> text = programTextOf(textBoxText());
  if (!writeFileTellingUser(*path, text ? std::optional<std::string_view>(*text) : std::nullopt))
    return;
  environment().openWithEditor(*path);
}

QString FieldPanel::textBoxText() const {
  QString shown = 编辑框_文本字段值->document()->toRawText();
  if (shown == shownText_) return putText_;
  // An edited text takes the first line break of the text it was made from.
  const QString lineBreak = firstLineBreak(putText_);
  return shown.replace(QChar::ParagraphSeparator, lineBreak)
      .replace(QChar::LineSeparator, lineBreak);
}

void FieldPanel::setTextBoxText(const QString& text) {
  编辑框_文本字段值->setPlainText(text);
  putText_ = text;
  shownText_ = 编辑框_文本字段值->document()->toRawText();
}

void FieldPanel::openPictureViewer() {
  auto* viewer = new PictureViewerWindow(
      *window(), 图片框_字节集预览->picture(), [this](const Bytes& picture) {
        const auto work = window_.beginWork(QStringLiteral("保存图片"));
        图片框_字节集预览->setPicture(picture);
        writePictureToField(picture);
      });
  viewer->show();
}

}  // namespace tabulor
