// What the program's windows share: buttons, the designed font, group boxes, compact tabs.

#include "platform/window_style.h"

#include <QProxyStyle>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>

namespace tabulor {

QPushButton* namedButton(QWidget* parent, const QString& name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

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

namespace {

class CompactTabStyle : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_TabBarTabHSpace) return 3;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
};

}  // namespace

// Thirteen characters of the 12-pixel font alone are wider than the designed 144 pixels.
void applyCompactTabs(QTabWidget& tabs) {
  QTabBar* bar = tabs.tabBar();
  auto* style = new CompactTabStyle;
  style->setParent(bar);
  bar->setStyle(style);
  QFont captions = tabs.font();
  captions.setPixelSize(10);
  bar->setFont(captions);
  bar->setUsesScrollButtons(false);
  bar->setElideMode(Qt::ElideNone);
}

}  // namespace tabulor
