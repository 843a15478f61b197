#include "Traduction_Qt.h"

#include <QLibraryInfo>
#include <QLocale>

bool Traduction_Qt::Charger()
{
    return load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"), QStringLiteral("_"),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

QString Traduction_Qt::translate(const char* contexte, const char* texte, const char* precision, int n) const
{
    QString traduit = QTranslator::translate(contexte, texte, precision, n);
    if (traduit.isEmpty() && contexte && qstrcmp(contexte, "QAbstractFileIconProvider") == 0)
        traduit = QTranslator::translate("QFileDialog", texte, nullptr, n);
    return traduit;
}
