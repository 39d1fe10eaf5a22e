// Keeping the controls of a page control's pages at their designed places.

#include "editing/page_geometry.h"

#include <QEvent>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVariant>

namespace tabulor {
namespace {

const char* const kDesignedGeometry = "designedGeometry";
const char* const kKeeperName = "pageGeometryKeeper";

void applyDesignedGeometry(QTabWidget& pages) {
  for (int i = 0; i < pages.count(); ++i) {
    QWidget* page = pages.widget(i);
    const QPoint origin = page->mapTo(&pages, QPoint(0, 0));
    for (QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      const QVariant designed = control->property(kDesignedGeometry);
      if (designed.isValid()) control->setGeometry(designed.toRect().translated(-origin));
    }
  }
}

// Watches the stack of pages: the page control moves and sizes it when it lays out.
class PageGeometryKeeper : public QObject {
 public:
  explicit PageGeometryKeeper(QTabWidget& pages) : QObject(&pages), pages_(pages) {
    setObjectName(QString::fromLatin1(kKeeperName));
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize)
      applyDesignedGeometry(pages_);
    return QObject::eventFilter(watched, event);
  }

 private:
  QTabWidget& pages_;
};

}  // namespace

void placeOnPage(QTabWidget& pages, QWidget& control, const QRect& designed) {
  control.setProperty(kDesignedGeometry, designed);
  if (!pages.findChild<QObject*>(QString::fromLatin1(kKeeperName), Qt::FindDirectChildrenOnly)) {
    if (auto* stack = pages.findChild<QStackedWidget*>(QString(), Qt::FindDirectChildrenOnly))
      stack->installEventFilter(new PageGeometryKeeper(pages));
  }
  applyDesignedGeometry(pages);
}

}  // namespace tabulor
