// Opening a database file dropped on the main window.

#include "files/database_drop.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include "app/host_window.h"
#include "app/subsystem_commands.h"
#include "files/database_files.h"

namespace tabulor {
namespace {

bool isDatabaseFile(const QString& path) {
  const QFileInfo info(path);
  if (!info.isFile()) return false;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  static const QByteArray header("SQLite format 3\0", 16);
  return info.size() == 0 || file.read(header.size()) == header;
}

// Accepts the drags that carry a database file, on the window and every control that
// takes no drop of its own.
class DatabaseDropFilter : public QObject {
 public:
  explicit DatabaseDropFilter(HostWindow& window) : QObject(&window), window_(window) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != &window_) return false;
    switch (event->type()) {
      case QEvent::DragEnter:
      case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (droppedDatabaseFile(*drag->mimeData()))
          drag->acceptProposedAction();
        else
          drag->ignore();
        return true;
      }
      case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const auto path = droppedDatabaseFile(*drop->mimeData());
        if (!path) {
          drop->ignore();
          return true;
        }
        drop->acceptProposedAction();
        // Opened after the drop has ended, so the file manager is not kept waiting by
        // a message box.
        window_.whenEngineFree([window = &window_, file = *path] {
          const auto work = window->beginWork(QStringLiteral("打开数据库"));
          switchToDatabaseFile(*window, file, false);
        });
        return true;
      }
      default:
        return false;
    }
  }

 private:
  HostWindow& window_;
};

}  // namespace

std::optional<QString> droppedDatabaseFile(const QMimeData& data) {
  const QList<QUrl> urls = data.urls();
  if (urls.size() != 1 || !urls.constFirst().isLocalFile()) return std::nullopt;
  const QString path = urls.constFirst().toLocalFile();
  if (!isDatabaseFile(path)) return std::nullopt;
  return path;
}

void connectDatabaseDrops(HostWindow& window) {
  window.setAcceptDrops(true);
  window.installEventFilter(new DatabaseDropFilter(window));
}

}  // namespace tabulor
