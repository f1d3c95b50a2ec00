#pragma once

class QCoreApplication;

namespace ui {

/// Installs Qt's own translations (qtbase) for the system's language, so
/// that Qt's dialogs (files, printer, page set-up) speak the user's language.
/// The program's own texts are fixed and untranslated; only Qt's change.
/// Returns false when no translation for the language is installed; the
/// dialogs then stay in English.
bool installQtTranslations(QCoreApplication &app);

} // namespace ui
