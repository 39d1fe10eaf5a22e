#pragma once

#include <QRect>
#include <QWidget>

#include "editing/bitmap.h"
#include "sqlitedb/field_value.h"

class QPushButton;

namespace tabulor {

class MainWindow;
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
// "确定". Non-modal, owned by the main window, deleted when closed.
class PictureViewerWindow : public QWidget {
  Q_OBJECT

 public:
  PictureViewerWindow(MainWindow& owner, Bytes picture);

  void layoutPictureViewer();
  void rotatePicture(RotationDirection direction);
  // Puts the picture into the preview, offers to write it into the selected field, and
  // closes the window.
  void storeViewerPicture();

  PicturePanel* 画板1;
  QPushButton* 按钮_顺转;
  QPushButton* 按钮_逆转;
  QPushButton* 按钮_保存图片;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  MainWindow& owner_;
};

}  // namespace tabulor
