// The picture viewer: its layout, any picture turned as a BMP, storing it back with 确定.

#include "editing/picture_viewer_window.h"

#include <QBuffer>
#include <QImage>
#include <QPushButton>

#include "editing/picture_panels.h"
#include "platform/window_style.h"

namespace tabulor {
namespace {

// The designed sizes of the panel's margin and of the buttons.
constexpr int kPanelLeft = 7;
constexpr int kPanelTop = 8;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 24;

// The picture as a BMP file image, through the decoder when our Bitmap does not read it.
Bitmap bitmapOf(const Bytes& picture) {
  Bitmap bitmap;
  if (bitmap.load(picture)) return bitmap;
  const QImage image = decodePicture(picture);
  if (image.isNull()) return {};
  QByteArray encoded;
  QBuffer buffer(&encoded);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "BMP")) return {};
  bitmap.load(std::span(reinterpret_cast<const unsigned char*>(encoded.constData()),
                        static_cast<std::size_t>(encoded.size())));
  return bitmap;
}

}  // namespace

ViewerLayout viewerLayout(QSize client) {
  ViewerLayout layout;
  const int panelHeight = client.height() - kButtonHeight - kPanelTop - kPanelLeft;
  layout.panel = QRect(kPanelLeft, kPanelTop, client.width() - 2 * kPanelLeft, panelHeight);
  const int top = kPanelTop + panelHeight + 5;
  const int storeLeft = kPanelLeft + layout.panel.width() - kButtonWidth;
  layout.store = QRect(storeLeft, top, kButtonWidth, kButtonHeight);
  layout.anticlockwise = QRect(storeLeft - kButtonWidth - 2, top, kButtonWidth, kButtonHeight);
  layout.clockwise =
      QRect(layout.anticlockwise.left() - kButtonWidth - 2, top, kButtonWidth, kButtonHeight);
  return layout;
}

Bytes rotatePictureBytes(const Bytes& picture, RotationDirection direction) {
  return bitmapOf(picture).rotate(direction).save();
}

PictureViewerWindow::PictureViewerWindow(QWidget& owner, Bytes picture, Store store)
    : QWidget(&owner, Qt::Window), store_(std::move(store)) {
  setObjectName(QStringLiteral("PictureViewerWindow"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QString());
  setFont(owner.font());
  画板1 = new PicturePanel(this);
  画板1->setObjectName(QStringLiteral("画板1"));
  画板1->setAccessibleName(QStringLiteral("图片"));
  画板1->setGeometry(kPanelLeft, kPanelTop, 360, 216);
  按钮_顺转 = namedButton(this, QStringLiteral("按钮_顺转"), QStringLiteral("顺转"));
  按钮_顺转->setGeometry(69, 232, kButtonWidth, kButtonHeight);
  按钮_逆转 = namedButton(this, QStringLiteral("按钮_逆转"), QStringLiteral("逆转"));
  按钮_逆转->setGeometry(181, 232, kButtonWidth, kButtonHeight);
  按钮_保存图片 = namedButton(this, QStringLiteral("按钮_保存图片"), QStringLiteral("确定"));
  按钮_保存图片->setGeometry(296, 232, kButtonWidth, kButtonHeight);
  connect(按钮_顺转, &QPushButton::clicked, this,
          [this] { rotatePicture(RotationDirection::Clockwise); });
  connect(按钮_逆转, &QPushButton::clicked, this,
          [this] { rotatePicture(RotationDirection::Anticlockwise); });
  connect(按钮_保存图片, &QPushButton::clicked, this, &PictureViewerWindow::storeViewerPicture);
  画板1->setPicture(std::move(picture));
  move(50, 50);
  resize(733, 421);
}

void PictureViewerWindow::layoutPictureViewer() {
  const ViewerLayout layout = viewerLayout(size());
  const auto place = [](QWidget* widget, const QRect& box) {
    widget->setGeometry(box.left(), box.top(), std::max(box.width(), 0), std::max(box.height(), 0));
  };
  place(画板1, layout.panel);
  place(按钮_保存图片, layout.store);
  place(按钮_逆转, layout.anticlockwise);
  place(按钮_顺转, layout.clockwise);
}

void PictureViewerWindow::resizeEvent(QResizeEvent* event) {
  layoutPictureViewer();
  QWidget::resizeEvent(event);
}

void PictureViewerWindow::rotatePicture(RotationDirection direction) {
  画板1->setPicture(rotatePictureBytes(画板1->picture(), direction));
}

void PictureViewerWindow::storeViewerPicture() {
  const Bytes picture = 画板1->picture();
  store_(picture);
  close();
}

}  // namespace tabulor
