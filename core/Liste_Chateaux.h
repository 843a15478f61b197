#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

// The castles of the Challenge as the organisers publish their list: a text file of one castle
// a line, its reference and its name at least, in CSV (commas or semicolons), tab-separated,
// with or without a header row, fields quoted or not, in UTF-8 or Windows-1252.
class Liste_Chateaux
{
public:
    // Reads a list's bytes. The column of the references is the one whose cells are
    // references on most lines; the name is the first other column that holds letters. Lines
    // without a reference (the header, notes, blank lines) are left out and counted. A quoted
    // field may hold the separator, a doubled quote and line breaks (a blank in the name); a
    // quote that never closes leaves the list empty, and Erreur() says where it opened.
    static Liste_Chateaux Lire(const QByteArray& octets);

    int Nombre() const { return int(m_noms.size()); }
    bool Vide() const { return m_noms.isEmpty(); }
    bool Contient(const QString& reference) const { return m_noms.contains(reference); }
    // Empty when the reference is not in the list.
    QString Nom(const QString& reference) const { return m_noms.value(reference); }
    // The references of a departement ("29", "2A"), in order.
    QStringList References_Departement(const QString& code) const;
    int Lignes_Ignorees() const { return m_ignorees; }
    // Why the bytes are no list ("des guillemets ouverts à la ligne 12 ne se ferment jamais"),
    // or empty.
    QString Erreur() const { return m_erreur; }

    // The name of the copy the program keeps in the user's data folder.
    static QString Nom_Fichier() { return QStringLiteral("Liste_Chateaux.txt"); }

private:
    QHash<QString, QString> m_noms;
    int m_ignorees = 0;
    QString m_erreur;
};
