// Widgets that show a picture held as file bytes: the viewer's panel, the field panel's preview.
#pragma once

#include <QImage>
#include <QLabel>
#include <QRect>
#include <QWidget>

#include "sqlitedb/field_value.h"

namespace tabulor {

// Where a picture is drawn centred in a panel: at its natural size when it fits, otherwise
// shrunk by one factor (the smaller of the two side ratios, sides cut to whole pixels).
QRect centredPictureRect(QSize panel, QSize picture);

// A picture held as the bytes of its file image (any format QImage decodes), drawn centred
// on the panel's background. Bytes that do not decode leave the panel blank.
class PicturePanel : public QWidget {
  Q_OBJECT

 public:
  explicit PicturePanel(QWidget* parent = nullptr);

  void setPicture(Bytes bytes);
  const Bytes& picture() const { return bytes_; }
  // The decoded picture; null when the bytes do not decode.
  const QImage& image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Bytes bytes_;
  QImage image_;
};

// The field panel's blob preview: keeps the bytes it was given and shows them as a picture
// fitted into its box when they decode. A double-click asks for the picture viewer.
class BlobPreview : public QLabel {
  Q_OBJECT

 public:
  explicit BlobPreview(QWidget* parent = nullptr);

  void setPicture(Bytes bytes);
  const Bytes& picture() const { return bytes_; }

 signals:
  void doubleClicked();

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  Bytes bytes_;
};

// Decodes the bytes of a picture file image; a null image when they do not decode.
QImage decodePicture(const Bytes& bytes);

}  // namespace tabulor
