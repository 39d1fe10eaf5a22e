// Installing Qt's own Simplified Chinese texts, whatever the user's locale.

#include "platform/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace tabulor {

QTranslator* installChineseQtTranslations(QCoreApplication& application) {
  auto* translator = new QTranslator(&application);
  if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
      !QCoreApplication::installTranslator(translator)) {
    delete translator;
    return nullptr;
  }
  return translator;
}

}  // namespace tabulor
