#pragma once
// Qt's own texts (the message boxes' "OK", the dialogs' buttons) in
// simplified Chinese, whatever the user's locale, to match the window.

class QCoreApplication;

// Installs Qt's Chinese translation on the application. Returns false when
// the translation is not installed; Qt's texts then stay in English.
bool installChineseTranslation(QCoreApplication& application);
