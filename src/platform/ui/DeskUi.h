#pragma once

#include <QString>

class QTranslator;

namespace tipdesk::ui {

// What every program of the desk that shows a window does once its application object exists
// and before it makes any widget: the Korean locale (date pickers' month names and first day of
// the week), Qt's own dialogs in Korean, the desk's style, whose list and popup rows are taller
// than their text, and the Qt message boxes as the default UiService. Repeated calls do nothing
// more.
void prepareDeskUi();

// Loads and installs Qt's own Korean translations from folder (Qt's translations folder when
// empty). Returns the installed translator, owned by the application (deleting it uninstalls
// it), or nullptr, silently, when the file is missing or damaged: the dialogs stay in English.
QTranslator *installQtTranslations(const QString &folder = QString());

} // namespace tipdesk::ui
