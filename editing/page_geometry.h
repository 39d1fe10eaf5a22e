// Keeping the controls of a page control's pages at their designed places.
#pragma once

#include <QRect>

class QTabWidget;
class QWidget;

namespace tabulor {

// Places a control of a page of a page control at its designed geometry, which counts from
// the page control's top-left corner (the tab row included), and keeps it there whenever
// the page control lays its pages out anew.
void placeOnPage(QTabWidget& pages, QWidget& control, const QRect& designed);

}  // namespace tabulor
