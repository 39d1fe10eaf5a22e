#include "support/scripted_prompts.h"

#include <QMenu>

namespace tabulor {
namespace {

// The next queued answer; an empty queue answers as a cancel.
std::optional<QString> takeNext(std::deque<std::optional<QString>>& queue) {
  if (queue.empty()) return std::nullopt;
  const bool given = queue.front().has_value();
  QString text = queue.front().value_or(QString());
  queue.pop_front();
  if (!given) return std::nullopt;
  return text;
}

}  // namespace

Answer ScriptedPrompts::messageBox(const QString& text, const QString& title, int flags) {
  records_.push_back({Kind::Message, text, title, {}, flags, {}, {}});
  if (answers_.empty())
    return (flags & 0xF) >= MessageFlags::YesNoCancel ? Answer::Yes : Answer::Ok;
  const Answer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

std::optional<QString> ScriptedPrompts::inputBox(const QString& prompt, const QString& title,
                                                 const QString& initialText) {
  records_.push_back({Kind::Input, prompt, title, initialText, 0, {}, {}});
  return takeNext(inputs_);
}

std::optional<QString> ScriptedPrompts::openFileName(const FileDialogRequest& request) {
  records_.push_back({Kind::OpenFile, {}, request.title, {}, 0, request, {}});
  return takeNext(files_);
}

std::optional<QString> ScriptedPrompts::saveFileName(const FileDialogRequest& request) {
  records_.push_back({Kind::SaveFile, {}, request.title, {}, 0, request, {}});
  const std::optional<QString> path = takeNext(files_);
  if (!path) return std::nullopt;
  return withDefaultExtension(*path, request.defaultExtension);
}

void ScriptedPrompts::popupMenu(QMenu& menu, const QPoint& globalPosition) {
  records_.push_back({Kind::Menu, menu.objectName(), menu.title(), {}, 0, {}, globalPosition});
}

std::vector<ScriptedPrompts::Record> ScriptedPrompts::records(Kind kind) const {
  std::vector<Record> result;
  for (const auto& record : records_)
    if (record.kind == kind) result.push_back(record);
  return result;
}

QStringList ScriptedPrompts::messages() const {
  QStringList texts;
  for (const auto& record : records_)
    if (record.kind == Kind::Message) texts << record.text;
  return texts;
}

}  // namespace tabulor
