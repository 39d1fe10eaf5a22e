// The choices both CSV dialogs offer (encodings, separators) and how a fault is worded.

#include "transfer/csv_choices.h"

#include <QComboBox>

#include "platform/qstring_conversion.h"

namespace tabulor {
namespace {

using transfer::FileEncoding;

QString encodingName(FileEncoding encoding) {
  switch (encoding) {
    case FileEncoding::Utf8:
      return QStringLiteral("UTF-8");
    case FileEncoding::Utf8WithBom:
      return QStringLiteral("UTF-8（带BOM）");
    case FileEncoding::Gb18030:
      return QStringLiteral("GBK/GB18030（简体中文）");
    case FileEncoding::Utf16LeWithBom:
      return QStringLiteral("UTF-16 LE（带BOM）");
    case FileEncoding::Utf16BeWithBom:
      return QStringLiteral("UTF-16 BE（带BOM）");
  }
  return {};
}

QString separatorName(char separator) {
  switch (separator) {
    case '\t':
      return QStringLiteral("制表符（Tab）");
    case ';':
      return QStringLiteral("分号（;）");
    case '|':
      return QStringLiteral("竖线（|）");
    default:
      return QStringLiteral("逗号（,）");
  }
}

void selectData(QComboBox& box, int data) {
  const int index = box.findData(data);
  if (index >= 0) box.setCurrentIndex(index);
}

}  // namespace

std::vector<FileEncoding> importEncodings() {
  return {FileEncoding::Utf8, FileEncoding::Utf8WithBom, FileEncoding::Gb18030,
          FileEncoding::Utf16LeWithBom, FileEncoding::Utf16BeWithBom};
}

std::vector<FileEncoding> exportEncodings() {
  return {FileEncoding::Utf8WithBom, FileEncoding::Gb18030, FileEncoding::Utf8};
}

void addEncodings(QComboBox& box, const std::vector<FileEncoding>& encodings) {
  for (const FileEncoding encoding : encodings)
    box.addItem(encodingName(encoding), static_cast<int>(encoding));
}

void selectEncoding(QComboBox& box, FileEncoding encoding) {
  selectData(box, static_cast<int>(encoding));
}

FileEncoding chosenEncoding(const QComboBox& box) {
  return static_cast<FileEncoding>(box.currentData().toInt());
}

void addSeparators(QComboBox& box, const std::vector<char>& separators) {
  for (const char separator : separators) box.addItem(separatorName(separator), int{separator});
}

void selectSeparator(QComboBox& box, char separator) { selectData(box, int{separator}); }

char chosenSeparator(const QComboBox& box) { return static_cast<char>(box.currentData().toInt()); }

QString faultText(const transfer::CsvFault& fault) {
  const QString reason = fromProgramText(fault.reason);
  return fault.line > 0 ? QStringLiteral("第 %1 行：").arg(fault.line) + reason : reason;
}

}  // namespace tabulor
