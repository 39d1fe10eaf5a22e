#pragma once

class QTabWidget;
class QWidget;

namespace tabulor {

// The program's windows share one look: the designed 12-pixel font, and group boxes in
// the classic style with the caption on the frame line.
void applyDesignedFont(QWidget& window);
void applyClassicGroupBoxes(QWidget& container);
// Tabs narrow enough for every caption to show in a small page control: little padding,
// 10-pixel captions, no scroll buttons.
void applyCompactTabs(QTabWidget& tabs);

}  // namespace tabulor
