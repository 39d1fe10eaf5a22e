#pragma once

#include <QAbstractItemModel>
#include <QAbstractItemModelTester>
#include <QtGlobal>

#include <gtest/gtest.h>

namespace tabulor::testing {

// Runs Qt's model tester over a model while the object lives; each of its complaints (a
// warning of the category "qt.modeltest") is a test failure. Other messages pass on.
class CheckedModel {
 public:
  explicit CheckedModel(QAbstractItemModel* model)
      : tester_(model, QAbstractItemModelTester::FailureReportingMode::Warning) {}

 private:
  // Installed before the tester starts checking, removed after it is gone.
  class ComplaintsFail {
   public:
    ComplaintsFail() { previous_ = qInstallMessageHandler(&report); }
    ~ComplaintsFail() { qInstallMessageHandler(previous_); }
    ComplaintsFail(const ComplaintsFail&) = delete;
    ComplaintsFail& operator=(const ComplaintsFail&) = delete;

   private:
    static void report(QtMsgType type, const QMessageLogContext& context, const QString& message) {
      if (type == QtWarningMsg && qstrcmp(context.category, "qt.modeltest") == 0)
        ADD_FAILURE() << "model tester: " << message.toStdString();
      else
        previous_(type, context, message);
    }

    inline static QtMessageHandler previous_ = nullptr;
  };

  ComplaintsFail complaintsFail_;
  QAbstractItemModelTester tester_;
};

}  // namespace tabulor::testing
