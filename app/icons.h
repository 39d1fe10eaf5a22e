// The pictures of the toolbar, of the structure tree and of the program itself.
#pragma once

#include <QIcon>
#include <QSize>

namespace tabulor {

// The toolbar's pictures, by their number in the designed image list; a null icon for any
// other entry.
enum ToolbarImage : int {
  NoToolbarImage = -1,
  NewDatabaseImage = 0,
  OpenDatabaseImage = 1,
  DropTableImage = 126
};
QIcon toolbarIcon(ToolbarImage image);
// The pictures of the structure tree's items, by their number in the designed image list.
enum TreeImage : int { ObjectImage = 0, TablesSectionImage = 18, OtherSectionImage = 88 };
QIcon treeIcon(TreeImage image);
// The size the trees show those pictures at.
inline constexpr QSize kTreeIconSize(16, 15);
// The program's own picture (window icon and credit block).
QIcon programIcon();

}  // namespace tabulor
