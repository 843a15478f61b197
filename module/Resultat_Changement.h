#pragma once

#include <QString>
#include <QStringList>

// What a change of the log did: whether the log now holds it, and what the operator is to be
// told, one message box each (a notice about the log's form, then a refusal or an error of the
// disk), none when all went well. The window that asked for the change says them
// (Plateforme::Dire).
struct Resultat_Changement
{
    bool fait = false;
    QStringList messages;

    explicit operator bool() const { return fait; }
    void Dire(const QString& texte)
    {
        if (!texte.isEmpty())
            messages << texte;
    }
    // Everything said, for a test or a log: the messages one after the other.
    QString Texte() const { return messages.join(QStringLiteral("\r\n")); }
};
