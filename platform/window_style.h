#pragma once

class QWidget;

namespace tabulor {

// The program's windows share one look: the designed 12-pixel font, and group boxes in
// the classic style with the caption on the frame line.
void applyDesignedFont(QWidget& window);
void applyClassicGroupBoxes(QWidget& container);

}  // namespace tabulor
