#pragma once

#include <QIcon>
#include <QSize>

namespace tabulor {

// Pictures of the toolbar's image list, by entry number (0 new database, 1 open
// database, 126 drop table); a null icon for any other entry.
// The toolbar's pictures, by their number in the designed image list.
enum ToolbarImage : int {
  NoToolbarImage = -1,
  NewDatabaseImage = 0,
  OpenDatabaseImage = 1,
  DropTableImage = 126
};
QIcon toolbarIcon(ToolbarImage image);
// Pictures of the structure tree's image list (0 object or column, 18 tables
// section, 88 other sections).
// The pictures of the structure tree's items, by their number in the designed image list.
enum TreeImage : int { ObjectImage = 0, TablesSectionImage = 18, OtherSectionImage = 88 };
QIcon treeIcon(TreeImage image);
// The size the trees show those pictures at.
inline constexpr QSize kTreeIconSize(16, 15);
// The program's own picture (window icon and credit block).
QIcon programIcon();

}  // namespace tabulor
