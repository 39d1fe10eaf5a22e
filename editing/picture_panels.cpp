// Widgets that show a picture held as file bytes: the viewer's panel, the field panel's preview.

#include "editing/picture_panels.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

namespace tabulor {

QRect centredPictureRect(QSize panel, QSize picture) {
  QSize shown = picture;
  if (picture.width() > panel.width() || picture.height() > panel.height()) {
    const double factor = std::min(static_cast<double>(panel.width()) / picture.width(),
                                   static_cast<double>(panel.height()) / picture.height());
    shown = QSize(static_cast<int>(picture.width() * factor),
                  static_cast<int>(picture.height() * factor));
  }
  return QRect(QPoint((panel.width() - shown.width()) / 2, (panel.height() - shown.height()) / 2),
               shown);
}

QImage decodePicture(const Bytes& bytes) {
  if (bytes.empty()) return {};
  return QImage::fromData(bytes.data(), static_cast<int>(bytes.size()));
}

// ---------------------------------------------------------------------------- PicturePanel

PicturePanel::PicturePanel(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
}

void PicturePanel::setPicture(Bytes bytes) {
  bytes_ = std::move(bytes);
  image_ = decodePicture(bytes_);
  update();
}

void PicturePanel::paintEvent(QPaintEvent*) {
  if (image_.isNull()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(centredPictureRect(size(), image_.size()), image_);
}

// ---------------------------------------------------------------------------- BlobPreview

BlobPreview::BlobPreview(QWidget* parent) : QLabel(parent) {
  setAlignment(Qt::AlignCenter);
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
}

void BlobPreview::setPicture(Bytes bytes) {
  bytes_ = std::move(bytes);
  const QImage image = decodePicture(bytes_);
  if (image.isNull()) {
    clear();
    return;
  }
  const QRect shown = centredPictureRect(contentsRect().size(), image.size());
  setPixmap(QPixmap::fromImage(
      image.scaled(shown.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
}

void BlobPreview::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit doubleClicked();
  QLabel::mouseDoubleClickEvent(event);
}

}  // namespace tabulor
