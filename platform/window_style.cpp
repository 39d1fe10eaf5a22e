#include "platform/window_style.h"

#include <QWidget>

namespace tabulor {

void applyDesignedFont(QWidget& window) {
  QFont base = window.font();
  base.setPixelSize(12);
  window.setFont(base);
}

void applyClassicGroupBoxes(QWidget& container) {
  container.setStyleSheet(QStringLiteral(
      "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 7px; }"
      "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px; }"));
}

}  // namespace tabulor
