// FieldPanel, the main window's 字段读写 panel: one field of one record, read and written by kind.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QGroupBox>
#include <QString>

#include "app/record_panel.h"
#include "sqlitedb/field_value.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace tabulor {

class BlobPreview;
class HostWindow;

// What a read or write of the panel handles.
enum class PanelKind { Text, Integer, Decimal, Blob, ClearBlob };

// The field read/write panel ("字段读写") of the main window: reads one field of one record
// of the shown table onto the page of its kind and writes it back; the record and field
// selectors follow the grid's current cell.
class FieldPanel : public RecordPanel {
  Q_OBJECT

 public:
  // window: the main window it reads the shown table of and asks to show it afresh.
  FieldPanel(HostWindow& window, QWidget* parent);

  // Selection index + 1 of the record and field selectors; 0 when nothing is selected.
  int selectedRecordNumber() const override;
  int selectedFieldNumber() const;

  Selection selection() const override;
  void select(const Selection& selection) override;
  void fillSelectors(const std::vector<std::string>& fieldNames, std::int32_t records) override;
  // Also empties the preview's bytes, so the viewer can never open on the previous table's
  // picture.
  void clear() override;
  void syncPanelToGridCursor(int row, int column) override;
  void refreshFieldPanel();
  // Empties the three value boxes and the preview, its bytes included.
  void clearValues();
  void readFieldToPanel(PanelKind kind);
  // Reads the selected field's bytes into the preview, then asks where to save them.
  void writeBlobFieldToFile();
  void writeFieldFromPanel(PanelKind kind);
  void loadTextFromFile();
  void saveTextToFile();
  void openPictureViewer();
  // The picture viewer's store: after the clear question, the bytes go into the selected field.
  void writePictureToField(const Bytes& picture);

  // --- controls (designed names)
  QLabel* 标签4;  // "记录序号：", the record selector's caption
  QComboBox* 组合框_记录序号;
  QLabel* 标签3;  // "字段名称：", the field selector's caption
  QComboBox* 组合框_字段名称;
  QTabWidget* 高级选择夹1;  // the pages by value type: 文本型, 整数型, 小数型, 字节集型
  QPlainTextEdit* 编辑框_文本字段值;
  QPushButton* 按钮_从文件读入文本;
  QPushButton* 按钮_写文本到文件;
  QPushButton* 按钮_读文本字段值;
  QPushButton* 按钮_写文本字段值;
  QLineEdit* 编辑框_整数字段值;
  QPushButton* 按钮_读整数字段值;
  QPushButton* 按钮_写整数字段值;
  QLineEdit* 编辑框_小数字段值;
  QPushButton* 按钮_读小数字段值;
  QPushButton* 按钮_写小数字段值;
  QPushButton* 按钮_写字节集字段值到文件;
  QPushButton* 按钮_清除字节集字段;
  QPushButton* 按钮_从文件写到字节集字段;
  QLabel* 标签5;  // "图片预览：", the preview's caption
  BlobPreview* 图片框_字节集预览;

 private:
  void createSelectors();
  void createTextPage(QWidget* page);
  void createNumberPage(QWidget* page, QLineEdit*& box, QPushButton*& read, QPushButton*& write,
                        const QString& boxName, const QString& readName, const QString& writeName,
                        const QString& typedCharacters);
  void createBlobPage(QWidget* page);
  void connectControls();
  bool canWrite() const;
  bool confirmClearField() const;
  // Goes to the record, produces the value (nullopt: refused) and posts it, telling the user.
  void writeField(const std::function<std::optional<FieldValue>()>& value);
  std::optional<FieldValue> readSelectedField(bool asBytes);
  void saveBlobToFile(const Bytes& bytes);
  // The text box's text: exactly the text last put into it while the user has not changed
  // it (the box shows every line break as its own and a no-break space as a blank).
  QString textBoxText() const;
  void setTextBoxText(const QString& text);

  HostWindow& window_;
  QString putText_;
  QString shownText_;  // the box's raw text right after putText_ went in
};

}  // namespace tabulor
