// PictureViewerWindow, the blob preview enlarged and turned, and the turn it uses.
#pragma once

#include <functional>

#include <QRect>
#include <QWidget>

#include "editing/bitmap/bitmap.h"
#include "sqlitedb/field_value.h"

class QPushButton;

namespace tabulor {

class PicturePanel;

// The viewer's controls for a client area: the picture panel fills it with a margin of its
// left edge, the three buttons stand in one row under the panel's right edge.
struct ViewerLayout {
  QRect panel;
  QRect clockwise;
  QRect anticlockwise;
  QRect store;
};
ViewerLayout viewerLayout(QSize client);

// A picture file image turned by 90 degrees, as a BMP file image. A BMP our Bitmap reads
// keeps its bit depth and colour table; any other picture is decoded and encoded as a BMP
// first. Bytes that do not decode give an empty result.
Bytes rotatePictureBytes(const Bytes& picture, RotationDirection direction);

// A larger view of the field panel's blob preview, turned on request and stored back with
// "确定". Non-modal, owned by the window it opens over, deleted when closed.
class PictureViewerWindow : public QWidget {
  Q_OBJECT

 public:
  // store: what "确定" does with the picture as shown.
  using Store = std::function<void(const Bytes& picture)>;
  PictureViewerWindow(QWidget& owner, Bytes picture, Store store);

  void layoutPictureViewer();
  void rotatePicture(RotationDirection direction);
  // Hands the picture to the store, then closes the window.
  void storeViewerPicture();

  PicturePanel* 画板1;  // the picture
  QPushButton* 按钮_顺转;
  QPushButton* 按钮_逆转;
  QPushButton* 按钮_保存图片;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  Store store_;
};

}  // namespace tabulor
