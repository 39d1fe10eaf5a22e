// Qt's own Simplified Chinese texts for its dialogs, context menus and standard buttons.
#pragma once

class QCoreApplication;
class QTranslator;

namespace tabulor {

// Installs Qt's own Simplified Chinese texts (file dialogs, the text boxes' context menus,
// standard buttons), whatever the user's locale: every caption of the program is Chinese.
// The translator belongs to the application; null when the translations are not installed.
QTranslator* installChineseQtTranslations(QCoreApplication& application);

}  // namespace tabulor
