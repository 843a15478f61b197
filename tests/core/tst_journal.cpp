// The journal of the log's changes: its checksum, the blocks that reverse a change, its
// lines, the check against the log at start-up, its bounds, and random runs of changes,
// undos and redos that must give back every earlier state byte for byte.

#include "FichierLog.h"
#include "Journal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

using namespace Journal;

namespace {

QByteArray Lire(const QString& chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
}

void Ecrire(const QString& chemin, const QByteArray& octets)
{
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(octets), octets.size());
}

QByteArray Tous_Les_Octets()
{
    QByteArray b;
    for (int i = 0; i < 256; ++i)
        b += char(i);
    return b;
}

// A log with what a hand-kept file can hold: a short line, a lone LF, bytes 0x80-0xFF and a
// last line without its line end.
QByteArray Log_Bizarre()
{
    return QByteArray("28/03/09  2A001  Chateau active          F5XYZ       \r\n"
                      "court\r\n"
                      "\xe9t\xe9 \x80\x9f\xff\n"
                      "\r\n"
                      "29/03/09  35007  Chateau active          F6ABC       \r\n"
                      "30/03/09  2A001  Double                  F1AAA       ");
}

QDateTime Heure(int minute, int annee = 2009)
{
    return QDateTime(QDate(annee, 3, 28), QTime(14, 0).addSecs(60 * minute), Qt::UTC);
}

} // namespace

class Tst_Journal : public QObject
{
    Q_OBJECT

private slots:
    void Empreinte_Reprise_data();
    void Empreinte_Reprise();
    void Empreinte_Distingue();
    void Differences_Inversibles_data();
    void Differences_Inversibles();
    void Entree_Aller_Retour_data();
    void Entree_Aller_Retour();
    void Verification_Au_Demarrage_data();
    void Verification_Au_Demarrage();
    void Annulations_Aleatoires_data();
    void Annulations_Aleatoires();
    void Retour_A_Un_Etat();
    void Borne_data();
    void Borne();
    void Ajout_Dechire_Au_Demarrage_data();
    void Ajout_Dechire_Au_Demarrage();
    void Restes_De_Crash_data();
    void Restes_De_Crash();
    void Entree_Absurde_data();
    void Entree_Absurde();
    void Ajout_Apres_Edition_De_Meme_Taille();
    void Journaux_Mis_De_Cote_Bornes();
    void Journal_Qui_Reste_En_Place_data();
    void Journal_Qui_Reste_En_Place();
    void Saison_Bornee();
    void Journal_Ancien_Continue_data();
    void Journal_Ancien_Continue();
    void Empreinte_Resumee_data();
    void Empreinte_Resumee();
};

// ---------------------------------------------------------------------------------------

void Tst_Journal::Empreinte_Reprise_data()
{
    QTest::addColumn<QByteArray>("octets");
    QTest::addColumn<QList<int>>("coupes");
    const QByteArray log = Log_Bizarre();
    QTest::newRow("vide") << QByteArray() << QList<int>{0};
    QTest::newRow("un octet") << QByteArray("x") << QList<int>{0, 1};
    QTest::newRow("31 puis 1") << QByteArray(32, 'a') << QList<int>{31};
    QTest::newRow("32 exactement") << QByteArray(64, 'b') << QList<int>{32};
    QTest::newRow("33 octet par octet") << QByteArray(33, 'c') << QList<int>{1, 2, 3, 4, 5, 30, 31, 32};
    QTest::newRow("log coupe au milieu des lignes") << log << QList<int>{7, 55, 56, 100, 101, 150};
    QTest::newRow("tous les octets") << Tous_Les_Octets() << QList<int>{13, 128, 129, 255};
}

void Tst_Journal::Empreinte_Reprise()
{
    // An append carries the journal's checksum on over the new bytes alone: it must give
    // what reading the whole file gives, wherever the earlier writes ended.
    QFETCH(QByteArray, octets);
    QFETCH(QList<int>, coupes);
    const Empreinte entiere = Empreinte_De(octets);
    Empreinte parts;
    int lu = 0;
    for (int c : coupes) {
        parts.Ajouter(octets.mid(lu, c - lu));
        lu = c;
        // Written to the journal and read back at any point, it carries on the same.
        Empreinte relue;
        QVERIFY(Empreinte::Depuis_Texte(parts.Texte(), relue));
        QVERIFY(relue == parts);
        parts = relue;
    }
    parts.Ajouter(octets.mid(lu));
    QVERIFY(parts == entiere);
    QCOMPARE(parts.Valeur(), entiere.Valeur());
    QCOMPARE(parts.Longueur(), qint64(octets.size()));
}

void Tst_Journal::Empreinte_Distingue()
{
    // One changed byte anywhere, two swapped lines, one byte more or less: another checksum.
    const QByteArray log = Log_Bizarre();
    const Empreinte e = Empreinte_De(log);
    for (int i = 0; i < log.size(); ++i) {
        QByteArray autre = log;
        autre[i] = char(autre[i] ^ 0x20);
        QVERIFY2(Empreinte_De(autre) != e, qPrintable(QString::number(i)));
    }
    QVERIFY(Empreinte_De(log + ' ') != e);
    QVERIFY(Empreinte_De(log.chopped(1)) != e);
    QVERIFY(Empreinte_De(QByteArray(64, 'a') + QByteArray(64, 'b')) != Empreinte_De(QByteArray(64, 'b') + QByteArray(64, 'a')));
    Empreinte x;
    QVERIFY(!Empreinte::Depuis_Texte("1.2.3", x));
    QVERIFY(!Empreinte::Depuis_Texte("1.2.3.4.5.zz", x));
    QVERIFY(!Empreinte::Depuis_Texte("1.2.3.4.3.61", x)); // length and pending bytes disagree
}

// ---------------------------------------------------------------------------------------

void Tst_Journal::Differences_Inversibles_data()
{
    QTest::addColumn<QByteArray>("ancien");
    QTest::addColumn<QByteArray>("nouveau");
    QTest::addColumn<int>("nombreBlocs"); // -1: not checked
    const QByteArray a = "L1\r\nL2\r\nL3\r\nL4\r\nL5\r\n";
    QTest::newRow("identiques") << a << a << 0;
    QTest::newRow("vide vers log") << QByteArray() << a << 1;
    QTest::newRow("log vers vide") << a << QByteArray() << 1;
    QTest::newRow("ajout a la fin") << a << a + "L6\r\n" << 1;
    QTest::newRow("insertion au debut") << a << "L0\r\n" + a << 1;
    QTest::newRow("remplacement au milieu") << a << QByteArray("L1\r\nL2\r\nXX\r\nL4\r\nL5\r\n") << 1;
    QTest::newRow("suppressions eparses") << a << QByteArray("L2\r\nL4\r\n") << 3;
    QTest::newRow("lignes en double") << QByteArray("A\r\nA\r\nB\r\nA\r\n") << QByteArray("A\r\nB\r\nA\r\nA\r\n") << -1;
    const QByteArray bizarre = Log_Bizarre();
    QTest::newRow("sans fin de ligne vers CR LF partout")
        << bizarre << QByteArray(bizarre).replace("\xff\n", "\xff\r\n") + "\r\n" << 2;
    QTest::newRow("ajout apres une ligne sans fin")
        << bizarre << bizarre + "\r\n31/03/09  29001  Chateau active          F9ZZZ       \r\n" << 1;
    QTest::newRow("tous les octets") << Tous_Les_Octets() << Tous_Les_Octets().replace('\n', "\r\n") << -1;
    QTest::newRow("CR seul") << QByteArray("a\rb\r\nc") << QByteArray("a\r\nb\r\nc\r\n") << -1;
    QByteArray grand, grandSans, grandSansUnSurCinq, grandImporte;
    for (int i = 0; i < 3000; ++i) {
        const QByteArray l = "ligne " + QByteArray::number(i) + "\r\n";
        grand += l;
        if (i % 7 != 3)
            grandSans += l;
        if (i % 5 != 2)
            grandSansUnSurCinq += l;
        // An import among the lines: a QSO after every fifth line, some of them alike.
        grandImporte += l;
        if (i % 5 == 1)
            grandImporte += i % 10 == 1 ? QByteArray("importe\r\n") : "ligne " + QByteArray::number(i) + "\r\n";
    }
    QTest::newRow("plus de cinq cents suppressions") << grand << grandSans << -1;
    // However many lines come in or go, each is its own small block: an import into a long
    // log is never journalled as the whole log.
    QTest::newRow("six cents insertions eparses") << grand << grandImporte << 600;
    QTest::newRow("six cents suppressions eparses") << grand << grandSansUnSurCinq << 600;
    QTest::newRow("six cents insertions eparses, a l'envers") << grandImporte << grand << 600;
    QTest::newRow("une ligne au debut d'un long log") << grand << "L0\r\n" + grand << 1;
    QTest::newRow("une ligne a la fin d'un long log") << grand << grand + "L0\r\n" << 1;
    QTest::newRow("un octet change au milieu d'un long log")
        << grand << QByteArray(grand).replace("ligne 1500\r\n", "ligne 15O0\r\n") << 1;
    QTest::newRow("fin de ligne changee") << grand << QByteArray(grand).replace("ligne 1500\r\n", "ligne 1500\n") << 1;
}

void Tst_Journal::Differences_Inversibles()
{
    QFETCH(QByteArray, ancien);
    QFETCH(QByteArray, nouveau);
    QFETCH(int, nombreBlocs);
    const QList<Bloc> blocs = Differences(ancien, nouveau);
    if (nombreBlocs >= 0)
        QCOMPARE(blocs.size(), nombreBlocs);
    QByteArray apres;
    QVERIFY(Appliquer(ancien, blocs, apres));
    QCOMPARE(apres, nouveau);
    QByteArray avant;
    QVERIFY(Appliquer(nouveau, Inverser(blocs), avant));
    QCOMPARE(avant, ancien);
    // Blocks that do not fit the file are refused rather than applied.
    if (!blocs.isEmpty() && !blocs.first().retire.isEmpty()) {
        QByteArray autre = ancien;
        autre[blocs.first().position] = char(autre[blocs.first().position] ^ 1);
        QByteArray x;
        QVERIFY(!Appliquer(autre, blocs, x));
    }
}

// ---------------------------------------------------------------------------------------

void Tst_Journal::Entree_Aller_Retour_data()
{
    QTest::addColumn<QByteArray>("retire");
    QTest::addColumn<QByteArray>("ajoute");
    QTest::addColumn<QString>("operation");
    QTest::newRow("tous les octets") << Tous_Les_Octets() << QByteArray() << QStringLiteral("suppression du KVRT 29001");
    QTest::newRow("rien") << QByteArray() << QByteArray() << QString();
    QTest::newRow("tabulations et points-virgules")
        << QByteArray("a\tb;c:d\r\n") << QByteArray("\t\t;;::") << QStringLiteral("import ADIF\t; : % é");
}

void Tst_Journal::Entree_Aller_Retour()
{
    QFETCH(QByteArray, retire);
    QFETCH(QByteArray, ajoute);
    QFETCH(QString, operation);
    Entree e;
    e.numero = 42;
    e.genre = Genre::Annulation;
    e.cible = 41;
    e.utc = Heure(3);
    e.operation = operation;
    e.avant = Empreinte_De(retire);
    e.apres = Empreinte_De(ajoute);
    e.blocs = {Bloc{7, retire, ajoute}, Bloc{900, ajoute, retire}};
    const QByteArray ligne = Encoder_Entree(e);
    QVERIFY(ligne.endsWith('\n'));
    QCOMPARE(ligne.count('\n'), 1);
    Entree lue;
    QVERIFY(Decoder_Entree(ligne, lue));
    QCOMPARE(lue.numero, 42);
    QCOMPARE(lue.genre, Genre::Annulation);
    QCOMPARE(lue.cible, 41);
    QCOMPARE(lue.utc, e.utc);
    QCOMPARE(lue.operation, operation);
    QVERIFY(lue.avant == e.avant && lue.apres == e.apres);
    QCOMPARE(lue.blocs, e.blocs);
    // Any damaged byte, or a line cut short, is not taken for an entry.
    for (int i = 0; i + 1 < ligne.size(); i += 3) {
        QByteArray abimee = ligne;
        abimee[i] = char(abimee[i] == 'x' ? 'y' : 'x');
        Entree x;
        QVERIFY2(!Decoder_Entree(abimee, x), qPrintable(QString::number(i)));
        QVERIFY(!Decoder_Entree(ligne.left(i), x));
    }
}

// ---------------------------------------------------------------------------------------

void Tst_Journal::Verification_Au_Demarrage_data()
{
    // What the file system holds when the program starts; the log before and after the
    // journalled change is A then B.
    QTest::addColumn<QString>("cas");
    QTest::addColumn<int>("accord");
    QTest::addColumn<int>("entreesRestantes");
    QTest::addColumn<bool>("annulable");
    QTest::newRow("log et journal d'accord") << "accord" << int(Journal_Log::Accord::Accord) << 2 << true;
    QTest::newRow("pas de journal") << "sans" << int(Journal_Log::Accord::Sans_Journal) << 0 << false;
    QTest::newRow("entree notee, log pas encore change") << "non_applique" << int(Journal_Log::Accord::Reprise) << 1 << true;
    QTest::newRow("entree coupee en cours d'ecriture") << "dechire" << int(Journal_Log::Accord::Accord) << 2 << true;
    QTest::newRow("log change par un autre editeur") << "etranger" << int(Journal_Log::Accord::Mis_De_Cote) << 0 << false;
    QTest::newRow("ligne abimee au milieu du journal") << "abime" << int(Journal_Log::Accord::Mis_De_Cote) << 0 << false;
}

void Tst_Journal::Verification_Au_Demarrage()
{
    QFETCH(QString, cas);
    QFETCH(int, accord);
    QFETCH(int, entreesRestantes);
    QFETCH(bool, annulable);
    QTemporaryDir dossier;
    const QString log = dossier.filePath(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"));
    const QByteArray A = Log_Bizarre();
    const QByteArray B = A + "\r\n31/03/09  29001  Chateau active          F9ZZZ       \r\n";
    const QByteArray C = QByteArray(B).replace("F6ABC", "F6ABD");
    Ecrire(log, A);
    {
        Journal_Log j(log);
        QVERIFY(j.Ajouter("31/03/09  29001  Chateau active          F9ZZZ       ", "enregistrement du KVRT 29001", Heure(1)).ok());
        QCOMPARE(Lire(log), B);
        QVERIFY(j.Reecrire(B, C, Genre::Modification, 0, "modification du KVRT 35007", Heure(2)).ok());
        QCOMPARE(Lire(log), C);
    }
    const QString chemin = Chemin_Journal(log);
    const QByteArray journal = Lire(chemin);
    QCOMPARE(journal.count('\n'), 2);
    if (cas == "sans") {
        QFile::remove(chemin);
    } else if (cas == "non_applique") {
        Ecrire(log, B);
    } else if (cas == "dechire") {
        Ecrire(chemin, journal + journal.left(40));
    } else if (cas == "etranger") {
        Ecrire(log, C + "ajout\r\n");
    } else if (cas == "abime") {
        QByteArray j = journal;
        j[10] = char(j[10] ^ 1);
        Ecrire(chemin, j);
    }
    const QByteArray logAvant = Lire(log);
    const QByteArray journalAvant = Lire(chemin);
    Journal_Log j(log);
    QString deCote;
    QCOMPARE(int(j.Verifier(logAvant, &deCote)), accord);
    QCOMPARE(Lire(log), logAvant); // the check never touches the log
    QCOMPARE(j.Entrees().size(), entreesRestantes);
    QCOMPARE(Journal_Log(log).Entrees().size(), entreesRestantes); // and the file says the same
    QCOMPARE(j.A_Annuler() != nullptr, annulable);
    if (accord == int(Journal_Log::Accord::Mis_De_Cote)) {
        // Set aside under a dated name, never deleted; a new journal starts.
        QVERIFY(!deCote.isEmpty());
        QCOMPARE(QFileInfo(deCote).dir(), QFileInfo(log).dir());
        QVERIFY(QFileInfo(deCote).fileName().startsWith(QFileInfo(chemin).fileName() + '.'));
        QCOMPARE(Lire(deCote), journalAvant);
        QVERIFY(!QFileInfo::exists(chemin));
        const auto r = j.Annuler(Heure(5));
        QCOMPARE(r.etat, Journal_Log::Resultat::Rien_A_Faire);
        QCOMPARE(Lire(log), logAvant);
    }
    if (cas == "dechire")
        QCOMPARE(Lire(chemin), journal);
    if (annulable) {
        // One undo gives the state before the last change that reached the log.
        const auto r = j.Annuler(Heure(6));
        QCOMPARE(r.etat, Journal_Log::Resultat::Fait);
        QCOMPARE(Lire(log), cas == "non_applique" ? A : B);
    }
}

// ---------------------------------------------------------------------------------------

void Tst_Journal::Annulations_Aleatoires_data()
{
    QTest::addColumn<quint32>("graine");
    for (quint32 g : {1u, 2u, 3u, 17u, 2009u, 424242u})
        QTest::newRow(qPrintable(QStringLiteral("graine %1").arg(g))) << g;
}

void Tst_Journal::Annulations_Aleatoires()
{
    // Records, insertions, edits, deletes, undos and redos at random, with a restart of the
    // program now and then: each undo gives back the bytes before the change it reverses and
    // each redo the bytes after it.
    QFETCH(quint32, graine);
    QRandomGenerator hasard(graine);
    QTemporaryDir dossier;
    const QString log = dossier.filePath(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"));
    Ecrire(log, Log_Bizarre());
    auto j = std::make_unique<Journal_Log>(log);
    QList<QByteArray> faites;     // state before each change that can be undone
    QList<QByteArray> apresFaites;
    QList<QByteArray> annulees;   // state after each change undone, for its redo
    QList<QByteArray> avantAnnulees;
    auto ligneAuHasard = [&]() {
        QByteArray l = "0" + QByteArray::number(hasard.bounded(1, 10)) + "/03/09  "
            + QByteArray::number(hasard.bounded(10000, 10010)) + "  Chateau active          F";
        for (int i = 0; i < 4; ++i)
            l += char(hasard.bounded(0x80, 0x100)); // bytes that only Windows-1252 gives a meaning to
        return l;
    };
    for (int pas = 0; pas < 250; ++pas) {
        const QByteArray avant = Lire(log);
        QList<QByteArray> lignes;
        for (const QByteArray& l : avant.split('\n'))
            lignes.append(l.endsWith('\r') ? l.chopped(1) : l);
        if (avant.endsWith('\n'))
            lignes.removeLast();
        const int choix = hasard.bounded(8);
        QByteArray nouveau;
        if (choix == 0) {
            QVERIFY(j->Ajouter(ligneAuHasard(), "enregistrement", Heure(pas)).ok());
        } else if (choix <= 3) {
            if (choix == 1)
                lignes.insert(hasard.bounded(lignes.size() + 1), ligneAuHasard());
            else if (choix == 2 && !lignes.isEmpty())
                lignes[hasard.bounded(lignes.size())] = ligneAuHasard();
            else if (!lignes.isEmpty()) {
                const QByteArray cle = lignes.at(hasard.bounded(lignes.size())).mid(10, 5);
                lignes.removeIf([&](const QByteArray& l) { return l.mid(10, 5) == cle; });
            }
            for (const QByteArray& l : lignes)
                nouveau += l + "\r\n";
            QVERIFY(j->Reecrire(avant, nouveau, Genre::Modification, 0, "changement", Heure(pas)).ok());
        } else if (choix <= 5) {
            const auto r = j->Annuler(Heure(pas));
            if (faites.isEmpty()) {
                QCOMPARE(r.etat, Journal_Log::Resultat::Rien_A_Faire);
            } else {
                QCOMPARE(r.etat, Journal_Log::Resultat::Fait);
                QCOMPARE(Lire(log), faites.last());
                annulees.append(apresFaites.takeLast());
                avantAnnulees.append(faites.takeLast());
            }
            continue;
        } else if (choix == 6) {
            const auto r = j->Retablir(Heure(pas));
            if (annulees.isEmpty()) {
                QCOMPARE(r.etat, Journal_Log::Resultat::Rien_A_Faire);
            } else {
                QCOMPARE(r.etat, Journal_Log::Resultat::Fait);
                QCOMPARE(Lire(log), annulees.last());
                faites.append(avantAnnulees.takeLast());
                apresFaites.append(annulees.takeLast());
            }
            continue;
        } else {
            // The program is closed and started again: the journal is read from its file.
            j = std::make_unique<Journal_Log>(log);
            QCOMPARE(int(j->Verifier(Lire(log))), faites.isEmpty() && annulees.isEmpty()
                                                    ? int(j->Entrees().isEmpty() ? Journal_Log::Accord::Sans_Journal
                                                                                 : Journal_Log::Accord::Accord)
                                                    : int(Journal_Log::Accord::Accord));
            continue;
        }
        if (Lire(log) != avant) {
            faites.append(avant);
            apresFaites.append(Lire(log));
            annulees.clear();
            avantAnnulees.clear();
        }
    }
    // Everything undone, one by one, back to the log as it was first.
    while (!faites.isEmpty()) {
        QCOMPARE(j->Annuler(Heure(999)).etat, Journal_Log::Resultat::Fait);
        QCOMPARE(Lire(log), faites.takeLast());
    }
    QCOMPARE(Lire(log), Log_Bizarre());
}

void Tst_Journal::Retour_A_Un_Etat()
{
    QTemporaryDir dossier;
    const QString log = dossier.filePath(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"));
    Ecrire(log, Log_Bizarre());
    Journal_Log j(log);
    QList<QByteArray> etats;
    for (int i = 0; i < 6; ++i) {
        QVERIFY(j.Ajouter("0" + QByteArray::number(i + 1) + "/04/09  1000" + QByteArray::number(i)
                              + "  Chateau active          F1AAA       ",
                          "enregistrement", Heure(i))
                    .ok());
        etats.append(Lire(log));
    }
    QCOMPARE(j.Annuler(Heure(10)).etat, Journal_Log::Resultat::Fait);
    QCOMPARE(j.Annuler(Heure(11)).etat, Journal_Log::Resultat::Fait);
    // Back to the state after the second record, across the two undos.
    const qint64 deuxieme = j.Entrees().at(1).numero;
    QCOMPARE(j.Revenir_A(deuxieme, "retour", Heure(12)).etat, Journal_Log::Resultat::Fait);
    QCOMPARE(Lire(log), etats.at(1));
    // The return is a change like any other: it can be undone, and nothing is left to redo.
    QVERIFY(!j.A_Retablir());
    QCOMPARE(j.Annuler(Heure(13)).etat, Journal_Log::Resultat::Fait);
    QCOMPARE(Lire(log), etats.at(3));
    // A log changed outside the program is never rewritten from the journal.
    Ecrire(log, etats.at(3) + "x");
    const auto r = j.Revenir_A(deuxieme, "retour", Heure(14));
    QCOMPARE(r.etat, Journal_Log::Resultat::Log_Modifie);
    QCOMPARE(Lire(log), etats.at(3) + "x");
    QVERIFY(QFileInfo::exists(r.misDeCote));
    // The next change starts a new journal and can be undone.
    QVERIFY(j.Ajouter("01/05/09  20000  Chateau active          F1AAA       ", "enregistrement", Heure(15)).ok());
    QCOMPARE(j.Annuler(Heure(16)).etat, Journal_Log::Resultat::Fait);
    QCOMPARE(Lire(log), etats.at(3) + "x");
}

// ---------------------------------------------------------------------------------------

void Tst_Journal::Borne_data()
{
    QTest::addColumn<int>("anciennes");   // entries of the previous year
    QTest::addColumn<int>("recentes");    // entries of this year
    QTest::addColumn<int>("gardeesMin");
    QTest::addColumn<int>("gardeesMax");
    QTest::newRow("peu de changements: tout reste") << 50 << 100 << 150 << 150;
    QTest::newRow("saison courte: les 500 derniers") << 500 << 120 << 500 << 600;
    QTest::newRow("longue saison: toute la saison") << 50 << 700 << 700 << 800;
}

void Tst_Journal::Borne()
{
    QFETCH(int, anciennes);
    QFETCH(int, recentes);
    QFETCH(int, gardeesMin);
    QFETCH(int, gardeesMax);
    QTemporaryDir dossier;
    const QString log = dossier.filePath(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"));
    Ecrire(log, QByteArray());
    Journal_Log j(log);
    for (int i = 0; i < anciennes + recentes; ++i) {
        const QDateTime t = i < anciennes ? Heure(i, 2008) : Heure(i, 2009);
        QVERIFY(j.Ajouter("l" + QByteArray::number(i), "enregistrement", t).ok());
    }
    const int n = int(Journal_Log(log).Entrees().size());
    QVERIFY2(n >= gardeesMin && n <= gardeesMax, qPrintable(QString::number(n)));
    QCOMPARE(int(j.Entrees().size()), n);
    // What is kept is the newest, and it still undoes back to where it begins.
    QCOMPARE(j.Entrees().last().numero, qint64(anciennes + recentes));
    for (int i = 0; i < n; ++i)
        QCOMPARE(j.Annuler(Heure(0)).etat, Journal_Log::Resultat::Fait);
    QCOMPARE(j.Annuler(Heure(0)).etat, Journal_Log::Resultat::Rien_A_Faire);
    QByteArray attendu;
    for (int i = 0; i < anciennes + recentes - n; ++i)
        attendu += "l" + QByteArray::number(i) + "\r\n";
    QCOMPARE(Lire(log), attendu);
}

// ---------------------------------------------------------------------------------------

void Tst_Journal::Ajout_Dechire_Au_Demarrage_data()
{
    // What the log holds at start-up after its last change: the bytes a power cut let reach
    // the disk of a QSO's append, or the operator's own edits in a text editor.
    QTest::addColumn<QString>("derniere");   // the last change: "ajout" of one QSO, or "import" of three
    QTest::addColumn<QByteArray>("reste");   // what stands after the state before it
    QTest::addColumn<QString>("verdict");    // "complete", "coupe" (copy kept), "lu" as it is, or "operateur"
    const QByteArray ligne = "31/03/09  29001  Chateau active          F9ZZZ       \r\n";
    const QByteArray import = "01/04/09  35001  Chateau active          F5AAA       \r\n"
                              "02/04/09  35002  Chateau active          F5BBB       \r\n"
                              "03/04/09  35003  Chateau active          F5CCC       \r\n";
    QTest::newRow("un octet") << "ajout" << ligne.left(1) << "coupe";
    QTest::newRow("la moitie") << "ajout" << ligne.left(27) << "coupe";
    QTest::newRow("sans LF") << "ajout" << ligne.left(ligne.size() - 1) << "complete";
    QTest::newRow("sans CR LF") << "ajout" << ligne.left(ligne.size() - 2) << "complete";
    QTest::newRow("sans blancs ni fin de ligne") << "ajout" << ligne.left(47) << "complete";
    // The boundary: the text whole to its last letter, only the blanks and the line end lost;
    // one letter less is a cut line.
    QTest::newRow("texte entier, ni blancs ni fin de ligne") << "ajout" << ligne.left(46) << "complete";
    QTest::newRow("texte moins sa derniere lettre") << "ajout" << ligne.left(45) << "coupe";
    QTest::newRow("autres octets") << "ajout" << QByteArray("31/03/09  75001") << "operateur";
    // A rename is whole or nothing: a shorter import is the operator's, never taken out.
    QTest::newRow("import, derniere ligne otee") << "import" << import.left(2 * 55) << "operateur";
    // Read as the program reads it, the last line end back, it is the journal's state.
    QTest::newRow("import, fin de ligne otee") << "import" << import.chopped(2) << "lu";
    QTest::newRow("import, moitie de ligne") << "import" << import.left(80) << "operateur";
}

void Tst_Journal::Ajout_Dechire_Au_Demarrage()
{
    QFETCH(QString, derniere);
    QFETCH(QByteArray, reste);
    QFETCH(QString, verdict);
    QTemporaryDir dossier;
    const QString log = dossier.filePath(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"));
    const QByteArray A = "28/03/09  2A001  Chateau active          F5XYZ       \r\n";
    const QByteArray B = A + "29/03/09  35007  Chateau active          F6ABC       \r\n";
    Ecrire(log, A);
    QByteArray complet;
    {
        Journal_Log j(log);
        QVERIFY(j.Ajouter("29/03/09  35007  Chateau active          F6ABC       ", "enregistrement du KVRT 35007", Heure(1)).ok());
        if (derniere == "ajout") {
            QVERIFY(j.Ajouter("31/03/09  29001  Chateau active          F9ZZZ       ", "enregistrement du KVRT 29001", Heure(2)).ok());
        } else {
            const QByteArray C = B + "01/04/09  35001  Chateau active          F5AAA       \r\n"
                                     "02/04/09  35002  Chateau active          F5BBB       \r\n"
                                     "03/04/09  35003  Chateau active          F5CCC       \r\n";
            QVERIFY(j.Reecrire(B, C, Genre::Modification, 0, "import ADIF de 3 QSO", Heure(2)).ok());
        }
        complet = Lire(log);
    }
    const QByteArray laisse = B + reste;
    Ecrire(log, laisse);
    Journal_Log j(log);
    // While the program runs, nothing is ever taken for a cut append: the log stays.
    if (verdict == "complete" || verdict == "coupe") {
        Journal_Log enCours(log);
        QCOMPARE(enCours.Verifier(laisse), Journal_Log::Accord::Mis_De_Cote);
        QCOMPARE(Lire(log), laisse);
        Ecrire(Chemin_Journal(log), Lire(enCours.Dernier_Mis_De_Cote()));
    }
    const Journal_Log::Demarrage d = j.Verifier_Au_Demarrage(laisse);
    QVERIFY(d.erreur.ok());
    if (verdict == "operateur" || verdict == "lu") {
        // Bytes the journal cannot explain are never taken away, nor those it can.
        QCOMPARE(d.accord, verdict == "lu" ? Journal_Log::Accord::Accord : Journal_Log::Accord::Mis_De_Cote);
        QCOMPARE(Lire(log), laisse);
        QVERIFY(d.copie.isEmpty() && !d.completee);
        return;
    }
    if (verdict == "complete") {
        // The QSO the list showed is whole in the log again, and can be undone.
        QCOMPARE(d.accord, Journal_Log::Accord::Accord);
        QVERIFY(d.completee);
        QCOMPARE(Lire(log), complet);
        QCOMPARE(j.Annuler(Heure(3)).etat, Journal_Log::Resultat::Fait);
        QCOMPARE(Lire(log), B);
        return;
    }
    // Less than the line: the file as it was is kept under the program's own name, then the
    // part line goes and the journal explains the log; one undo takes back the QSO before.
    QCOMPARE(d.accord, Journal_Log::Accord::Reprise);
    QVERIFY(QFileInfo(d.copie).fileName().startsWith(QStringLiteral("F1ABC_Challenge_KVRT_2009_ligne_coupee_")));
    QVERIFY(d.copie.endsWith(QStringLiteral(".txt")));
    QCOMPARE(Lire(d.copie), laisse);
    QCOMPARE(Lire(log), B);
    QCOMPARE(j.Entrees().size(), 1);
    QCOMPARE(j.Annuler(Heure(3)).etat, Journal_Log::Resultat::Fait);
    QCOMPARE(Lire(log), A);
}

// ---------------------------------------------------------------------------------------

void Tst_Journal::Restes_De_Crash_data()
{
    QTest::addColumn<QString>("nom");
    QTest::addColumn<int>("ageSecondes");  // how much older than the log; negative: newer
    QTest::addColumn<bool>("ouvert");
    QTest::addColumn<bool>("retire");
    QTest::newRow("reste ancien") << "F1ABC_Challenge_KVRT_2009.txt.kvrt-tmp-Ab12Cd" << 60 << false << true;
    QTest::newRow("reste du journal") << "F1ABC_Challenge_KVRT_2009.txt.journal.kvrt-tmp-x1Y2z3" << 60 << false << true;
    QTest::newRow("plus recent que le log") << "F1ABC_Challenge_KVRT_2009.txt.kvrt-tmp-Ab12Cd" << -60 << false << false;
    QTest::newRow("ouvert par un autre") << "F1ABC_Challenge_KVRT_2009.txt.kvrt-tmp-Ab12Cd" << 60 << true << false;
    // Copies the operator keeps beside the log, whatever their ending.
    QTest::newRow("copie .backup") << "F1ABC_Challenge_KVRT_2009.txt.backup" << 60 << false << false;
    QTest::newRow("copie .ancien") << "F1ABC_Challenge_KVRT_2009.txt.ancien" << 60 << false << false;
    QTest::newRow("copie .copie1") << "F1ABC_Challenge_KVRT_2009.txt.copie1" << 60 << false << false;
    QTest::newRow("copie .bak") << "F1ABC_Challenge_KVRT_2009.txt.bak" << 60 << false << false;
    QTest::newRow("copie .old") << "F1ABC_Challenge_KVRT_2009.txt.old" << 60 << false << false;
    QTest::newRow("six lettres") << "F1ABC_Challenge_KVRT_2009.txt.Ab12Cd" << 60 << false << false;
    QTest::newRow("copie du journal") << "F1ABC_Challenge_KVRT_2009.txt.journal.copie1" << 60 << false << false;
    QTest::newRow("journal mis de cote") << "F1ABC_Challenge_KVRT_2009.txt.journal.20090328-140000" << 60 << false << false;
    QTest::newRow("export") << "F1ABC_Challenge_KVRT_2009_28_03_09.txt" << 60 << false << false;
    QTest::newRow("sept caracteres") << "F1ABC_Challenge_KVRT_2009.txt.kvrt-tmp-Ab12Cde" << 60 << false << false;
    QTest::newRow("autre log") << "F2XYZ_Challenge_KVRT_2009.txt.kvrt-tmp-Ab12Cd" << 60 << false << false;
}

void Tst_Journal::Restes_De_Crash()
{
    QFETCH(QString, nom);
    QFETCH(int, ageSecondes);
    QFETCH(bool, ouvert);
    QFETCH(bool, retire);
    QTemporaryDir dossier;
    const QString log = dossier.filePath(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"));
    Ecrire(log, Log_Bizarre());
    Ecrire(Chemin_Journal(log), QByteArray());
    Ecrire(dossier.filePath(QStringLiteral("F2XYZ_Challenge_KVRT_2009.txt")), QByteArray());
    const QString reste = dossier.filePath(nom);
    Ecrire(reste, "moitie d'un log");
    const QDateTime t = QDateTime::currentDateTimeUtc().addSecs(-3600);
    for (const QString& f : {log, Chemin_Journal(log), dossier.filePath(QStringLiteral("F2XYZ_Challenge_KVRT_2009.txt"))}) {
        QFile x(f);
        QVERIFY(x.open(QIODevice::ReadWrite));
        QVERIFY(x.setFileTime(t, QFileDevice::FileModificationTime));
    }
    {
        QFile x(reste);
        QVERIFY(x.open(QIODevice::ReadWrite));
        QVERIFY(x.setFileTime(t.addSecs(-ageSecondes), QFileDevice::FileModificationTime));
    }
    QFile garde(reste);
    if (ouvert)
        QVERIFY(garde.open(QIODevice::ReadOnly));
    QStringList retires = FichierLog::Nettoyer_Restes(log);
    retires += FichierLog::Nettoyer_Restes(Chemin_Journal(log));
    QCOMPARE(!QFileInfo::exists(reste), retire);
    QCOMPARE(retires, retire ? QStringList{nom} : QStringList{});
    QCOMPARE(Lire(log), Log_Bizarre());
    QVERIFY(QFileInfo::exists(Chemin_Journal(log)));
}

// ---------------------------------------------------------------------------------------

void Tst_Journal::Entree_Absurde_data()
{
    // A line whose checks hold but whose numbers no log can have: damage, never a position
    // to read at.
    QTest::addColumn<qint64>("numero");
    QTest::addColumn<qint64>("cible");
    QTest::addColumn<QList<qint64>>("positions");
    const qint64 presqueMax = std::numeric_limits<qint64>::max() - 3;
    QTest::newRow("position pres de 2^63") << qint64(2) << qint64(0) << QList<qint64>{presqueMax};
    QTest::newRow("position 2^62") << qint64(2) << qint64(0) << QList<qint64>{qint64(1) << 62};
    QTest::newRow("numero pres de 2^63") << presqueMax << qint64(0) << QList<qint64>{7};
    QTest::newRow("cible pres de 2^63") << qint64(2) << presqueMax << QList<qint64>{7};
    QTest::newRow("numero nul") << qint64(0) << qint64(0) << QList<qint64>{7};
    QTest::newRow("blocs qui se chevauchent") << qint64(2) << qint64(0) << QList<qint64>{7, 8};
    QTest::newRow("blocs a rebours") << qint64(2) << qint64(0) << QList<qint64>{100, 7};
}

void Tst_Journal::Entree_Absurde()
{
    QFETCH(qint64, numero);
    QFETCH(qint64, cible);
    QFETCH(QList<qint64>, positions);
    Entree e;
    e.numero = numero;
    e.cible = cible;
    e.utc = Heure(1);
    for (qint64 p : positions)
        e.blocs.append(Bloc{p, QByteArray("L1\r\n"), QByteArray("L2\r\n")});
    Entree lue;
    QVERIFY(!Decoder_Entree(Encoder_Entree(e), lue));
    // The blocks themselves, handed over whatever their source, are refused without reading
    // out of the log's bytes (the sanitizer run watches that).
    QByteArray resultat;
    QVERIFY(!Appliquer(QByteArrayView("L1\r\nL1\r\n"), {Bloc{std::numeric_limits<qint64>::max() - 2, "L1\r\n", {}}},
                       resultat));
}

void Tst_Journal::Ajout_Apres_Edition_De_Meme_Taille()
{
    // A record typed, then one letter of the log changed in a text editor (same size), then
    // another record: the journal must not chain the second onto the first, and its undo
    // takes back that record alone, keeping the editor's change.
    QTemporaryDir dossier;
    const QString log = dossier.filePath(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"));
    Ecrire(log, "L1\r\n");
    {
        Journal_Log j(log);
        QVERIFY(j.Ajouter("L2", QStringLiteral("un"), Heure(1)).ok());
    }
    Ecrire(log, "L1\r\nM2\r\n");
    Journal_Log j(log);
    QVERIFY(j.Ajouter("L3", QStringLiteral("deux"), Heure(2)).ok());
    QVERIFY(!j.Dernier_Mis_De_Cote().isEmpty());
    const auto r = j.Annuler(Heure(3));
    QCOMPARE(r.etat, Journal_Log::Resultat::Fait);
    QCOMPARE(r.operation, QStringLiteral("deux"));
    QCOMPARE(Lire(log), QByteArray("L1\r\nM2\r\n"));
}

// A journal that cannot be set aside (its new name taken, here by a folder, which even root
// cannot rename a file over): what needed it aside says why and writes nothing.
void Tst_Journal::Journal_Qui_Reste_En_Place_data()
{
    QTest::addColumn<QString>("operation");
    for (const char* o : {"Ajouter", "Reecrire", "Annuler", "Demarrage"})
        QTest::newRow(o) << QString::fromLatin1(o);
}

void Tst_Journal::Journal_Qui_Reste_En_Place()
{
    QFETCH(QString, operation);
    QTemporaryDir dossier;
    const QString log = dossier.filePath(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"));
    Ecrire(log, "L1\r\n");
    QVERIFY(Journal_Log(log).Ajouter("L2", QStringLiteral("ajout"), Heure(1)).ok());
    Ecrire(log, Lire(log) + "dehors\r\n");
    const QByteArray octetsLog = Lire(log), octetsJournal = Lire(Chemin_Journal(log));
    const QDateTime maintenant = QDateTime::currentDateTime();
    for (int s = 0; s < 120; ++s)
        QVERIFY(QDir().mkdir(Chemin_Journal(log) + maintenant.addSecs(s).toString(QStringLiteral(".yyyyMMdd-HHmmss"))));

    Journal_Log j(log);
    ErreurFichier e;
    if (operation == QLatin1String("Ajouter"))
        e = j.Ajouter("L3", QStringLiteral("ajout"), Heure(2));
    else if (operation == QLatin1String("Reecrire"))
        e = j.Reecrire(octetsLog, "L1\r\n", Genre::Modification, 0, QStringLiteral("suppression"), Heure(2));
    else if (operation == QLatin1String("Annuler"))
        e = j.Annuler(Heure(2)).erreur;
    else
        e = j.Verifier_Au_Demarrage(octetsLog).erreur;
    // A folder where the name should go: Windows says access denied, POSIX a folder there.
#ifdef Q_OS_WIN
    const int numero = 70;
#else
    const int numero = 57;
#endif
    QCOMPARE(e.message, QStringLiteral("Erreur N° %1 : impossible de mettre de côté le fichier\r\n%2\r\n(%3).")
                            .arg(numero)
                            .arg(QDir::toNativeSeparators(Chemin_Journal(log)), FichierLog::Cause(numero)));
    QCOMPARE(Lire(log), octetsLog);
    QCOMPARE(Lire(Chemin_Journal(log)), octetsJournal);
}

void Tst_Journal::Journaux_Mis_De_Cote_Bornes()
{
    QTemporaryDir dossier;
    const QString log = dossier.filePath(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"));
    const QString copie = Chemin_Journal(log) + QStringLiteral(".copie");
    Ecrire(log, "L1\r\n");
    Ecrire(copie, "gardee");
    Journal_Log j(log);
    QStringList misDeCote;
    for (int i = 0; i < Journal_Log::Gardes_De_Cote + 3; ++i) {
        QVERIFY(j.Ajouter("L" + QByteArray::number(i), QStringLiteral("ajout"), Heure(i)).ok());
        Ecrire(log, Lire(log) + "dehors\r\n");
        QString nom;
        QCOMPARE(j.Verifier(Lire(log), &nom), Journal_Log::Accord::Mis_De_Cote);
        misDeCote.append(QFileInfo(nom).fileName());
    }
    QStringList restants = QDir(dossier.path()).entryList({QFileInfo(Chemin_Journal(log)).fileName() + QStringLiteral(".*")});
    restants.removeOne(QFileInfo(copie).fileName());
    restants.sort();
    QStringList attendus = misDeCote.mid(misDeCote.size() - Journal_Log::Gardes_De_Cote);
    attendus.sort();
    QCOMPARE(restants, attendus);
    QCOMPARE(Lire(copie), QByteArray("gardee"));
}

void Tst_Journal::Saison_Bornee()
{
    // A whole season through the journal's own routines: 20,000 changes on a log that grows
    // to about 10,000 QSOs, most of them records, some edits, deletes, undos and redos. The
    // journal keeps every change of the year and stays under its stated size; then an undo
    // takes back exactly the last change, also after another object wrote to the journal.
    QTemporaryDir dossier;
    const QString log = dossier.filePath(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"));
    Ecrire(log, QByteArray());
    Journal_Log j(log);
    QRandomGenerator hasard(2009);
    constexpr int longueur = 55; // each line of this log: 53 bytes and CR LF
    auto ligne = [&](int i) {
        const QByteArray reference = QByteArray::number(10000 + hasard.bounded(80000));
        QByteArray l = QDate(2009, 1, 1).addDays(i / 60).toString(QStringLiteral("dd/MM/yy")).toLatin1() + "  "
            + reference + "  Chateau active          F" + QByteArray::number(hasard.bounded(10)) + "ABC";
        return l + QByteArray(53 - l.size(), ' ');
    };
    QByteArray contenu;
    int changements = 0;
    for (int i = 0; changements < Journal_Log::Changements_Saison; ++i) {
        const QDateTime t = QDateTime(QDate(2009, 1, 1), QTime(8, 0), Qt::UTC).addSecs(qint64(i) * 1440);
        const int lignes = int(contenu.size() / longueur);
        const int choix = lignes < 20 ? 0 : hasard.bounded(100);
        if (choix < 64) {
            const QByteArray l = ligne(i);
            QVERIFY(j.Ajouter(l, QStringLiteral("enregistrement du KVRT ") + QString::fromLatin1(l.mid(10, 5)), t).ok());
            contenu += l + "\r\n";
        } else if (choix < 90) {
            QByteArray nouveau = contenu;
            const qsizetype k = qsizetype(hasard.bounded(lignes)) * longueur;
            if (choix < 78)
                nouveau.replace(k, longueur, ligne(i) + "\r\n");
            else
                nouveau.remove(k, longueur);
            QVERIFY(j.Reecrire(contenu, nouveau, Genre::Modification, 0,
                               QString::fromLatin1(choix < 78 ? "modification du KVRT " : "suppression du KVRT ")
                                   + QString::fromLatin1(contenu.mid(k + 10, 5)),
                               t)
                        .ok());
            contenu = nouveau;
        } else {
            const auto r = choix < 97 ? j.Annuler(t) : j.Retablir(t);
            QVERIFY(r.etat == Journal_Log::Resultat::Fait || r.etat == Journal_Log::Resultat::Rien_A_Faire);
            if (r.etat == Journal_Log::Resultat::Fait)
                contenu = Lire(log);
            else
                continue;
        }
        ++changements;
    }
    QCOMPARE(Lire(log), contenu);
    QVERIFY(contenu.size() / longueur > 8000 && contenu.size() / longueur < 12000);
    const qint64 taille = QFileInfo(Chemin_Journal(log)).size();
    qInfo("%d changements, %lld lignes dans le log, journal de %lld octets", changements,
          qlonglong(contenu.size() / longueur), qlonglong(taille));
    QCOMPARE(int(j.Entrees().size()), changements);
    QVERIFY2(taille < Journal_Log::Taille_Saison_Maximale, qPrintable(QString::number(taille)));

    // The last change of the season, then its undo: the log as it was before, byte for byte.
    const QDateTime fin(QDate(2009, 12, 20), QTime(12, 0), Qt::UTC);
    const QByteArray avant = contenu;
    QVERIFY(j.Reecrire(contenu, contenu.sliced(longueur), Genre::Modification, 0, QStringLiteral("suppression"),
                       fin)
                .ok());
    QCOMPARE(j.Annuler(fin.addSecs(60)).operation, QStringLiteral("suppression"));
    QCOMPARE(Lire(log), avant);
    // Another program's object appends to the journal and to the log: the undo of the first
    // object sees that entry, not only what it read before.
    QVERIFY(Journal_Log(log).Ajouter(ligne(0), QStringLiteral("ailleurs"), fin.addSecs(120)).ok());
    const auto r = j.Annuler(fin.addSecs(180));
    QCOMPARE(r.etat, Journal_Log::Resultat::Fait);
    QCOMPARE(r.operation, QStringLiteral("ailleurs"));
    QCOMPARE(Lire(log), avant);
    QCOMPARE(int(Journal_Log(log).Verifier(avant)), int(Journal_Log::Accord::Accord));
}

void Tst_Journal::Journal_Ancien_Continue_data()
{
    QTest::addColumn<int>("etatDuLog");   // the log is the state after this many entries
    QTest::addColumn<int>("accord");
    QTest::newRow("log apres la derniere entree") << 2 << int(Journal_Log::Accord::Accord);
    QTest::newRow("derniere entree jamais arrivee au log") << 1 << int(Journal_Log::Accord::Reprise);
}

void Tst_Journal::Journal_Ancien_Continue()
{
    // A journal whose lines carry whole checksums, as the program wrote them before it kept
    // their summaries: it reads, a torn change is taken out to its exact line, a new entry
    // goes after the old lines in the short form, and undos cross both back to the start.
    QFETCH(int, etatDuLog);
    QFETCH(int, accord);
    QTemporaryDir dossier;
    const QString log = dossier.filePath(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"));
    const QList<QByteArray> etats = {Log_Bizarre(), Log_Bizarre() + "\r\n31/03/09  29001  Chateau active          F9ZZZ       \r\n",
                                     QByteArray(Log_Bizarre()).replace("F6ABC", "F6ABD")};
    QList<QByteArray> lignes;
    for (int i = 1; i <= 2; ++i) {
        Entree e;
        e.numero = i;
        e.utc = Heure(i);
        e.operation = QStringLiteral("modification");
        e.avant = Empreinte_De(etats.at(i - 1));
        e.apres = Empreinte_De(etats.at(i));
        e.blocs = Differences(etats.at(i - 1), etats.at(i));
        lignes.append(Encoder_Entree(e));
    }
    Ecrire(Chemin_Journal(log), lignes.at(0) + lignes.at(1));
    Ecrire(log, etats.at(etatDuLog));
    Journal_Log j(log);
    QCOMPARE(int(j.Verifier(etats.at(etatDuLog))), accord);
    const QByteArray gardees = etatDuLog == 2 ? lignes.at(0) + lignes.at(1) : lignes.at(0);
    QCOMPARE(Lire(Chemin_Journal(log)), gardees);
    QVERIFY(j.Ajouter("01/04/09  35007  Chateau active          F5AAA       ", QStringLiteral("enregistrement du KVRT 35007"),
                      Heure(5))
                .ok());
    const QByteArray journal = Lire(Chemin_Journal(log));
    QVERIFY(journal.startsWith(gardees));
    QVERIFY2(journal.size() - gardees.size() < 250, qPrintable(QString::number(journal.size() - gardees.size())));
    QCOMPARE(int(Journal_Log(log).Verifier(Lire(log))), int(Journal_Log::Accord::Accord));
    for (int i = etatDuLog; i >= 0; --i) {
        QCOMPARE(j.Annuler(Heure(10 + i)).etat, Journal_Log::Resultat::Fait);
        QCOMPARE(Lire(log), etats.at(i));
    }
    QCOMPARE(j.Annuler(Heure(20)).etat, Journal_Log::Resultat::Rien_A_Faire);
}

void Tst_Journal::Empreinte_Resumee_data()
{
    QTest::addColumn<QByteArray>("texte");
    QTest::addColumn<bool>("lu");
    QTest::newRow("resume") << QByteArray("9e3779b185ebca87.55") << true;
    QTest::newRow("zero en tete") << QByteArray("09e3779b185ebca87.55") << false;
    QTest::newRow("longueur negative") << QByteArray("9e3779b185ebca87.-1") << false;
    QTest::newRow("longueur avec un zero") << QByteArray("9e3779b185ebca87.055") << false;
    QTest::newRow("majuscules") << QByteArray("9E3779B185EBCA87.55") << false;
    QTest::newRow("trois parties") << QByteArray("9e3779b185ebca87.55.") << false;
}

void Tst_Journal::Empreinte_Resumee()
{
    // A summary is written one way only, so that an entry read is written again to the same
    // bytes (the length of the last line is found that way); it equals the whole checksum of
    // the same bytes and no other, and carried on it matches no file.
    QFETCH(QByteArray, texte);
    QFETCH(bool, lu);
    Empreinte e;
    QCOMPARE(Empreinte::Depuis_Texte(texte, e), lu);
    if (lu)
        QCOMPARE(e.Texte(), texte);
    const QByteArray log = Log_Bizarre();
    const Empreinte resume = Empreinte_De(log).Resume();
    QVERIFY(resume.Texte().size() < 30);
    QVERIFY(Empreinte::Depuis_Texte(resume.Texte(), e) && e.Est_Resume());
    QVERIFY(e == Empreinte_De(log) && Empreinte_De(log) == e);
    QVERIFY(e != Empreinte_De(log.chopped(1)) && e != Empreinte_De(QByteArray(log).replace('F', 'G')));
    e.Ajouter("x");
    QVERIFY(e != Empreinte_De(log + "x"));
}

QTEST_GUILESS_MAIN(Tst_Journal)
#include "tst_journal.moc"
