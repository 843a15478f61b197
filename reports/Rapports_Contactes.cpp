// The reports of the contacted castles made from the log: printed, exported, mapped.

#include "Rapports_Contactes.h"

#include "Sous_Programmes.h"

#include "Apparence.h"
#include "Enregistrement.h"
#include "Plateforme.h"
#include "Rapports.h"
#include "Texte1252.h"

#include <QDir>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

// A line wider than the page goes on as many printed lines as it needs, cut after a blank
// where there is one, so that nothing falls off the paper.
QStringList Couper_A_La_Largeur(const QString& ligne, const QFontMetricsF& mesure, double largeur)
{
    QStringList morceaux;
    QString reste = ligne;
    while (mesure.horizontalAdvance(reste) > largeur && reste.size() > 1) {
        qsizetype n = reste.size() - 1;
        while (n > 1 && mesure.horizontalAdvance(reste.left(n)) > largeur)
            --n;
        const qsizetype blanc = reste.left(n + 1).lastIndexOf(u' ');
        if (blanc > 0)
            n = blanc + 1;
        morceaux.append(reste.left(n));
        reste = reste.mid(n);
    }
    morceaux.append(reste);
    return morceaux;
}

} // namespace

namespace Rapports_Contactes {

bool Lignes_Rapport_Contactes(Sous_Programmes& sp, QStringList& lignes)
{
    lignes.clear();
    QList<QByteArray> log;
    const ErreurFichier e = FichierLog::Lire(sp.Nom_Log(), log);
    if (!e.ok()) {
        sp.plateforme().Message(e.message, sp.Fenetre_Principale());
        return false;
    }
    const QString date = Enregistrement::Texte_Date_Longue(sp.plateforme().Maintenant_Utc().date());
    lignes = Rapports::Rapport(log, sp.Indicatif_Station(), sp.Annee_Challenge(), date, sp.Etat().Total(), Sous_Programmes::Ligne_Credit());
    return true;
}

ErreurFichier Ecrire_Export_Contactes(const QByteArray& log, const QString& indicatif, const QString& annee, const QDate& jour,
                                      const QString& total, const QString& dossier, QString& nom)
{
    // One reading of the clock names the file, so that its name and its title agree.
    const QString date = Enregistrement::Texte_Date_Longue(jour);
    nom = Rapports::Nom_Export(indicatif, annee, date);
    // Made from the log's bytes, each record copied whole: the same lines as the printout's.
    const QList<QByteArray> octets = Rapports::Rapport_Octets(log, indicatif, annee, date, total, Sous_Programmes::Ligne_Credit());
    // The export replaces an earlier one of the same day in one step, or leaves it untouched.
    return FichierLog::Reecrire(dossier + QLatin1Char('/') + nom, octets);
}

void Enregistre_Contactes(Sous_Programmes& sp)
{
    QByteArray log;
    const ErreurFichier lu = FichierLog::Lire_Tout(sp.Nom_Log(), log);
    if (!lu.ok()) {
        sp.plateforme().Message(lu.message, sp.Fenetre_Principale());
        return;
    }
    QString nom;
    const ErreurFichier e = Ecrire_Export_Contactes(log, sp.Indicatif_Station(), sp.Annee_Challenge(),
                                                    sp.plateforme().Maintenant_Utc().date(), sp.Etat().Total(), sp.Repertoire(), nom);
    if (!e.ok()) {
        sp.plateforme().Message(FichierLog::Texte_Echec_Creation(e, sp.Repertoire() + QLatin1Char('/') + nom,
                                                                 QStringLiteral("La liste des KVRT contactés n'a pas été enregistrée.")),
                                sp.Fenetre_Principale());
        return;
    }
    sp.plateforme().Message(QStringLiteral("Le log a été enregistré sous le nom : ") + nom, sp.Fenetre_Principale());
}

void Proposer_Pdf(const Sous_Programmes& sp, QPrinter& imprimante, const QString& nom)
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        return;
    imprimante.setOutputFormat(QPrinter::PdfFormat);
    imprimante.setOutputFileName(sp.Repertoire() + QLatin1Char('/') + nom + QStringLiteral(".pdf"));
}

void Imprime_Contactes(Sous_Programmes& sp)
{
    QPrinter imprimante(QPrinter::HighResolution);
    // Without a printer, the PDF proposed is named as the export of the day.
    const QString date = Enregistrement::Texte_Date_Longue(sp.plateforme().Maintenant_Utc().date());
    Proposer_Pdf(sp, imprimante, Rapports::Nom_Export(sp.Indicatif_Station(), sp.Annee_Challenge(), date).chopped(4));
    QPrintDialog dialogue(&imprimante, sp.Fenetre_Principale());
    dialogue.setObjectName(QStringLiteral("CommonDialog1"));
    if (dialogue.exec() != QDialog::Accepted) {
        sp.plateforme().Message(QStringLiteral("Impression annulée : la liste des KVRT contactés n'a pas été imprimée."), sp.Fenetre_Principale());
        return;
    }
    QStringList lignes;
    if (!Lignes_Rapport_Contactes(sp, lignes))
        return;
    Imprimer_Rapport(sp, imprimante, lignes);
}

QString Nom_Imprimante(const QPrinter& imprimante)
{
    return imprimante.outputFormat() == QPrinter::PdfFormat ? QDir::toNativeSeparators(imprimante.outputFileName())
                                                            : imprimante.printerName();
}

bool Imprimer_Rapport(Sous_Programmes& sp, QPrinter& imprimante, const QStringList& lignes)
{
    // A page with no margin would print against the edge of the paper.
    const QMarginsF marges = imprimante.pageLayout().margins(QPageLayout::Millimeter);
    imprimante.setPageMargins(QMarginsF(qMax(marges.left(), 20.0), qMax(marges.top(), 15.0),
                                        qMax(marges.right(), 10.0), qMax(marges.bottom(), 15.0)),
                              QPageLayout::Millimeter);
    const QString nomImprimante = Nom_Imprimante(imprimante);
    QPainter peintre;
    if (!peintre.begin(&imprimante)) {
        sp.plateforme().Message(QStringLiteral("L'impression n'a pas pu commencer sur « %1 » : "
                                          "la liste des KVRT contactés n'a pas été imprimée.")
                               .arg(nomImprimante),
                           sp.Fenetre_Principale());
        return false;
    }
    peintre.setFont(Apparence::Police_Impression());
    const QFontMetricsF mesure(peintre.font(), &imprimante);
    const double largeur = imprimante.width();
    const double hauteur = imprimante.height();
    double y = 0;
    bool ok = true;
    for (const QString& ligne : lignes) {
        for (const QString& morceau : Couper_A_La_Largeur(ligne, mesure, largeur)) {
            if (y > 0 && y + mesure.height() > hauteur) {
                if (!imprimante.newPage()) {
                    ok = false;
                    break;
                }
                y = 0;
            }
            peintre.drawText(QPointF(0, y + mesure.ascent()), morceau);
            y += mesure.lineSpacing();
        }
        if (!ok)
            break;
    }
    if (!ok)
        imprimante.abort();
    if (!peintre.end() || !ok) {
        sp.plateforme().Message(QStringLiteral("L'impression sur « %1 » a échoué : "
                                          "la liste des KVRT contactés n'a pas été imprimée en entier.")
                               .arg(nomImprimante),
                           sp.Fenetre_Principale());
        return false;
    }
    return true;
}

} // namespace Rapports_Contactes
