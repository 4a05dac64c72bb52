#pragma once
// The program speaks Russian throughout, Qt's own dialogs and buttons
// included: the message boxes, file and font choosers and the standard
// buttons take their texts from Qt's Russian translation.

class QCoreApplication;

namespace nuv {

// Installs Qt's Russian translation and makes Russian the default locale of
// the widgets (dates, day and month names). Numbers in files, SQL and
// formulas keep the decimal point: the core formats and parses them in the
// "C" convention whatever the locale. False when the translation files are
// missing (the texts then stay Qt's English ones).
bool InstallRussianTranslations(QCoreApplication& app);

}  // namespace nuv
