// The program's pictures, painted in code: the toolbar's, the structure tree's and its own.

#include "app/icons.h"

#include <functional>

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tabulor {
namespace {

// A small database drum: an ellipse on top of a cylinder.
void paintDrum(QPainter& p, const QRectF& r, const QColor& body) {
  const qreal cap = r.height() / 4;
  QPainterPath path;
  path.moveTo(r.left(), r.top() + cap / 2);
  path.lineTo(r.left(), r.bottom() - cap / 2);
  path.arcTo(QRectF(r.left(), r.bottom() - cap, r.width(), cap), 180, 180);
  path.lineTo(r.right(), r.top() + cap / 2);
  path.arcTo(QRectF(r.left(), r.top(), r.width(), cap), 0, -180);
  p.setPen(QPen(body.darker(160), 1));
  p.setBrush(body);
  p.drawPath(path);
  p.setBrush(body.lighter(130));
  p.drawEllipse(QRectF(r.left(), r.top(), r.width(), cap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(r.left(), r.top() + r.height() / 3, r.width(), cap), 180 * 16, 180 * 16);
}

void paintGrid(QPainter& p, const QRectF& r, const QColor& head) {
  p.setPen(QPen(QColor(90, 90, 90), 1));
  p.setBrush(Qt::white);
  p.drawRect(r);
  p.fillRect(QRectF(r.left() + 0.5, r.top() + 0.5, r.width() - 0.5, r.height() / 4), head);
  for (int i = 1; i < 4; ++i) {
    const qreal y = r.top() + r.height() * i / 4;
    p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
  }
  const qreal x = r.left() + r.width() / 2;
  p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
}

QIcon painted(int size, const std::function<void(QPainter&)>& paint) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  paint(painter);
  painter.end();
  // A selected item shows the same picture, not one tinted by the style.
  QIcon icon(pixmap);
  icon.addPixmap(pixmap, QIcon::Selected);
  return icon;
}

}  // namespace

QIcon toolbarIcon(ToolbarImage image) {
  switch (image) {
    case NewDatabaseImage:
      return painted(20, [](QPainter& p) {
        paintDrum(p, QRectF(2.5, 2.5, 12, 15), QColor(70, 130, 200));
        p.setPen(QPen(QColor(30, 140, 40), 2.5));
        p.drawLine(QPointF(15, 10), QPointF(15, 19));
        p.drawLine(QPointF(10.5, 14.5), QPointF(19.5, 14.5));
      });
    case OpenDatabaseImage:
      return painted(20, [](QPainter& p) {
        p.setPen(QPen(QColor(150, 110, 20), 1));
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(QRectF(1.5, 7.5, 17, 11));
        p.drawRect(QRectF(1.5, 5.5, 7, 2));
        paintDrum(p, QRectF(6.5, 1.5, 9, 12), QColor(70, 130, 200));
      });
    case DropTableImage:
      return painted(20, [](QPainter& p) {
        paintGrid(p, QRectF(1.5, 2.5, 14, 13), QColor(120, 160, 220));
        p.setPen(QPen(QColor(210, 30, 30), 2.5));
        p.drawLine(QPointF(11, 11), QPointF(18, 18));
        p.drawLine(QPointF(18, 11), QPointF(11, 18));
      });
    default:
      return {};
  }
}

// Painted once each: a tree of many thousand items shares three pictures.
QIcon treeIcon(TreeImage image) {
  static const QIcon tablesSection = painted(
      16, [](QPainter& p) { paintDrum(p, QRectF(2.5, 1.5, 11, 13), QColor(70, 130, 200)); });
  static const QIcon otherSection = painted(
      16, [](QPainter& p) { paintDrum(p, QRectF(2.5, 1.5, 11, 13), QColor(80, 170, 110)); });
  static const QIcon objectOrColumn = painted(
      16, [](QPainter& p) { paintGrid(p, QRectF(2.5, 3.5, 11, 9), QColor(190, 200, 215)); });
  switch (image) {
    case TablesSectionImage:
      return tablesSection;
    case OtherSectionImage:
      return otherSection;
    case ObjectImage:
      return objectOrColumn;
    default:
      return {};
  }
}

QIcon programIcon() {
  return painted(48, [](QPainter& p) {
    paintDrum(p, QRectF(6.5, 4.5, 26, 34), QColor(60, 120, 190));
    paintGrid(p, QRectF(22.5, 22.5, 22, 20), QColor(230, 170, 60));
  });
}

}  // namespace tabulor
