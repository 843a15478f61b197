#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

// The lines of the reports on the contacted castles, cut from the log's fixed columns.
// Pure functions: the windows and the routines of Sous_Programmes only read the file and
// show or write what these return.
namespace Rapports {

// What the summary window shows, counted in one pass over the log's bytes.
struct Recapitulatif
{
    int Nb_CC = 0, Nb_CR = 0, Nb_RC = 0, Nb_CA = 0, Nb_AR = 0, Nb_RA = 0, Nb_DO = 0;
    int Nb_Dpt = 0;
    int Points = 0;
};
Recapitulatif Compter(const QByteArray& contenuLog);

// The castles this log already holds, as the duplicate warning finds them: characters 11 to 15
// of every line, whatever its type; upper case, so that a "2a001" of an older log counts.
QSet<QString> References_Du_Log(const QByteArray& contenuLog);

// The contacted-castles window.
QString Entete_Contactes();                        // 94 characters
QString Ligne_Contacte(QStringView ligneLog, int points);
QString Ligne_Total_Contactes(const QString& total);
// Whole-line order, case ignored: blank, then "*", then digits, as the list box keeps them.
void Trier_Contactes(QStringList& lignes);

// The same list held as one block of Windows-1252 bytes, its lines in the list's order: a long
// log is held once, and a line is decoded only when it is shown.
struct Liste_Contactes
{
    QByteArray octets;       // the lines in file order
    QList<quint32> debuts;   // where each line starts, in the list's order
    QList<quint8> longueurs; // and its length
    qsizetype size() const { return debuts.size(); }
    QString Ligne(qsizetype i) const;
};
// Built and sorted from the log's bytes, line for line as Ligne_Contacte and Trier_Contactes make them.
Liste_Contactes Contactes(const QByteArray& contenuLog);

// The printed and exported report.
QString Titre_Rapport(const QString& indicatif, const QString& annee, const QString& dateLongue);
QString Entete_Rapport();                          // 69 characters
QString Ligne_Rapport(int numero, QStringView ligneLog, int points);
QString Ligne_Total_Rapport(const QString& total);
// The whole report, from the title to the credit line.
QStringList Rapport(const QList<QByteArray>& lignesLog, const QString& indicatif, const QString& annee,
                    const QString& dateLongue, const QString& total, const QString& credit);

// The same report as bytes, ready for FichierLog::Reecrire: each record copied whole, as the log
// holds it. The lines come in blocks of about 64 kB, joined by CR LF inside a block, so that a
// long report is a few blocks, not one allocation per line; the writer ends each with CR LF.
QList<QByteArray> Rapport_Octets(const QByteArray& contenuLog, const QString& indicatif, const QString& annee,
                                 const QString& dateLongue, const QString& total, const QString& credit);

// "F1ABC_Challenge_KVRT_2009_07_03_09.txt" from today's date written JJ/MM/AAAA.
QString Nom_Export(const QString& indicatif, const QString& annee, const QString& dateLongue);

// Points as the original Str$ writes them: a blank for the sign, then the digits.
QString Texte_Points(int points);

} // namespace Rapports
