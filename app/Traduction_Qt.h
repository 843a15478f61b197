#pragma once

#include <QTranslator>

// Qt's own texts in French (the file dialogs, the standard buttons): Qt's translation
// qtbase_fr, read from the folder Qt reports for its translations (on Debian the package
// qt6-translations-l10n puts it there; on Windows the folder that qt.conf names).
class Traduction_Qt : public QTranslator
{
public:
    // False when the translation is not there: Qt then speaks English.
    bool Charger();

    // Qt 6 asks some texts of its file dialogs ("Folder", "Drive") in a context the French
    // translation does not have yet; they are taken from the file dialog's own, which has them.
    QString translate(const char* contexte, const char* texte, const char* precision = nullptr, int n = -1) const override;
};
