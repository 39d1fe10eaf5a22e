#include "platform/qstring_conversion.h"

#include <gtest/gtest.h>

#include "sqlitedb/codepage.h"

namespace tabulor {
namespace {

class ProgramTextTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = programCodePage(); }
  void TearDown() override { setProgramCodePage(saved_); }
  std::string saved_;
};

TEST_F(ProgramTextTest, RoundTripsChineseInUtf8) {
  ASSERT_TRUE(setProgramCodePage("UTF-8"));
  const QString text = QStringLiteral("打开表：商品　𠀀");
  EXPECT_EQ(toProgramText(text), text.toStdString());
  EXPECT_EQ(fromProgramText(text.toStdString()), text);
}

TEST_F(ProgramTextTest, UsesTheProgramCodePageOnBothSides) {
  ASSERT_TRUE(setProgramCodePage("GBK"));
  const std::string gbk = "\xB1\xED";  // 表 in code page 936
  EXPECT_EQ(toProgramText(QStringLiteral("表")), gbk);
  EXPECT_EQ(fromProgramText(gbk), QStringLiteral("表"));
}

TEST_F(ProgramTextTest, ReportsTextTheCodePageCannotHold) {
  ASSERT_TRUE(setProgramCodePage("GBK"));
  bool ok = true;
  EXPECT_EQ(toProgramText(QStringLiteral("😀"), &ok), std::string());
  EXPECT_FALSE(ok);
  EXPECT_EQ(toProgramText(QStringLiteral("abc"), &ok), "abc");
  EXPECT_TRUE(ok);
}

}  // namespace
}  // namespace tabulor
