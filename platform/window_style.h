// What the program's windows share: control names, buttons, the designed font, group boxes, tabs.
#pragma once

#include <QString>

class QPushButton;
class QTabWidget;
class QWidget;

namespace tabulor {

// Gives a control its designed name as object name, and a name for assistive tools: the
// one given, else the designed name after its first '_' ("编辑框_表名称" gives "表名称").
template <typename Widget>
Widget* named(Widget* widget, const QString& name, const QString& accessible = {}) {
  widget->setObjectName(name);
  widget->setAccessibleName(!accessible.isEmpty() ? accessible
                                                  : name.mid(name.indexOf(QLatin1Char('_')) + 1));
  return widget;
}

// A push button with its designed name as object name, for the caller to place. None is
// auto-default, so Enter in a dialog never presses one by surprise. It gets no accessible name
// of its own: assistive tools read its caption.
QPushButton* namedButton(QWidget* parent, const QString& name, const QString& caption);

// The program's windows share one look: the designed 12-pixel font, and group boxes in
// the classic style with the caption on the frame line.
void applyDesignedFont(QWidget& window);
void applyClassicGroupBoxes(QWidget& container);
// Tabs narrow enough for every caption to show in a small page control: little padding,
// 10-pixel captions, no scroll buttons.
void applyCompactTabs(QTabWidget& tabs);

}  // namespace tabulor
