// QString to and from program text, a file's text for a box, and paths as the system spells them.

#include "platform/qstring_conversion.h"

#include "sqlitedb/codepage.h"

namespace tabulor {

QString fromProgramText(const std::string& text) {
  const auto utf8 = toUtf8(text);
  return utf8 ? QString::fromUtf8(utf8->data(), static_cast<qsizetype>(utf8->size())) : QString();
}

std::string toProgramText(const QString& text, bool* ok) {
  const QByteArray utf8 = text.toUtf8();
  auto program =
      fromUtf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
  if (ok) *ok = program.has_value();
  return program ? std::move(*program) : std::string();
}

std::optional<QString> fromFileText(std::string_view bytes) {
  const std::optional<std::string> text = fileTextAsProgramText(bytes);
  if (!text) return std::nullopt;
  return fromProgramText(*text);
}

QString unreadableFileTextMessage(const QString& path) {
  return QStringLiteral(
             "无法读取文件中的文字：它既不是本机代码页的文本，也不是 GB18030 文本。\r\n") +
         path;
}

}  // namespace tabulor
