#include <QBuffer>
#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>

#include "editing/bitmap/bitmap.h"
#include "editing/picture_panels.h"
#include "editing/picture_viewer_window.h"
#include "editing_fixture.h"

namespace tabulor::testing {
namespace {

using Kind = ScriptedPrompts::Kind;

QRgb colourAt(int x, int y) { return qRgb(40 * x + 10, 100 * y + 20, 7); }

// A 3 x 2 picture whose pixels all differ, as a file image of the given format.
Bytes picture(const char* format) {
  QImage image(3, 2, QImage::Format_RGB32);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) image.setPixel(x, y, colourAt(x, y));
  QByteArray encoded;
  QBuffer buffer(&encoded);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return Bytes(encoded.begin(), encoded.end());
}

QImage decoded(const Bytes& bytes) {
  return decodePicture(bytes).convertToFormat(QImage::Format_RGB32);
}

std::string hex(const Bytes& bytes) {
  return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()))
      .toHex()
      .toUpper()
      .toStdString();
}

TEST(PictureRotation, TurnsMapTheCornerPixelAndFourTurnsGiveThePictureBack) {
  for (const char* format : {"PNG", "BMP", "JPG"}) {
    SCOPED_TRACE(format);
    const Bytes original = picture(format);
    const Bytes clockwise = rotatePictureBytes(original, RotationDirection::Clockwise);
    const Bytes anticlockwise = rotatePictureBytes(original, RotationDirection::Anticlockwise);
    ASSERT_EQ(decoded(clockwise).size(), QSize(2, 3));
    ASSERT_EQ(decoded(anticlockwise).size(), QSize(2, 3));
    const QRgb topLeft = decoded(original).pixel(0, 0);
    EXPECT_EQ(decoded(clockwise).pixel(1, 0), topLeft) << "top-right after 顺转";
    EXPECT_EQ(decoded(anticlockwise).pixel(0, 2), topLeft) << "bottom-left after 逆转";
    EXPECT_EQ(Bytes(clockwise.begin(), clockwise.begin() + 2), Bytes({'B', 'M'}));
    Bytes turned = original;
    for (int i = 0; i < 4; ++i) turned = rotatePictureBytes(turned, RotationDirection::Clockwise);
    EXPECT_EQ(decoded(turned), decoded(original));
    const Bytes back = rotatePictureBytes(clockwise, RotationDirection::Anticlockwise);
    EXPECT_EQ(decoded(back), decoded(original));
  }
}

TEST(PictureRotation, ABmpKeepsItsDepthAndAnythingUndecodableGivesNothing) {
  QImage indexed(5, 3, QImage::Format_Indexed8);
  indexed.setColorTable({qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 0, 255)});
  indexed.fill(1);
  indexed.setPixel(0, 0, 2);
  QByteArray encoded;
  QBuffer buffer(&encoded);
  buffer.open(QIODevice::WriteOnly);
  indexed.save(&buffer, "BMP");
  Bitmap source;
  ASSERT_TRUE(source.load(Bytes(encoded.begin(), encoded.end())));
  Bitmap turned;
  ASSERT_TRUE(turned.load(
      rotatePictureBytes(Bytes(encoded.begin(), encoded.end()), RotationDirection::Clockwise)));
  EXPECT_EQ(turned.bitsPerPixel(), source.bitsPerPixel());
  EXPECT_EQ(turned.colourTable(), source.colourTable());
  EXPECT_EQ(turned.pixel(2, 0), 2u);

  EXPECT_TRUE(rotatePictureBytes({}, RotationDirection::Clockwise).empty());
  EXPECT_TRUE(rotatePictureBytes({'B', 'M', 1, 2, 3}, RotationDirection::Clockwise).empty());
}

TEST(CentredPicture, FitsAtNaturalSizeOrShrinksKeepingProportions) {
  const struct {
    QSize panel, picture;
    QRect shown;
  } cases[] = {
      {{128, 128}, {100, 50}, {14, 39, 100, 50}},  {{128, 128}, {128, 128}, {0, 0, 128, 128}},
      {{360, 216}, {720, 216}, {0, 54, 360, 108}}, {{360, 216}, {100, 432}, {155, 0, 50, 216}},
      {{128, 128}, {300, 200}, {0, 21, 128, 85}},
  };
  for (const auto& c : cases) EXPECT_EQ(centredPictureRect(c.panel, c.picture), c.shown);
}

TEST(ViewerLayout, PanelFillsTheWindowWithButtonsInARowBelowItsRightEdge) {
  const ViewerLayout layout = viewerLayout(QSize(733, 421));
  EXPECT_EQ(layout.panel, QRect(7, 8, 719, 382));
  EXPECT_EQ(layout.store, QRect(638, 395, 88, 24));
  EXPECT_EQ(layout.anticlockwise, QRect(548, 395, 88, 24));
  EXPECT_EQ(layout.clockwise, QRect(458, 395, 88, 24));
}

class PictureViewer : public EditingTest {
 protected:
  void SetUp() override {
    openAndShow(
        "CREATE TABLE pictures(id INTEGER PRIMARY KEY, image BLOB);"
        "INSERT INTO pictures VALUES (1, X'" +
            hex(png) + "'), (2, NULL);",
        QStringLiteral("pictures"));
    ui().高级选择夹1->setCurrentIndex(3);
    choose(1, 2);
    prompts.clear();
  }

  PictureViewerWindow* open() {
    panel().openPictureViewer();
    return window->findChild<PictureViewerWindow*>();
  }
  static bool deleted(const QPointer<PictureViewerWindow>& viewer) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return viewer.isNull();
  }
  std::string storedHex() { return value("SELECT hex(image) FROM pictures WHERE id = 1"); }

  const Bytes png = picture("PNG");
};

TEST_F(PictureViewer, OpensWithThePreviewsBytesAndLaysItselfOut) {
  EXPECT_EQ(panel().图片框_字节集预览->picture(), png);
  PictureViewerWindow* viewer = open();
  ASSERT_NE(viewer, nullptr);
  EXPECT_TRUE(viewer->isWindow());
  EXPECT_EQ(viewer->画板1->picture(), png);
  viewer->resize(500, 300);
  const ViewerLayout layout = viewerLayout(QSize(500, 300));
  EXPECT_EQ(viewer->画板1->geometry(), layout.panel);
  EXPECT_EQ(viewer->按钮_顺转->geometry(), layout.clockwise);
  EXPECT_EQ(viewer->按钮_逆转->geometry(), layout.anticlockwise);
  EXPECT_EQ(viewer->按钮_保存图片->geometry(), layout.store);
  viewer->close();
  EXPECT_TRUE(prompts.records().empty());
}

TEST_F(PictureViewer, StoreWithYesWritesTheTurnedPictureAndCloses) {
  QPointer<PictureViewerWindow> viewer = open();
  viewer->按钮_顺转->click();
  const Bytes turned = viewer->画板1->picture();
  ASSERT_EQ(decoded(turned).size(), QSize(2, 3));
  prompts.queueAnswer(Answer::Yes);
  viewer->按钮_保存图片->click();
  EXPECT_EQ(prompts.messages(),
            QStringList({QStringLiteral("本操作将清除字段 [image] 中的现有数据，确认要继续吗？"),
                         QStringLiteral("已成功写入字段值！")}));
  EXPECT_EQ(prompts.records().front().flags, 0x23);
  EXPECT_EQ(storedHex(), hex(turned));
  EXPECT_EQ(panel().图片框_字节集预览->picture(), turned);
  EXPECT_TRUE(deleted(viewer));
}

TEST_F(PictureViewer, StoreWithNoOnlyUpdatesThePreview) {
  for (const Answer answer : {Answer::No, Answer::Cancel}) {
    QPointer<PictureViewerWindow> viewer = open();
    viewer->按钮_逆转->click();
    const Bytes turned = viewer->画板1->picture();
    prompts.clear();
    prompts.queueAnswer(answer);
    viewer->按钮_保存图片->click();
    EXPECT_EQ(prompts.records().size(), 1u);
    EXPECT_EQ(storedHex(), hex(png));
    EXPECT_EQ(panel().图片框_字节集预览->picture(), turned);
    EXPECT_TRUE(deleted(viewer));
  }
}

TEST_F(PictureViewer, StoreWithoutTurningKeepsTheFormatAndWithoutSelectionWritesNothing) {
  prompts.queueAnswer(Answer::Yes);
  open()->storeViewerPicture();
  EXPECT_EQ(storedHex(), hex(png)) << "the PNG, not a BMP";
  EXPECT_EQ(prompts.messages().last(), QStringLiteral("已成功写入字段值！"));

  PictureViewerWindow* viewer = open();
  viewer->rotatePicture(RotationDirection::Clockwise);
  choose(1, 0);
  prompts.clear();
  QPointer<PictureViewerWindow> closing = viewer;
  viewer->storeViewerPicture();
  EXPECT_TRUE(prompts.records().empty());
  EXPECT_EQ(storedHex(), hex(png));
  EXPECT_TRUE(deleted(closing));
}

TEST_F(PictureViewer, AnEmptyPreviewStillOpensAndTurnsToNothing) {
  choose(2, 2);
  EXPECT_TRUE(panel().图片框_字节集预览->picture().empty());
  PictureViewerWindow* viewer = open();
  ASSERT_NE(viewer, nullptr);
  EXPECT_TRUE(viewer->画板1->picture().empty());
  viewer->rotatePicture(RotationDirection::Anticlockwise);
  EXPECT_TRUE(viewer->画板1->picture().empty());
  EXPECT_TRUE(prompts.records().empty());
  viewer->close();
}

}  // namespace
}  // namespace tabulor::testing
