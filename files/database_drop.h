// Opening a database file dropped on the main window.
#pragma once

#include <optional>

#include <QString>

class QMimeData;

namespace tabulor {

class HostWindow;

// The database file a drag carries: exactly one local file that exists and is an SQLite
// database (its header, or empty, as the engine takes an empty file). Anything else
// (several files, folders, other files, web addresses, text) carries none.
std::optional<QString> droppedDatabaseFile(const QMimeData& data);

// A database file dropped on the main window opens as a file chosen with "打开数据库..."
// does; every other drop is refused.
void connectDatabaseDrops(HostWindow& window);

}  // namespace tabulor
