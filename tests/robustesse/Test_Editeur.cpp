// The operator's hand is final. Between the program's own changes (appends, imports, deletions,
// undos) a random "editor" changes the log as people do in a text editor: drops the last line
// end, deletes a line anywhere or the last one, adds a line by hand, changes a byte, saves it
// in UTF-8 with or without a byte-order mark, in UTF-16 (LE or BE) with its mark, with LF or CR
// line ends, without the blanks at the ends of the lines. Now and then the program stops, after an append sometimes cut short
// as a power cut leaves it, and starts again. After each start every line the operator left
// is still in the log (completed, or kept in a copy the message names) and the list is the
// file; QSOs of the program's that the editor took away are said, kept in the file the question
// names, and when the answer is Oui put back beside every line the operator left; after each change, a log in another program's form was kept whole in the copy that
// the one message names, and every line the editor left is still there.
//
// KVRT_GRAINE=N replays a run; KVRT_TOURS=N sets the number of rounds (300).

#include "Enregistrement.h"
#include "Forme_Log.h"
#include "Main_Test.h"
#include "Outils_Test.h"
#include "Texte1252.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

namespace {

// How an editor may have left the file: its text, its line end, its encoding.
struct Vue_Editeur
{
    QStringList lignes;
    QByteArray fin = "\r\n";
    bool finale = true;   // a line end after the last line
    Forme_Log::Codage codage = Forme_Log::Codage::Windows_1252;
    bool marque = false;
};

bool Utf16(Forme_Log::Codage c)
{
    return c == Forme_Log::Codage::Utf16_LE || c == Forme_Log::Codage::Utf16_BE;
}

// After a UTF-8 mark, each stretch between line ends is UTF-8 when it can be, as an editor
// shows a file whose lines were written in two encodings.
QString Decoder_Par_Morceaux(QByteArrayView texte)
{
    QString t;
    qsizetype debut = 0;
    for (qsizetype i = 0; i <= texte.size(); ++i) {
        if (i < texte.size() && texte.at(i) != '\r' && texte.at(i) != '\n')
            continue;
        const QByteArrayView m = texte.sliced(debut, i - debut);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString u = utf8.decode(m);
        t += utf8.hasError() ? Texte1252::Decoder(m) : u;
        if (i < texte.size())
            t += QLatin1Char(texte.at(i));
        debut = i + 1;
    }
    return t;
}

Vue_Editeur Ouvrir(const QByteArray& octets)
{
    Vue_Editeur v;
    const Forme_Log::Examen e = Forme_Log::Examiner(octets);
    v.marque = e.marque;
    v.codage = e.codage;
    QString t;
    if (Utf16(e.codage)) {
        QStringDecoder d(e.codage == Forme_Log::Codage::Utf16_LE ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        t = d.decode(QByteArrayView(octets).sliced(2));
    } else if (e.marque) {
        // An editor saves what it read after a UTF-8 mark in UTF-8.
        v.codage = Forme_Log::Codage::Utf8;
        t = Decoder_Par_Morceaux(QByteArrayView(octets).sliced(3));
    } else {
        t = e.codage == Forme_Log::Codage::Utf8 ? QString::fromUtf8(octets) : Texte1252::Decoder(octets);
    }
    if (t.contains(QLatin1String("\r\n")))
        v.fin = "\r\n";
    else if (t.contains(QLatin1Char('\n')))
        v.fin = "\n";
    else if (t.contains(QLatin1Char('\r')))
        v.fin = "\r";
    v.lignes = t.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    v.finale = t.endsWith(QLatin1Char('\n')) || t.endsWith(QLatin1Char('\r'));
    if (v.finale || t.isEmpty())
        v.lignes.removeLast();
    return v;
}

QByteArray Enregistrer(const Vue_Editeur& v)
{
    QString t;
    for (qsizetype i = 0; i < v.lignes.size(); ++i) {
        t += v.lignes.at(i);
        if (i + 1 < v.lignes.size() || v.finale)
            t += QString::fromLatin1(v.fin);
    }
    switch (v.codage) {
    case Forme_Log::Codage::Windows_1252:
        return Texte1252::Encoder(t);
    case Forme_Log::Codage::Utf16_LE:
        return "\xFF\xFE" + QByteArray(QStringEncoder(QStringEncoder::Utf16LE).encode(t));
    case Forme_Log::Codage::Utf16_BE:
        return "\xFE\xFF" + QByteArray(QStringEncoder(QStringEncoder::Utf16BE).encode(t));
    default:
        return (v.marque ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + t.toUtf8();
    }
}

// The blanks at the end of a line, which editors and the list may drop, taken away.
QString Sans_Blancs_De_Fin(QString s)
{
    while (s.endsWith(QLatin1Char(' ')))
        s.chop(1);
    return s;
}

// A line as the operator reads it, whatever the file's form: decoded, its end blanks aside,
// each character the code page lacks read as the "?" the program writes for it.
QStringList Lignes_Lues(const QByteArray& octets)
{
    QStringList r;
    for (const QString& l : Ouvrir(octets).lignes)
        r.append(Sans_Blancs_De_Fin(Texte1252::Decoder(Texte1252::Encoder(l))));
    return r;
}

// Every line of `avant`, as many times as it stands there, is in `apres`.
QString Lignes_Perdues(const QByteArray& avant, const QByteArray& apres)
{
    QStringList reste = Lignes_Lues(apres);
    QStringList perdues;
    for (const QString& l : Lignes_Lues(avant))
        if (!reste.removeOne(l))
            perdues.append(l);
    return perdues.join(QLatin1String(" | "));
}

const QStringList& References()
{
    static const QStringList refs = {QStringLiteral("2A001"), QStringLiteral("01001"), QStringLiteral("35007"),
                                     QStringLiteral("56100"), QStringLiteral("29018"), QStringLiteral("75001")};
    return refs;
}

} // namespace

class Test_Editeur : public QObject
{
    Q_OBJECT

private slots:
    void Aucune_Ligne_De_L_Operateur_Perdue();

private:
    QRandomGenerator m_hasard;
    quint32 m_graine = 0;

    int Entre(int a, int b) { return int(m_hasard.bounded(a, b + 1)); }
    QString Qso();
    QByteArray Editer(const QByteArray& octets, QString& quoi);
};

QString Test_Editeur::Qso()
{
    static const char lettres[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString ind = QStringLiteral("F");
    for (int i = Entre(3, 9); i > 0; --i)
        ind += QLatin1Char(lettres[Entre(0, 35)]);
    const QString date = QStringLiteral("%1/%2/09").arg(Entre(1, 28), 2, 10, QLatin1Char('0')).arg(Entre(1, 12), 2, 10, QLatin1Char('0'));
    return Enr(date, References().at(Entre(0, int(References().size()) - 1)), Enregistrement::Types_Activite().at(Entre(0, 8)), ind,
               Entre(0, 5) == 0);
}

QByteArray Test_Editeur::Editer(const QByteArray& octets, QString& quoi)
{
    Vue_Editeur v = Ouvrir(octets);
    switch (Entre(0, 12)) {
    case 0:
        quoi = QStringLiteral("fin de la derniere ligne otee");
        v.finale = false;
        break;
    case 1:
        quoi = QStringLiteral("ligne otee");
        if (!v.lignes.isEmpty())
            v.lignes.removeAt(Entre(0, int(v.lignes.size()) - 1));
        break;
    case 2:
        quoi = QStringLiteral("derniere ligne otee");
        if (!v.lignes.isEmpty())
            v.lignes.removeLast();
        break;
    case 3: {
        quoi = QStringLiteral("ligne ajoutee a la main");
        const QString l = Entre(0, 1) ? Qso().trimmed() : QString::fromUtf8("note : château vu le 3/3, très beau ✓");
        v.lignes.insert(Entre(0, int(v.lignes.size())), l);
        break;
    }
    case 4: {
        quoi = QStringLiteral("octet change");
        if (Utf16(v.codage)) {
            // An editor changes characters: one byte of two would make another character.
            const int l = v.lignes.isEmpty() ? -1 : Entre(0, int(v.lignes.size()) - 1);
            if (l >= 0 && !v.lignes.at(l).isEmpty())
                v.lignes[l][Entre(0, int(v.lignes.at(l).size()) - 1)] = QLatin1Char("ABCXYZ0123 /*"[Entre(0, 12)]);
            break;
        }
        QByteArray b = octets;
        for (int essai = 0; essai < 10 && !b.isEmpty(); ++essai) {
            const int i = Entre(0, int(b.size()) - 1);
            if (b.at(i) != '\r' && b.at(i) != '\n') {
                b[i] = "ABCXYZ0123 /*"[Entre(0, 12)];
                break;
            }
        }
        return b;
    }
    case 5:
        quoi = QStringLiteral("UTF-8 avec marque");
        v.codage = Forme_Log::Codage::Utf8;
        v.marque = true;
        break;
    case 6:
        quoi = QStringLiteral("UTF-8 sans marque");
        v.codage = Forme_Log::Codage::Utf8;
        v.marque = false;
        break;
    case 7:
        quoi = QStringLiteral("fins LF");
        v.fin = "\n";
        break;
    case 8:
        quoi = QStringLiteral("fins CR");
        v.fin = "\r";
        break;
    case 9:
        quoi = QStringLiteral("blancs de fin otes");
        for (QString& l : v.lignes)
            l = Sans_Blancs_De_Fin(l);
        break;
    case 10:
        quoi = QStringLiteral("UTF-16 LE avec marque");
        v.codage = Forme_Log::Codage::Utf16_LE;
        v.marque = true;
        break;
    case 11:
        quoi = QStringLiteral("UTF-16 BE avec marque");
        v.codage = Forme_Log::Codage::Utf16_BE;
        v.marque = true;
        break;
    default:
        quoi = QStringLiteral("Windows-1252 et CR LF");
        v.codage = Forme_Log::Codage::Windows_1252;
        v.marque = false;
        v.fin = "\r\n";
        break;
    }
    return Enregistrer(v);
}

void Test_Editeur::Aucune_Ligne_De_L_Operateur_Perdue()
{
    m_graine = qEnvironmentVariableIsSet("KVRT_GRAINE") ? quint32(qEnvironmentVariableIntValue("KVRT_GRAINE"))
                                                         : quint32(QDateTime::currentMSecsSinceEpoch());
    m_hasard.seed(m_graine);
    const int tours = qEnvironmentVariableIsSet("KVRT_TOURS") ? qEnvironmentVariableIntValue("KVRT_TOURS") : 300;
    Chien_De_Garde garde;
    Programme_Test p;
    QStringList depart;
    for (int i = 0; i < 8; ++i)
        depart.append(Qso());
    Main_Test* m = Demarrer_Sur(p, depart);
    const QString nomLog = QFileInfo(p.Log()).fileName();
    int demarrages = 0, completees = 0, coupees = 0, converties = 0, questionnes = 0, remis = 0;
    bool dernierAjout = false;   // the last change was a QSO's append, untouched since
    QByteArray avantAjout;
    QString histoire;
    // The text of a failure, kept until the next one: a pointer into a temporary would dangle.
    QByteArray dit;
    auto contexte = [&](const QString& quoi) {
        dit = QStringLiteral("graine %1, %2\n%3").arg(m_graine).arg(quoi, histoire.right(2000)).toLocal8Bit();
        return dit.constData();
    };

    for (int tour = 0; tour < tours; ++tour) {
        const QByteArray avant = p.Octets_Log();
        const int choix = Entre(0, 99);
        if (choix < 45) {
            // One of the program's own changes.
            const int sorte = Entre(0, 9);
            bool fait = false;
            QString quoi;
            bool garde_lignes = false;
            if (sorte < 4) {
                quoi = QStringLiteral("enregistrement");
                QString l = Qso();
                fait = Ajoute_Ligne(*p.sp, l);
                garde_lignes = true;
            } else if (sorte < 6) {
                quoi = QStringLiteral("import");
                QList<QByteArray> lignes;
                for (int i = Entre(1, 3); i > 0; --i)
                    lignes.append(Texte1252::Encoder(Qso()));
                fait = Importe_Lignes(*p.sp, lignes);
                garde_lignes = true;
            } else if (sorte < 8) {
                quoi = QStringLiteral("annulation");
                fait = Annuler_Modification(*p.sp);
            } else {
                quoi = QStringLiteral("suppression");
                QString ref = References().at(Entre(0, int(References().size()) - 1));
                fait = Supprime_Lignes_Reference(*p.sp, ref);
            }
            histoire += QStringLiteral("\n%1: %2 %3").arg(tour).arg(quoi).arg(fait);
            const QByteArray apres = p.Octets_Log();
            const QStringList dits = p.plateforme->Prendre_Messages();
            for (const QString& d : dits) {
                if (d.contains(QStringLiteral("a été enregistré par un autre programme"))) {
                    // The editor's file, whole, in the copy the message names.
                    const QString copie = d.section(QStringLiteral("\r\n"), -1);
                    QVERIFY2(QFileInfo(copie).fileName().startsWith(nomLog.chopped(4) + QStringLiteral("_version_editeur_")),
                             contexte(d));
                    QFile f(copie);
                    QVERIFY2(f.open(QIODevice::ReadOnly) && f.readAll() == avant, contexte(d));
                    ++converties;
                } else {
                    QVERIFY2(d.startsWith(QStringLiteral("Le log a été modifié en dehors du programme"))
                                 || d == QStringLiteral("Aucune modification à annuler.")
                                 || d == QStringLiteral("Il n'y a pas de données a modifier"),
                             contexte(d));
                }
            }
            if (fait || !dits.isEmpty())
                QVERIFY2(Forme_Log::Examiner(apres).Propre() || apres == avant, contexte(QStringLiteral("forme")));
            if (garde_lignes) {
                const QString perdues = Lignes_Perdues(avant, apres);
                QVERIFY2(perdues.isEmpty(), contexte(QStringLiteral("perdues par %1 : %2").arg(quoi, perdues)));
            }
            dernierAjout = fait && quoi == QLatin1String("enregistrement") && dits.isEmpty();
            avantAjout = avant;
        } else if (choix < 80) {
            QString quoi;
            const QByteArray edite = Editer(avant, quoi);
            p.Ecrire_Fichier(nomLog, edite);
            histoire += QStringLiteral("\n%1: editeur, %2").arg(tour).arg(quoi);
            dernierAjout = false;
        } else {
            // Stopped, then started; right after an append, as a power cut during it leaves the log.
            QByteArray laisse = avant;
            if (dernierAjout && avant.size() > avantAjout.size() + 1) {
                laisse = avant.left(Entre(int(avantAjout.size()) + 1, int(avant.size()) - 1));
                p.Ecrire_Fichier(nomLog, laisse);
            }
            // QSOs of the program's that the editor took away are asked about: put back or not.
            const bool remettre = Entre(0, 1) == 1;
            p.plateforme->reponses = {remettre};
            p.plateforme->questions.clear();
            histoire += QStringLiteral("\n%1: arret et demarrage, %2 octets sur %3").arg(tour).arg(laisse.size()).arg(avant.size());
            m = p.Redemarrer();
            ++demarrages;
            const QByteArray apres = p.Octets_Log();
            QStringList dits = p.plateforme->Prendre_Messages();
            dits.removeAll(QStringLiteral("Il n'y a pas de données a modifier"));
            const QStringList questions = p.plateforme->questions;
            p.plateforme->reponses.clear();
            QByteArray disparus;
            if (!questions.isEmpty()) {
                // Said, and kept whole in the file the question names.
                QVERIFY2(questions.size() == 1 && questions.first().endsWith(QStringLiteral("\r\nRemettre ces QSO dans le log ?")),
                         contexte(questions.join(QLatin1Char('|'))));
                const QStringList lignesQuestion = questions.first().split(QStringLiteral("\r\n"));
                const qsizetype place = lignesQuestion.indexOf(QRegularExpression(QStringLiteral("^Ils? (est|sont) gardés? dans le fichier$")));
                const QString copie = place >= 0 ? lignesQuestion.value(place + 1) : QString();
                QVERIFY2(QFileInfo(copie).fileName().startsWith(nomLog.chopped(4) + QStringLiteral("_qso_disparus_")),
                         contexte(questions.first()));
                QFile f(copie);
                QVERIFY2(f.open(QIODevice::ReadOnly), contexte(questions.first()));
                disparus = f.readAll();
                QVERIFY2(!disparus.isEmpty() && Forme_Log::Examiner(disparus).Propre(), contexte(questions.first()));
                ++questionnes;
                histoire += QStringLiteral(", %1 QSO disparus, remis %2").arg(disparus.count('\n')).arg(remettre);
            }
            if (!questions.isEmpty() && remettre) {
                // Put back: every line the operator left and every QSO gone are in the log, the
                // editor's own version kept whole in the copy a message names, if it had one.
                QVERIFY2(Lignes_Perdues(laisse, apres).isEmpty() && Lignes_Perdues(disparus, apres).isEmpty(),
                         contexte(QStringLiteral("remis : ") + Lignes_Perdues(laisse, apres) + Lignes_Perdues(disparus, apres)));
                QVERIFY2(dits.size() <= 1, contexte(dits.join(QLatin1Char('|'))));
                for (const QString& d : dits) {
                    QFile f(d.section(QStringLiteral("\r\n"), -1));
                    QVERIFY2(d.contains(QStringLiteral("a été enregistré par un autre programme")) && f.open(QIODevice::ReadOnly)
                                 && f.readAll() == laisse,
                             contexte(d));
                }
                ++remis;
            } else if (apres != laisse) {
                if (apres.startsWith(laisse) && !laisse.endsWith('\n')) {
                    ++completees;
                    QVERIFY2(dits.isEmpty(), contexte(dits.join(QLatin1Char('|'))));
                } else {
                    // Something was taken out: the file as it was is in the copy named.
                    QCOMPARE(dits.size(), 1);
                    const QString copie = dits.first().section(QStringLiteral("\r\n"), -1);
                    QFile f(copie);
                    QVERIFY2(f.open(QIODevice::ReadOnly) && f.readAll() == laisse, contexte(dits.first()));
                    ++coupees;
                }
            } else {
                QVERIFY2(dits.isEmpty(), contexte(dits.join(QLatin1Char('|'))));
            }
            // The list is the file as the operator reads it, line by line, and so is the total.
            const QStringList lignes = Lignes_Lues(apres);
            QVERIFY2(m->Nombre_Lignes() == lignes.size(), contexte(QStringLiteral("liste de %1 lignes").arg(m->Nombre_Lignes())));
            int total = 0;
            for (int i = 0; i < lignes.size(); ++i) {
                // A list line shows the record cut to its 53 columns.
                QVERIFY2(Sans_Blancs_De_Fin(m->Texte_Ligne(i).mid(8)) == Sans_Blancs_De_Fin(lignes.at(i).left(53)),
                         contexte(QStringLiteral("ligne %1 : %2").arg(i + 1).arg(m->Texte_Ligne(i))));
                total += Enregistrement::Points_Ligne(lignes.at(i));
            }
            QVERIFY2(m->Total_Points->text() == QString::number(total), contexte(QStringLiteral("total ") + m->Total_Points->text()));
            dernierAjout = false;
        }
    }
    qInfo("graine %u : %d démarrages, %d lignes complétées, %d coupées, %d logs réécrits dans la forme du programme, "
          "%d fois des QSO disparus (%d remis)",
          m_graine, demarrages, completees, coupees, converties, questionnes, remis);
    // A run that never met the cases it is about proves nothing.
    if (tours >= 300)
        QVERIFY2(demarrages > 20 && converties > 5 && coupees + completees > 0, contexte(QStringLiteral("cas trop rares")));
    QVERIFY(garde.fermees.isEmpty());
}

QTEST_MAIN(Test_Editeur)
#include "Test_Editeur.moc"
