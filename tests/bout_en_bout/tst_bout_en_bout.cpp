// The journeys of a person at the keyboard, run on the built program itself: its own X server
// (Xvfb, no window manager), a fresh home and a fresh program folder, keys and clicks sent as
// real X events by xdotool, and after each step the bytes of the log, of the settings file and
// of the export compared with what the operator expects. Nothing of the program is linked in:
// what is checked is what a person at the keyboard would get.

#include "Noeud_Test.h"

#include <QColor>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QUrl>
#include <QtEndian>
#include <QtTest>

#include <csignal>
#include <sys/prctl.h>

namespace {

// Bound of every wait. Each wait ends as soon as what it waits for is there; the bound only
// turns a step that never comes into a failure, with room for an instrumented build.
constexpr int Delai_Ms = 30000;

// The selected line of the program's list, in the Fusion style it sets for itself.
const QRgb Couleur_Selection = qRgb(48, 140, 198);

QByteArray En_1252(const QString& texte)
{
    QStringEncoder encodeur("windows-1252");
    return encodeur.encode(texte);
}

// Bytes shown so that a difference of blanks or line ends can be read in a failure message.
QString Lisible(const QByteArray& octets)
{
    QStringDecoder decodeur("windows-1252");
    QString texte = decodeur.decode(octets);
    texte.replace(QLatin1String("\r"), QLatin1String("\\r")).replace(QLatin1String("\n"), QLatin1String("\\n\n"));
    texte.replace(QLatin1Char(' '), QChar(0x00B7));
    return texte;
}

// The X server and the program end with the test program, even when a timeout kills it.
void Lier_Au_Test(QProcess& processus)
{
    processus.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

QByteArray Lire(const QString& chemin)
{
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<absent>");
    return f.readAll();
}

bool Ecrire(const QString& chemin, const QByteArray& octets)
{
    QFile f(chemin);
    return f.open(QIODevice::WriteOnly) && f.write(octets) == octets.size();
}

// A line of a log or of an export: Windows-1252 and CR LF.
QByteArray Ligne(const QString& texte)
{
    return En_1252(texte + QStringLiteral("\r\n"));
}

// Today's UTC date names the QSOs of the automatic date mode and the exports: a run that would
// straddle midnight UTC waits for the new day first.
QDate Jour_Utc()
{
    while (QDateTime::currentDateTimeUtc().time() > QTime(23, 56))
        QTest::qWait(1000);
    return QDateTime::currentDateTimeUtc().date();
}

const QString Titre_Principale = QStringLiteral("QEZ_Challenge +Revision");

} // namespace

class Bout_En_Bout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void Premiere_Installation_Puis_Saisie_Au_Clavier();
    void Station_Refermee_Sans_Valider();
    void Deuxieme_Programme_Sur_Le_Meme_Log();
    void Annulation_Copie_Du_Log_Et_Echap();
    void Chateau_Spotte_Double_Clic_Et_Entree();
    void Verification_Et_Dossier_D_Envoi();

private:
    // The X server and the program; `second` starts another copy beside the first.
    bool Demarrer_Serveur_X();
    bool Demarrer_Programme(bool second = false);
    void Station_De_L_Annee(QString& annee, QString& date, QByteArray& debut, QString& log, const QString& communs = QString());
    void Arreter_Tout();
    QString Fichier_Reglages() const { return m_home + QStringLiteral("/.config/Challenge_KVRT/Challenge_KVRT.ini"); }
    // The program started up to its main window, with no message box open.
    bool Demarrer_Jusqu_A_La_Principale(QString& principale);
    // Keys that end the program: it ends by itself, without error.
    bool Quitter(const QStringList& touches);

    // xdotool, with the test's display.
    bool Xdotool(const QStringList& arguments, QByteArray* sortie = nullptr, bool echecPermis = false);
    QStringList Fenetres(const QString& nom);
    bool Attendre_Fenetre(const QString& nom, QString& id);
    bool Attendre_Disparition(const QString& id);
    bool Focaliser(const QString& id);
    bool Taper(const QString& texte);
    bool Touches(const QStringList& touches);
    bool Repondre_Boite(const QString& touche);
    bool Aucune_Boite();
    bool Geometrie(const QString& id, QRect& rect);
    // A window waited for, then closed by Escape.
    bool Fermer_Par_Echap(const QString& nom);
    // A QSO from its callsign up to Valider, by Enter: `type` holds the keys that choose its type.
    bool Saisir_Qso(const QString& indicatif, const QString& reference, const QStringList& type = {});

    // What the program shows and writes.
    QImage Ecran();
    bool Ligne_De_Liste(const QString& fenetre, int ligne, int nombreLignes, QPoint& centre);
    bool Bande_De_Couleur(const QString& fenetre, QRgb couleur, QRect& bande);
    bool Cliquer(const QPoint& point, int fois);
    bool Attendre_Octets(const QString& chemin, const QByteArray& attendu, const QString& quoi);

    template <typename Condition>
    bool Attendre(Condition condition, const QString& quoi)
    {
        QElapsedTimer chrono;
        chrono.start();
        while (!condition()) {
            if (chrono.elapsed() > Delai_Ms) {
                m_erreur = QStringLiteral("Étape « %1 » : attendu en vain pendant %2 s : %3")
                               .arg(m_etape).arg(Delai_Ms / 1000).arg(quoi);
                return false;
            }
            if (m_programme && m_programme->state() == QProcess::NotRunning) {
                m_erreur = QStringLiteral("Étape « %1 » : le programme s'est arrêté (code %2) en attendant : %3")
                               .arg(m_etape).arg(m_programme->exitCode()).arg(quoi);
                return false;
            }
            QTest::qWait(50);
        }
        return true;
    }

    void Etape(const QString& nom) { m_etape = nom; }

    QString m_xvfb, m_xdotool;
    std::unique_ptr<QTemporaryDir> m_racine;
    QString m_home, m_dossier, m_ecranDir;
    std::unique_ptr<QProcess> m_serveur, m_programme, m_second;
    QByteArray m_sortieProgramme;
    QString m_affichage;
    QString m_etape;
    QString m_erreur;
};

// Fails the test function with the message of the helper that failed; the whole message,
// bytes compared included, goes to the log first, since QtTest cuts a long failure text.
#define ETAPE_OK(expression)                                                                       \
    do {                                                                                           \
        if (!(expression)) {                                                                       \
            qWarning().noquote() << m_erreur;                                                      \
            QFAIL(qPrintable(m_erreur.section(QLatin1Char('\n'), 0, 0)));                          \
        }                                                                                          \
    } while (false)

void Bout_En_Bout::initTestCase()
{
    // A missing tool is an installation fault (scripts/dependances.sh installs both).
    m_xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    m_xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    QVERIFY2(!m_xvfb.isEmpty(), "Xvfb est introuvable : lancez scripts/dependances.sh");
    QVERIFY2(!m_xdotool.isEmpty(), "xdotool est introuvable : lancez scripts/dependances.sh");
    QVERIFY2(QFileInfo(QStringLiteral(KVRT_PROGRAMME)).isExecutable(), "le programme construit est introuvable : " KVRT_PROGRAMME);
}

void Bout_En_Bout::init()
{
    m_erreur.clear();
    m_etape = QStringLiteral("préparation");
    m_racine = std::make_unique<QTemporaryDir>();
    QVERIFY(m_racine->isValid());
    m_home = m_racine->filePath(QStringLiteral("home"));
    m_dossier = m_racine->filePath(QStringLiteral("programme"));
    m_ecranDir = m_racine->filePath(QStringLiteral("ecran"));
    for (const QString& d : {m_home, m_dossier, m_ecranDir, m_racine->filePath(QStringLiteral("run"))})
        QVERIFY(QDir().mkpath(d));
    QFile::setPermissions(m_racine->filePath(QStringLiteral("run")), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // The program names its folder by its real path; the settings hold it so.
    m_dossier = QFileInfo(m_dossier).canonicalFilePath();

    // A fresh program folder: the executable and what the build puts beside it.
    const QFileInfo programme(QStringLiteral(KVRT_PROGRAMME));
    const QDir construit = programme.dir();
    QVERIFY(QFile::copy(programme.filePath(), m_dossier + QStringLiteral("/QEZ_Challenge_KVRT")));
    QFile::setPermissions(m_dossier + QStringLiteral("/QEZ_Challenge_KVRT"),
                          QFile::permissions(programme.filePath()));
    QStringList fichiers = {QStringLiteral("FXXXX_Challenge_KVRT.txt"), QStringLiteral("QEZ_Challenge.hlp")};
#ifdef KVRT_MOTEUR_WEB
    fichiers.append(QStringLiteral("libkvrt_web.so"));
#endif
    for (const QString& nom : fichiers) {
        QVERIFY2(QFile::copy(construit.filePath(nom), m_dossier + QLatin1Char('/') + nom), qPrintable(nom));
    }
    const QDir manuel(construit.filePath(QStringLiteral("manuel")));
    if (manuel.exists()) {
        QVERIFY(QDir().mkpath(m_dossier + QStringLiteral("/manuel")));
        for (const QString& f : manuel.entryList(QDir::Files))
            QVERIFY(QFile::copy(manuel.filePath(f), m_dossier + QStringLiteral("/manuel/") + f));
    }

    ETAPE_OK(Demarrer_Serveur_X());
}

void Bout_En_Bout::cleanup()
{
    if (QTest::currentTestFailed()) {
        // What the screen showed, beside the test program, and what the program said.
        const QImage image = Ecran();
        const QString nom = QCoreApplication::applicationDirPath() + QStringLiteral("/echec_")
            + QString::fromLatin1(QTest::currentTestFunction()) + QStringLiteral(".png");
        if (!image.isNull() && image.save(nom))
            qWarning().noquote() << "Capture de l'écran :" << nom;
        qWarning().noquote() << "Fenêtres visibles :";
        for (const QString& id : Fenetres(QStringLiteral("."))) {
            QByteArray titre;
            Xdotool({QStringLiteral("getwindowname"), id}, &titre, true);
            qWarning().noquote() << "  " << id << QString::fromUtf8(titre.trimmed());
        }
        if (m_programme)
            m_sortieProgramme += m_programme->readAll();
        qWarning().noquote() << "Sortie du programme :\n" << QString::fromUtf8(m_sortieProgramme);
        qWarning().noquote() << "Settings :\n"
                             << Lisible(Lire(Fichier_Reglages()));
    }
    Arreter_Tout();
}

// ---------------------------------------------------------------------------------------
// The X server and the program

bool Bout_En_Bout::Demarrer_Serveur_X()
{
    // -displayfd takes the first free display number and writes it on our pipe; -fbdir keeps
    // the screen in a file, read for the failure screenshot and to find the list's lines.
    m_serveur = std::make_unique<QProcess>();
    Lier_Au_Test(*m_serveur);
    m_serveur->setProgram(m_xvfb);
    m_serveur->setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                             QStringLiteral("1280x1024x24"), QStringLiteral("-fbdir"), m_ecranDir,
                             QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-noreset")});
    m_serveur->setProcessChannelMode(QProcess::SeparateChannels);
    m_serveur->start();
    if (!m_serveur->waitForStarted(Delai_Ms)) {
        m_erreur = QStringLiteral("Xvfb ne démarre pas : ") + m_serveur->errorString();
        return false;
    }
    QByteArray numero;
    QElapsedTimer chrono;
    chrono.start();
    while (!numero.contains('\n')) {
        if (chrono.elapsed() > Delai_Ms || m_serveur->state() == QProcess::NotRunning) {
            m_erreur = QStringLiteral("Xvfb n'a pas donné de numéro d'affichage : ") + QString::fromLocal8Bit(m_serveur->readAllStandardError());
            return false;
        }
        m_serveur->waitForReadyRead(200);
        numero += m_serveur->readAllStandardOutput();
    }
    m_affichage = QLatin1Char(':') + QString::fromLatin1(numero.trimmed());
    return true;
}

bool Bout_En_Bout::Demarrer_Programme(bool second)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_affichage);
    env.insert(QStringLiteral("HOME"), m_home);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_racine->filePath(QStringLiteral("run")));
    // Settings go to $HOME/.config, as for a person's first start.
    for (const char* v : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XAUTHORITY", "WAYLAND_DISPLAY", "QT_SCALE_FACTOR"})
        env.remove(QString::fromLatin1(v));
    std::unique_ptr<QProcess>& programme = second ? m_second : m_programme;
    programme = std::make_unique<QProcess>();
    QProcess* p = programme.get();
    Lier_Au_Test(*p);
    // The desktop's own programs (xdg-open) may be stood in for by a journey, in this folder.
    env.insert(QStringLiteral("PATH"), m_racine->filePath(QStringLiteral("bin")) + QLatin1Char(':') + env.value(QStringLiteral("PATH")));
    p->setProcessEnvironment(env);
    p->setWorkingDirectory(m_home);
    p->setProcessChannelMode(QProcess::MergedChannels);
    p->setProgram(m_dossier + QStringLiteral("/QEZ_Challenge_KVRT"));
    connect(p, &QProcess::readyRead, this, [this, p] { m_sortieProgramme += p->readAll(); });
    p->start();
    if (!p->waitForStarted(Delai_Ms)) {
        m_erreur = QStringLiteral("le programme ne démarre pas : ") + p->errorString();
        return false;
    }
    return true;
}

bool Bout_En_Bout::Demarrer_Jusqu_A_La_Principale(QString& principale)
{
    return Demarrer_Programme() && Attendre_Fenetre(Titre_Principale, principale) && Aucune_Boite();
}

bool Bout_En_Bout::Quitter(const QStringList& touches)
{
    if (!Touches(touches))
        return false;
    const QString par = touches.join(QLatin1Char(' '));
    if (!m_programme->waitForFinished(Delai_Ms))
        m_erreur = QStringLiteral("Étape « %1 » : le programme ne s'arrête pas par %2").arg(m_etape, par);
    else if (m_programme->exitStatus() != QProcess::NormalExit || m_programme->exitCode() != 0)
        m_erreur = QStringLiteral("Étape « %1 » : le programme arrêté par %2 rend le code %3").arg(m_etape, par).arg(m_programme->exitCode());
    else
        return true;
    return false;
}

void Bout_En_Bout::Arreter_Tout()
{
    for (std::unique_ptr<QProcess>* programme : {&m_second, &m_programme}) {
        if (*programme && (*programme)->state() != QProcess::NotRunning) {
            (*programme)->kill();
            (*programme)->waitForFinished(Delai_Ms);
        }
        programme->reset();
    }
    if (m_serveur) {
        if (m_serveur->state() != QProcess::NotRunning) {
            m_serveur->terminate();
            if (!m_serveur->waitForFinished(5000)) {
                m_serveur->kill();
                m_serveur->waitForFinished(Delai_Ms);
            }
        }
        m_serveur.reset();
    }
    m_sortieProgramme.clear();
    m_racine.reset();
}

// ---------------------------------------------------------------------------------------
// xdotool

bool Bout_En_Bout::Xdotool(const QStringList& arguments, QByteArray* sortie, bool echecPermis)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_affichage);
    p.setProcessEnvironment(env);
    p.start(m_xdotool, arguments);
    if (!p.waitForFinished(Delai_Ms)) {
        p.kill();
        p.waitForFinished();
        m_erreur = QStringLiteral("Étape « %1 » : xdotool %2 ne finit pas").arg(m_etape, arguments.join(QLatin1Char(' ')));
        return false;
    }
    if (sortie)
        *sortie = p.readAllStandardOutput();
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        if (!echecPermis)
            m_erreur = QStringLiteral("Étape « %1 » : xdotool %2 a échoué : %3")
                           .arg(m_etape, arguments.join(QLatin1Char(' ')), QString::fromLocal8Bit(p.readAllStandardError()));
        return false;
    }
    return true;
}

QStringList Bout_En_Bout::Fenetres(const QString& nom)
{
    QByteArray sortie;
    // xdotool answers 1 when no window matches.
    Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), nom}, &sortie, true);
    QStringList ids;
    for (const QByteArray& ligne : sortie.split('\n'))
        if (!ligne.trimmed().isEmpty())
            ids << QString::fromLatin1(ligne.trimmed());
    return ids;
}

bool Bout_En_Bout::Attendre_Fenetre(const QString& nom, QString& id)
{
    QStringList trouvees;
    if (!Attendre([&] { trouvees = Fenetres(nom); return trouvees.size() == 1; },
                  QStringLiteral("une fenêtre « %1 »").arg(nom)))
        return false;
    id = trouvees.first();
    return true;
}

bool Bout_En_Bout::Attendre_Disparition(const QString& id)
{
    return Attendre([&] { return !Fenetres(QStringLiteral(".")).contains(id); },
                    QStringLiteral("la fermeture de la fenêtre %1").arg(id));
}

bool Bout_En_Bout::Focaliser(const QString& id)
{
    // No window manager: the test gives the window the keyboard focus, as a click on its
    // frame would on a desktop.
    return Xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), id});
}

bool Bout_En_Bout::Taper(const QString& texte)
{
    return Xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), texte});
}

bool Bout_En_Bout::Touches(const QStringList& touches)
{
    return Xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60")} + touches);
}

// The program's message boxes carry its name alone as their title; the main window does not.
static const QString Titre_Boite = QStringLiteral("^QEZ_Challenge_KVRT$");

bool Bout_En_Bout::Repondre_Boite(const QString& touche)
{
    QString id;
    return Attendre_Fenetre(Titre_Boite, id) && Focaliser(id) && Touches({touche}) && Attendre_Disparition(id);
}

bool Bout_En_Bout::Fermer_Par_Echap(const QString& nom)
{
    QString id;
    return Attendre_Fenetre(nom, id) && Focaliser(id) && Touches({QStringLiteral("Escape")}) && Attendre_Disparition(id);
}

bool Bout_En_Bout::Saisir_Qso(const QString& indicatif, const QString& reference, const QStringList& type)
{
    return Taper(indicatif) && Touches(QStringList{QStringLiteral("Return")} + type + QStringList{QStringLiteral("Return")})
        && Taper(reference) && Touches({QStringLiteral("Return"), QStringLiteral("Return"), QStringLiteral("Return")});
}

bool Bout_En_Bout::Aucune_Boite()
{
    if (Fenetres(Titre_Boite).isEmpty())
        return true;
    m_erreur = QStringLiteral("Étape « %1 » : une boîte de message inattendue est ouverte").arg(m_etape);
    return false;
}

bool Bout_En_Bout::Geometrie(const QString& id, QRect& rect)
{
    QByteArray sortie;
    if (!Xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), id}, &sortie))
        return false;
    QMap<QByteArray, int> v;
    for (const QByteArray& ligne : sortie.split('\n')) {
        const int egal = ligne.indexOf('=');
        if (egal > 0)
            v[ligne.left(egal)] = ligne.mid(egal + 1).toInt();
    }
    rect = QRect(v.value("X"), v.value("Y"), v.value("WIDTH"), v.value("HEIGHT"));
    return rect.isValid();
}

// ---------------------------------------------------------------------------------------
// The screen, read from the server's frame buffer file

QImage Bout_En_Bout::Ecran()
{
    // The file is an XWD image: a header of big-endian 32-bit fields, a colour map, then
    // the pixels; on this server 32 bits a pixel, least significant byte first (B, G, R, x).
    const QByteArray d = Lire(m_ecranDir + QStringLiteral("/Xvfb_screen0"));
    if (d.size() < 100)
        return QImage();
    auto champ = [&](int i) { return qFromBigEndian<quint32>(d.constData() + 4 * i); };
    const quint32 entete = champ(0), largeur = champ(4), hauteur = champ(5), ordre = champ(7), bits = champ(11),
                  parLigne = champ(12), couleurs = champ(19);
    const qint64 debut = qint64(entete) + qint64(couleurs) * 12;
    if (bits != 32 || ordre != 0 || debut + qint64(parLigne) * hauteur > d.size())
        return QImage();
    return QImage(reinterpret_cast<const uchar*>(d.constData() + debut), int(largeur), int(hauteur), int(parLigne),
                  QImage::Format_RGB32)
        .copy();
}

// The centre of one line of the main window's list, found on screen: the list is the only
// area as wide as the window in its pale yellow or in the colour of the selected line, and
// every rebuild of the list selects its last line. The lines have one height; the wait ends
// once the selection stands on the last of the expected lines, so that a list still being
// redrawn is never measured.
bool Bout_En_Bout::Ligne_De_Liste(const QString& fenetre, int ligne, int nombreLignes, QPoint& centre)
{
    QRect cadre;
    if (!Geometrie(fenetre, cadre))
        return false;
    const QRgb jaune = qRgb(255, 255, 192);
    int dessus = -1, haut = -1, bas = -1, gauche = 0, droite = 0;
    const bool vu = Attendre(
        [&] {
            const QImage image = Ecran();
            dessus = haut = bas = -1;
            for (int y = qMax(0, cadre.top()); y <= qMin(image.height() - 1, cadre.bottom()); ++y) {
                int selection = 0, fond = 0, premier = -1, dernier = -1;
                for (int x = qMax(0, cadre.left()); x <= qMin(image.width() - 1, cadre.right()); ++x) {
                    const QRgb p = image.pixel(x, y) | 0xFF000000;
                    if (p == (Couleur_Selection | 0xFF000000)) {
                        ++selection;
                        if (premier < 0)
                            premier = x;
                        dernier = x;
                    } else if (p == (jaune | 0xFF000000)) {
                        ++fond;
                    }
                }
                // A focus frame is a thin line of that colour; the selected line fills the list's width.
                if (selection > cadre.width() / 2) {
                    if (haut < 0)
                        haut = y;
                    bas = y;
                    gauche = premier;
                    droite = dernier;
                }
                if (dessus < 0 && (selection > cadre.width() / 2 || fond > cadre.width() / 2))
                    dessus = y;
            }
            const int hauteur = bas - haut + 1;
            return haut >= 0 && hauteur >= 6 && haut - dessus == (nombreLignes - 1) * hauteur;
        },
        QStringLiteral("la liste de %1 lignes à l'écran, la dernière sélectionnée").arg(nombreLignes));
    if (!vu)
        return false;
    const int hauteur = bas - haut + 1;
    centre = QPoint((gauche + droite) / 2, dessus + ligne * hauteur + hauteur / 2);
    return true;
}

// The first band of rows painted in one colour across most of a window, from its first to its
// last pixel of that colour: a row of a table, selected.
bool Bout_En_Bout::Bande_De_Couleur(const QString& fenetre, QRgb couleur, QRect& bande)
{
    QRect cadre;
    if (!Geometrie(fenetre, cadre))
        return false;
    return Attendre(
        [&] {
            const QImage image = Ecran();
            int haut = -1, bas = -1, gauche = 0, droite = 0;
            for (int y = qMax(0, cadre.top()); y <= qMin(image.height() - 1, cadre.bottom()); ++y) {
                int n = 0, premier = -1, dernier = -1;
                for (int x = qMax(0, cadre.left()); x <= qMin(image.width() - 1, cadre.right()); ++x) {
                    if ((image.pixel(x, y) | 0xFF000000) == (couleur | 0xFF000000)) {
                        ++n;
                        if (premier < 0)
                            premier = x;
                        dernier = x;
                    }
                }
                if (n > cadre.width() / 2) {
                    if (haut < 0)
                        haut = y;
                    bas = y;
                    gauche = premier;
                    droite = dernier;
                } else if (haut >= 0) {
                    break;
                }
            }
            if (haut < 0 || bas - haut < 6)
                return false;
            bande = QRect(QPoint(gauche, haut), QPoint(droite, bas));
            return true;
        },
        QStringLiteral("une ligne de couleur %1 dans la fenêtre").arg(QColor(couleur).name()));
}

bool Bout_En_Bout::Cliquer(const QPoint& point, int fois)
{
    // The pointer leaves the window afterwards, so that no tooltip covers the list.
    return Xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(point.x()), QString::number(point.y()),
                    QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(fois), QStringLiteral("--delay"),
                    QStringLiteral("80"), QStringLiteral("1")})
        && Xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("1"), QStringLiteral("1")});
}

bool Bout_En_Bout::Attendre_Octets(const QString& chemin, const QByteArray& attendu, const QString& quoi)
{
    QByteArray lu;
    if (Attendre([&] { lu = Lire(chemin); return lu == attendu; }, quoi))
        return true;
    m_erreur += QStringLiteral("\n--- attendu (%1) :\n%2\n--- lu :\n%3").arg(chemin, Lisible(attendu), Lisible(lu));
    return false;
}

// ---------------------------------------------------------------------------------------
// The journeys

void Bout_En_Bout::Premiere_Installation_Puis_Saisie_Au_Clavier()
{
    const QDate jour = Jour_Utc();
    const QString annee = QString::number(jour.year());
    const QString aa = annee.right(2);
    const QString date = jour.toString(QStringLiteral("dd/MM/yy"));
    const QString premierJanvier = QStringLiteral("01/01/") + aa;

    const QString reglages = Fichier_Reglages();
    const QString log = m_dossier + QStringLiteral("/F4ABC_P_Challenge_KVRT_") + annee + QStringLiteral(".txt");
    // The settings file waited for, the station's section ending in `station`.
    auto Reglages_Vus = [&](const QString& station, const QString& quoi = QStringLiteral("le type d'activité retenu")) {
        return Attendre_Octets(reglages,
                               En_1252(QStringLiteral("[Setup%20]\nChemin%20Repertoire=") + m_dossier + QStringLiteral("\nIndicatif%20Station=F4ABC_P\n\n")
                                       + QStringLiteral("[Setup%20F4ABC_P]\nAnnee%20Challenge=") + annee + QLatin1Char('\n') + station),
                               quoi);
    };

    // ---- First start: the message, then the Station window, typed and validated by Enter.
    Etape(QStringLiteral("premier démarrage"));
    ETAPE_OK(Demarrer_Programme());
    ETAPE_OK(Repondre_Boite(QStringLiteral("Return")));
    ETAPE_OK(Attendre_Octets(reglages, En_1252(QStringLiteral("[Setup%20]\nChemin%20Repertoire=") + m_dossier + QLatin1Char('\n')),
                             QStringLiteral("le dossier du programme dans les settings")));
    QString station;
    ETAPE_OK(Attendre_Fenetre(QStringLiteral("^Selection Indicatif et Ann"), station));
    ETAPE_OK(Focaliser(station));
    // The "/" of a portable callsign is typed, and stored as "_".
    ETAPE_OK(Taper(QStringLiteral("f4abc/p")));
    ETAPE_OK(Touches({QStringLiteral("Return")}));
    ETAPE_OK(Taper(annee));
    ETAPE_OK(Touches({QStringLiteral("Return"), QStringLiteral("Return")}));
    ETAPE_OK(Attendre_Disparition(station));
    ETAPE_OK(Attendre_Octets(log, Lire(m_dossier + QStringLiteral("/FXXXX_Challenge_KVRT.txt")),
                             QStringLiteral("le log de la station, copié du modèle")));
    QString main;
    ETAPE_OK(Attendre_Fenetre(Titre_Principale, main));
    ETAPE_OK(Reglages_Vus(QStringLiteral("Revision=\" 1.1.7\"\n"), QStringLiteral("la station dans les settings")));
    ETAPE_OK(Aucune_Boite());

    // ---- Three QSOs by Enter alone, in automatic date mode: the cursor waits in Indicatif.
    Etape(QStringLiteral("premier QSO"));
    ETAPE_OK(Focaliser(main));
    ETAPE_OK(Saisir_Qso(QStringLiteral("f5xyz"), QStringLiteral("29001")));
    const QByteArray qso1 = Ligne(date + QStringLiteral("  29001  Chateau Contacte        F5XYZ       "));
    ETAPE_OK(Attendre_Octets(log, qso1, QStringLiteral("le premier QSO dans le log")));
    ETAPE_OK(Reglages_Vus(QStringLiteral("Revision=\" 1.1.7\"\nType%20Activite=0\n")));
    ETAPE_OK(Aucune_Boite());

    Etape(QStringLiteral("deuxième QSO, type choisi par les flèches"));
    ETAPE_OK(Saisir_Qso(QStringLiteral("on4xyz"), QStringLiteral("2a001"), {QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down")}));
    const QByteArray qso2 = Ligne(date + QStringLiteral("  2A001  Chateau active          ON4XYZ      "));
    ETAPE_OK(Attendre_Octets(log, qso1 + qso2, QStringLiteral("le deuxième QSO dans le log")));
    ETAPE_OK(Reglages_Vus(QStringLiteral("Revision=\" 1.1.7\"\nType%20Activite=3\n")));
    ETAPE_OK(Aucune_Boite());

    Etape(QStringLiteral("troisième QSO, château déjà contacté, en attente de validation"));
    ETAPE_OK(Taper(QStringLiteral("f6abc")));
    ETAPE_OK(Touches({QStringLiteral("Return"), QStringLiteral("Return")}));
    ETAPE_OK(Taper(QStringLiteral("29001")));
    ETAPE_OK(Touches({QStringLiteral("Return")}));
    ETAPE_OK(Repondre_Boite(QStringLiteral("Return")));
    ETAPE_OK(Focaliser(main));
    ETAPE_OK(Touches({QStringLiteral("space"), QStringLiteral("Return"), QStringLiteral("Return")}));
    const QByteArray qso3 = Ligne(date + QStringLiteral(" *29001  Chateau active          F6ABC       "));
    ETAPE_OK(Attendre_Octets(log, qso1 + qso2 + qso3, QStringLiteral("le troisième QSO dans le log")));
    ETAPE_OK(Aucune_Boite());

    // ---- "Inserer  un QSO", reached by Tab from the callsign: the QSO goes at its date.
    Etape(QStringLiteral("insertion d'un QSO"));
    ETAPE_OK(Touches({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Return")}));
    ETAPE_OK(Taper(premierJanvier));
    ETAPE_OK(Touches({QStringLiteral("Return")}));
    ETAPE_OK(Saisir_Qso(QStringLiteral("f1abc"), QStringLiteral("35002"), {QStringLiteral("Up"), QStringLiteral("Up")}));
    const QByteArray insere = Ligne(premierJanvier + QStringLiteral("  35002  Reactivation Contactee  F1ABC       "));
    ETAPE_OK(Attendre_Octets(log, insere + qso1 + qso2 + qso3, QStringLiteral("le QSO inséré en tête du log")));
    ETAPE_OK(Reglages_Vus(QStringLiteral("Revision=\" 1.1.7\"\nType%20Activite=1\n")));
    ETAPE_OK(Aucune_Boite());

    // ---- Manual date mode by the keyboard: Date > Date automatique > Non.
    Etape(QStringLiteral("mode date manuelle"));
    ETAPE_OK(Touches({QStringLiteral("alt+d"), QStringLiteral("a"), QStringLiteral("n")}));
    ETAPE_OK(Reglages_Vus(QStringLiteral("Date_Automatique=Non\nRevision=\" 1.1.7\"\nType%20Activite=1\n"),
                          QStringLiteral("le mode de date manuel dans les settings")));
    ETAPE_OK(Taper(date));
    ETAPE_OK(Touches({QStringLiteral("Return")}));
    ETAPE_OK(Taper(QStringLiteral("f2abc")));
    // The type is typed over the one shown, not chosen: it stands as typed, in capitals.
    ETAPE_OK(Touches({QStringLiteral("Return"), QStringLiteral("ctrl+a")}));
    ETAPE_OK(Taper(QStringLiteral("double")));
    ETAPE_OK(Touches({QStringLiteral("Return")}));
    ETAPE_OK(Taper(QStringLiteral("56003")));
    ETAPE_OK(Touches({QStringLiteral("Return"), QStringLiteral("Return"), QStringLiteral("Return")}));
    const QByteArray manuel = Ligne(date + QStringLiteral("  56003  DOUBLE                  F2ABC       "));
    // Before the first line of its date or later: after the first of January, unless today is that day.
    const bool nouvelAn = date == premierJanvier;
    QByteArray attendu = nouvelAn ? manuel + insere + qso1 + qso2 + qso3 : insere + manuel + qso1 + qso2 + qso3;
    ETAPE_OK(Attendre_Octets(log, attendu, QStringLiteral("le QSO de date manuelle à sa date")));
    ETAPE_OK(Reglages_Vus(QStringLiteral("Date_Automatique=Non\nRevision=\" 1.1.7\"\nType%20Activite=-1\n"),
                          QStringLiteral("un type tapé retenu comme -1")));
    ETAPE_OK(Aucune_Boite());

    // ---- Edit by a double click on the first QSO of 29001: no duplicate warning, replaced in place.
    Etape(QStringLiteral("modification par double clic"));
    QPoint ligne;
    ETAPE_OK(Ligne_De_Liste(main, 2, 5, ligne));
    ETAPE_OK(Cliquer(ligne, 2));
    ETAPE_OK(Touches({QStringLiteral("Return"), QStringLiteral("ctrl+a")}));
    ETAPE_OK(Taper(QStringLiteral("f5zzz")));
    ETAPE_OK(Touches({QStringLiteral("Return"), QStringLiteral("Return"), QStringLiteral("Return"), QStringLiteral("Return"),
                      QStringLiteral("Return")}));
    const QByteArray modifie = Ligne(date + QStringLiteral("  29001  Chateau Contacte        F5ZZZ       "));
    attendu = nouvelAn ? manuel + insere + modifie + qso2 + qso3 : insere + manuel + modifie + qso2 + qso3;
    ETAPE_OK(Attendre_Octets(log, attendu, QStringLiteral("le QSO modifié à sa place")));
    ETAPE_OK(Aucune_Boite());

    // ---- Delete: a click on the line, Tab to "Supprimer un QSO", Enter; "Non" keeps the
    // log, "Oui" removes every QSO of that castle.
    Etape(QStringLiteral("suppression refusée"));
    ETAPE_OK(Ligne_De_Liste(main, 2, 5, ligne));
    ETAPE_OK(Cliquer(ligne, 1));
    ETAPE_OK(Touches({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Return")}));
    ETAPE_OK(Repondre_Boite(QStringLiteral("n")));
    ETAPE_OK(Focaliser(main));
    Etape(QStringLiteral("suppression acceptée"));
    ETAPE_OK(Cliquer(ligne, 1));
    ETAPE_OK(Touches({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Return")}));
    QString question;
    ETAPE_OK(Attendre_Fenetre(Titre_Boite, question));
    QCOMPARE(Lire(log), attendu); // "Non" changed nothing
    ETAPE_OK(Focaliser(question));
    ETAPE_OK(Touches({QStringLiteral("o")}));
    ETAPE_OK(Attendre_Disparition(question));
    attendu = nouvelAn ? manuel + insere + qso2 : insere + manuel + qso2;
    ETAPE_OK(Attendre_Octets(log, attendu, QStringLiteral("les deux QSO de 29001 supprimés")));
    ETAPE_OK(Focaliser(main));
    ETAPE_OK(Aucune_Boite());

    // ---- Export: Enregistrer > les KVRT contactés, by the keyboard.
    Etape(QStringLiteral("export"));
    ETAPE_OK(Touches({QStringLiteral("alt+e"), QStringLiteral("k")}));
    ETAPE_OK(Repondre_Boite(QStringLiteral("Return")));
    const QString nomExport = QStringLiteral("F4ABC_P_Challenge_KVRT_") + annee + jour.toString(QStringLiteral("_dd_MM_yy")) + QStringLiteral(".txt");
    const QByteArray exporte = Lire(m_dossier + QLatin1Char('/') + nomExport);
    auto Numero = [](int n, const QByteArray& ligneLog, const char* points) {
        return En_1252(QStringLiteral("  %1   ").arg(n, 5)) + ligneLog.chopped(2) + QByteArray("  ") + QByteArray(points) + QByteArray("\r\n");
    };
    const QByteArray premiere = nouvelAn ? Numero(1, manuel, " 0") + Numero(2, insere, " 1") : Numero(1, insere, " 1") + Numero(2, manuel, " 0");
    const QByteArray debut = Ligne(QStringLiteral("            F4ABC_P Challenge ") + annee + QStringLiteral("    Chateaux contactés au ")
                               + jour.toString(QStringLiteral("dd/MM/yyyy")))
        + Ligne(QString()) + Ligne(QStringLiteral("     N°      Date   KVRT     Type d'activité       Indicatif   Points")) + Ligne(QString()) + premiere
        + Numero(3, qso2, " 6") + Ligne(QString()) + Ligne(QStringLiteral("                             Total des points : 7")) + Ligne(QString());
    if (!exporte.startsWith(debut)) {
        qWarning().noquote() << QStringLiteral("export %1 :\n--- attendu au début :\n%2\n--- lu :\n%3")
                                    .arg(nomExport, Lisible(debut), Lisible(exporte));
        QFAIL("l'export n'a pas le contenu attendu");
    }
    // Then the credit line, one line of its own.
    const QByteArray credit = exporte.mid(debut.size());
    QVERIFY2(credit.size() > 2 && credit.endsWith("\r\n") && credit.count('\n') == 1 && !credit.startsWith("\r"),
             qPrintable(Lisible(credit)));
    QCOMPARE(Lire(log), attendu);

#ifdef KVRT_MOTEUR_WEB
    // ---- The web pages on demand: neither the web engine nor any OpenGL driver was loaded by
    // the start; the rules window (Alt+T) loads them, and the program lives on.
    Etape(QStringLiteral("pages web à la demande"));
    {
        QFile cartes(QStringLiteral("/proc/%1/maps").arg(m_programme->processId()));
        QVERIFY2(cartes.open(QIODevice::ReadOnly), "la carte mémoire du programme est illisible");
        const QByteArray chargees = cartes.readAll();
        QVERIFY2(!chargees.contains("libQt6WebEngine"), "le moteur web est chargé dès le démarrage");
        QVERIFY2(!chargees.contains("_dri.so") && !chargees.contains("libLLVM"),
                 "un pilote OpenGL est chargé dès le démarrage");
    }
    ETAPE_OK(Focaliser(main));
    ETAPE_OK(Touches({QStringLiteral("alt+t")}));
    QString reglement;
    ETAPE_OK(Attendre_Fenetre(QStringLiteral("^Reglement$"), reglement));
    QTest::qWait(2000);
    QVERIFY2(m_programme->state() == QProcess::Running, "le programme s'est arrêté après l'ouverture du règlement");
#endif

    // ---- Fichier > Quitter, by the keyboard: the program ends by itself, every window with it.
    Etape(QStringLiteral("fin du programme"));
    ETAPE_OK(Focaliser(main));
    ETAPE_OK(Quitter({QStringLiteral("alt+f"), QStringLiteral("q")}));

    // ---- Second start: no first-installation message, the station, its log and its manual
    // date mode read back from the files.
    Etape(QStringLiteral("second démarrage"));
    const QByteArray reglagesAvant = Lire(reglages);
    ETAPE_OK(Demarrer_Jusqu_A_La_Principale(main));
    QCOMPARE(Lire(reglages), reglagesAvant);
    QCOMPARE(Lire(log), attendu);
    // The date is typed first. The type shown is that of the last QSO of the log, shown at
    // start-up ("Chateau active"); three steps up bring the first item.
    Etape(QStringLiteral("QSO en date manuelle après redémarrage"));
    ETAPE_OK(Focaliser(main));
    ETAPE_OK(Taper(date));
    ETAPE_OK(Touches({QStringLiteral("Return")}));
    ETAPE_OK(Saisir_Qso(QStringLiteral("f8abc"), QStringLiteral("29001"), {QStringLiteral("Up"), QStringLiteral("Up"), QStringLiteral("Up")}));
    const QByteArray apres = Ligne(date + QStringLiteral("  29001  Chateau Contacte        F8ABC       "));
    attendu = nouvelAn ? apres + manuel + insere + qso2 : insere + apres + manuel + qso2;
    ETAPE_OK(Attendre_Octets(log, attendu, QStringLiteral("le QSO de date manuelle, avant ceux du même jour")));
    ETAPE_OK(Reglages_Vus(QStringLiteral("Date_Automatique=Non\nRevision=\" 1.1.7\"\nType%20Activite=0\n")));
    ETAPE_OK(Aucune_Boite());

    // ---- Back to the automatic date: Date > Date automatique > Oui; the next QSO goes last.
    Etape(QStringLiteral("retour en date automatique"));
    ETAPE_OK(Touches({QStringLiteral("alt+d"), QStringLiteral("a"), QStringLiteral("o")}));
    ETAPE_OK(Reglages_Vus(QStringLiteral("Date_Automatique=Oui\nRevision=\" 1.1.7\"\nType%20Activite=0\n"),
                          QStringLiteral("le mode de date automatique dans les settings")));
    ETAPE_OK(Saisir_Qso(QStringLiteral("f9abc"), QStringLiteral("2b002")));
    // The type is again that of the last QSO, shown by the rebuild after the recording.
    attendu += Ligne(date + QStringLiteral("  2B002  Chateau active          F9ABC       "));
    ETAPE_OK(Attendre_Octets(log, attendu, QStringLiteral("le QSO du jour en fin de log")));
    ETAPE_OK(Reglages_Vus(QStringLiteral("Date_Automatique=Oui\nRevision=\" 1.1.7\"\nType%20Activite=3\n")));
    ETAPE_OK(Aucune_Boite());
    ETAPE_OK(Quitter({QStringLiteral("alt+f"), QStringLiteral("q")}));
}

// The Station window closed by Escape at the first start: the main window opens on the
// default station, every key in the callsign brings the first-installation message, Backspace
// included, and no log is written.
void Bout_En_Bout::Station_Refermee_Sans_Valider()
{
    const QString reglages = Fichier_Reglages();
    const QStringList avant = QDir(m_dossier).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);

    Etape(QStringLiteral("premier démarrage, Station refermée"));
    ETAPE_OK(Demarrer_Programme());
    ETAPE_OK(Repondre_Boite(QStringLiteral("Return")));
    ETAPE_OK(Fermer_Par_Echap(QStringLiteral("^Selection Indicatif et Ann")));
    QString main;
    ETAPE_OK(Attendre_Fenetre(Titre_Principale, main));
    ETAPE_OK(Attendre_Octets(reglages,
                             En_1252(QStringLiteral("[Setup%20]\nChemin%20Repertoire=") + m_dossier
                                     + QStringLiteral("\n\n[Setup%20FXXXX]\nRevision=\" 1.1.7\"\n")),
                             QStringLiteral("les settings d'un programme pas encore installé")));
    ETAPE_OK(Aucune_Boite());

    Etape(QStringLiteral("touches dans l'indicatif sans station"));
    for (const QString& touche : {QStringLiteral("x"), QStringLiteral("BackSpace"), QStringLiteral("Return")}) {
        ETAPE_OK(Focaliser(main));
        ETAPE_OK(Touches({touche}));
        ETAPE_OK(Repondre_Boite(QStringLiteral("Return")));
    }
    ETAPE_OK(Focaliser(main));
    ETAPE_OK(Quitter({QStringLiteral("alt+f"), QStringLiteral("q")}));
    QCOMPARE(QDir(m_dossier).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name), avant);
}

// A station F4ABC set up for this year in the settings, its log holding one QSO of 1 January:
// what the journeys of two programs and of the log's files start from. Not in the last
// minutes of a UTC day, so that the date typed stays the date checked. `communs`: more lines of
// the common settings.
void Bout_En_Bout::Station_De_L_Annee(QString& annee, QString& date, QByteArray& debut, QString& log, const QString& communs)
{
    const QDate jour = Jour_Utc();
    annee = QString::number(jour.year());
    date = jour.toString(QStringLiteral("dd/MM/yy"));
    log = m_dossier + QStringLiteral("/F4ABC_Challenge_KVRT_") + annee + QStringLiteral(".txt");
    debut = Ligne(QStringLiteral("01/01/") + annee.right(2) + QStringLiteral("  2A001  Chateau active          F5XYZ       "));
    QVERIFY(Ecrire(log, debut));
    QVERIFY(QDir().mkpath(QFileInfo(Fichier_Reglages()).path()));
    QVERIFY(Ecrire(Fichier_Reglages(), En_1252(QStringLiteral("[Setup%20]\nChemin%20Repertoire=") + m_dossier + QStringLiteral("\nIndicatif%20Station=F4ABC\n")
                                               + communs + QStringLiteral("\n[Setup%20F4ABC]\nAnnee%20Challenge=") + annee + QStringLiteral("\n"))));
}

// Two copies of the program on one program folder and one settings file (two windows
// opened by mistake): the second is told, at its start, that the log is open elsewhere,
// writes neither the log nor its journal nor cleans anything beside them, and ends when its
// Station window is closed; the first one records its next QSO as before.
void Bout_En_Bout::Deuxieme_Programme_Sur_Le_Meme_Log()
{
    QString annee, date, log;
    QByteArray debut;
    Station_De_L_Annee(annee, date, debut, log);
    if (QTest::currentTestFailed())
        return;
    const QString nom = QFileInfo(log).fileName();
    const QString journal = log + QStringLiteral(".journal");
    const QString verrou = m_dossier + QStringLiteral("/.") + nom + QStringLiteral(".lock");
    const QString reste = log + QStringLiteral(".a1b2c3");

    Etape(QStringLiteral("premier programme"));
    QString main;
    ETAPE_OK(Demarrer_Jusqu_A_La_Principale(main));
    ETAPE_OK(Attendre([&] { return QFileInfo::exists(verrou); }, QStringLiteral("le verrou du log")));
    // A QSO recorded by the first program: the journal exists and has something to undo.
    ETAPE_OK(Focaliser(main));
    ETAPE_OK(Saisir_Qso(QStringLiteral("f5xyz"), QStringLiteral("29001")));
    QByteArray attendu = debut + Ligne(date + QStringLiteral("  29001  Chateau active          F5XYZ       "));
    ETAPE_OK(Attendre_Octets(log, attendu, QStringLiteral("le QSO du premier programme")));
    // A temporary file of an interrupted rewrite, older than the log: the first program's own.
    QVERIFY(Ecrire(reste, "reste\r\n"));
    {
        QFile f(reste);
        QVERIFY(f.open(QIODevice::ReadWrite) && f.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
    }
    const QByteArray journalAvant = Lire(journal);
    QVERIFY(!journalAvant.startsWith("<absent>"));
    const QByteArray verrouAvant = Lire(verrou);
    const QStringList fichiersAvant = QDir(m_dossier).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);

    Etape(QStringLiteral("second programme sur le même log"));
    ETAPE_OK(Demarrer_Programme(true));
    QString boite;
    ETAPE_OK(Attendre_Fenetre(Titre_Boite, boite));
    QByteArray pid;
    ETAPE_OK(Xdotool({QStringLiteral("getwindowpid"), boite}, &pid));
    QCOMPARE(pid.trimmed().toLongLong(), m_second->processId());
    ETAPE_OK(Focaliser(boite));
    ETAPE_OK(Touches({QStringLiteral("Return")}));
    ETAPE_OK(Attendre_Disparition(boite));
    ETAPE_OK(Fermer_Par_Echap(QStringLiteral("^Selection Indicatif et Ann")));
    QVERIFY2(m_second->waitForFinished(Delai_Ms), "le second programme ne s'arrête pas quand sa fenêtre Station est refermée");
    QCOMPARE(m_second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_second->exitCode(), 0);
    QCOMPARE(Lire(log), attendu);
    QCOMPARE(Lire(journal), journalAvant);
    QCOMPARE(Lire(verrou), verrouAvant);
    QCOMPARE(QDir(m_dossier).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name), fichiersAvant);
    QCOMPARE(Fenetres(Titre_Principale), QStringList{main});

    Etape(QStringLiteral("le premier programme continue"));
    ETAPE_OK(Focaliser(main));
    ETAPE_OK(Saisir_Qso(QStringLiteral("f6abc"), QStringLiteral("35002")));
    attendu += Ligne(date + QStringLiteral("  35002  Chateau active          F6ABC       "));
    ETAPE_OK(Attendre_Octets(log, attendu, QStringLiteral("le QSO du premier programme après le second")));
    ETAPE_OK(Aucune_Boite());
    ETAPE_OK(Quitter({QStringLiteral("alt+f"), QStringLiteral("q")}));
    // The lock goes with the program.
    QVERIFY(!QFileInfo::exists(verrou));
}

// What an operator does after a slip: Ctrl+Z takes the QSO back and Ctrl+Y brings it again;
// then the log's files at hand: a copy saved through the save dialog, typed into, and the
// folder of the logs handed to the desktop's file manager; the windows that only show
// something close with Escape; Ctrl+Q ends the program.
void Bout_En_Bout::Annulation_Copie_Du_Log_Et_Echap()
{
    QString annee, date, log;
    QByteArray debut;
    Station_De_L_Annee(annee, date, debut, log);
    if (QTest::currentTestFailed())
        return;
    // The desktop's file manager, as xdg-open hands it a folder: it writes down what it got.
    const QString ouverts = m_racine->filePath(QStringLiteral("xdg-open.txt"));
    QVERIFY(QDir().mkpath(m_racine->filePath(QStringLiteral("bin"))));
    const QString xdgOpen = m_racine->filePath(QStringLiteral("bin/xdg-open"));
    QVERIFY(Ecrire(xdgOpen, QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$*\" >> '%1'\n").arg(ouverts).toUtf8()));
    QVERIFY(QFile::setPermissions(xdgOpen, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    const QString copies = m_racine->filePath(QStringLiteral("copies"));
    QVERIFY(QDir().mkpath(copies));

    Etape(QStringLiteral("démarrage et QSO"));
    QString main;
    ETAPE_OK(Demarrer_Jusqu_A_La_Principale(main));
    ETAPE_OK(Focaliser(main));
    ETAPE_OK(Saisir_Qso(QStringLiteral("f6abc"), QStringLiteral("29001")));
    const QByteArray avecQso = debut + Ligne(date + QStringLiteral("  29001  Chateau active          F6ABC       "));
    ETAPE_OK(Attendre_Octets(log, avecQso, QStringLiteral("le QSO dans le log")));

    Etape(QStringLiteral("Ctrl+Z puis Ctrl+Y"));
    ETAPE_OK(Touches({QStringLiteral("ctrl+z")}));
    ETAPE_OK(Attendre_Octets(log, debut, QStringLiteral("le QSO annulé")));
    ETAPE_OK(Aucune_Boite());
    ETAPE_OK(Touches({QStringLiteral("ctrl+y")}));
    ETAPE_OK(Attendre_Octets(log, avecQso, QStringLiteral("le QSO rétabli")));
    ETAPE_OK(Aucune_Boite());

    Etape(QStringLiteral("copie du log par la boîte d'enregistrement"));
    ETAPE_OK(Touches({QStringLiteral("alt+f"), QStringLiteral("c")}));
    QString dialogue;
    ETAPE_OK(Attendre_Fenetre(QStringLiteral("^Enregistrer une copie du log$"), dialogue));
    ETAPE_OK(Focaliser(dialogue));
    // The name offered is replaced by a path of the operator's own.
    const QString copie = copies + QStringLiteral("/ma copie.txt");
    ETAPE_OK(Touches({QStringLiteral("ctrl+a")}));
    ETAPE_OK(Taper(copie));
    ETAPE_OK(Touches({QStringLiteral("Return")}));
    ETAPE_OK(Attendre_Disparition(dialogue));
    ETAPE_OK(Repondre_Boite(QStringLiteral("Return")));
    ETAPE_OK(Attendre_Octets(copie, avecQso, QStringLiteral("la copie, octet pour octet")));
    QCOMPARE(QDir(copies).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{QStringLiteral("ma copie.txt")});
    QCOMPARE(Lire(log), avecQso);

    Etape(QStringLiteral("dossier des logs"));
    ETAPE_OK(Focaliser(main));
    ETAPE_OK(Touches({QStringLiteral("alt+f"), QStringLiteral("d")}));
    ETAPE_OK(Attendre_Octets(ouverts, QUrl::fromLocalFile(m_dossier).toEncoded() + "\n",
                             QStringLiteral("le dossier des logs donné au gestionnaire de fichiers")));
    ETAPE_OK(Aucune_Boite());

    Etape(QStringLiteral("Echap ferme le récapitulatif et l'historique"));
    ETAPE_OK(Focaliser(main));
    ETAPE_OK(Touches({QStringLiteral("alt+r")}));
    ETAPE_OK(Fermer_Par_Echap(QStringLiteral("^Feuille Récapitulative$")));
    ETAPE_OK(Focaliser(main));
    ETAPE_OK(Touches({QStringLiteral("alt+f"), QStringLiteral("h")}));
    ETAPE_OK(Fermer_Par_Echap(QStringLiteral("^Historique des modifications$")));
    QVERIFY2(m_programme->state() == QProcess::Running, "Echap a fermé le programme");
    QCOMPARE(Fenetres(Titre_Principale), QStringList{main});
    QCOMPARE(Lire(log), avecQso);

    Etape(QStringLiteral("Ctrl+Q"));
    ETAPE_OK(Focaliser(main));
    ETAPE_OK(Quitter({QStringLiteral("ctrl+q")}));
    QCOMPARE(Lire(log), avecQso);
}

// The season's end: Fichier > Vérifier le log et préparer l'envoi, then the folder to send
// prepared by its button's letter; the folder beside the log holds the log byte for byte and
// the hashes of its files. Escape closes the window, and nothing else is left beside the log.
void Bout_En_Bout::Verification_Et_Dossier_D_Envoi()
{
    QString annee, date, log;
    QByteArray debut;
    Station_De_L_Annee(annee, date, debut, log);
    if (QTest::currentTestFailed())
        return;
    const QString nom = QFileInfo(log).completeBaseName() + QStringLiteral("_envoi_") + Jour_Utc().toString(QStringLiteral("dd_MM_yy"));
    const QString envoi = m_dossier + QLatin1Char('/') + nom;

    Etape(QStringLiteral("la fenêtre de vérification par le menu"));
    QString main;
    ETAPE_OK(Demarrer_Jusqu_A_La_Principale(main));
    const QStringList avant = QDir(m_dossier).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    ETAPE_OK(Focaliser(main));
    ETAPE_OK(Touches({QStringLiteral("alt+f"), QStringLiteral("v")}));
    QString fenetre;
    ETAPE_OK(Attendre_Fenetre(QStringLiteral("^Vérification du log$"), fenetre));
    ETAPE_OK(Focaliser(fenetre));

    Etape(QStringLiteral("le dossier d'envoi"));
    ETAPE_OK(Touches({QStringLiteral("alt+p")}));
    ETAPE_OK(Attendre_Octets(envoi + QLatin1Char('/') + QFileInfo(log).fileName(), debut, QStringLiteral("le log dans le dossier d'envoi")));
    ETAPE_OK(Attendre([&] { return QFileInfo::exists(envoi + QStringLiteral("/SHA256SUMS.txt")); }, QStringLiteral("les empreintes")));
    const QByteArray sommes = Lire(envoi + QStringLiteral("/SHA256SUMS.txt"));
    QVERIFY(sommes.startsWith(QCryptographicHash::hash(debut, QCryptographicHash::Sha256).toHex() + "  " + QFileInfo(log).fileName().toUtf8() + '\n'));
    QCOMPARE(sommes.count('\n'), 3);
    ETAPE_OK(Aucune_Boite());
    QStringList apres = avant;
    apres << nom;
    apres.sort();
    QCOMPARE(QDir(m_dossier).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name), apres);

    Etape(QStringLiteral("Echap puis Ctrl+Q"));
    ETAPE_OK(Fermer_Par_Echap(QStringLiteral("^Vérification du log$")));
    ETAPE_OK(Focaliser(main));
    ETAPE_OK(Quitter({QStringLiteral("ctrl+q")}));
    QCOMPARE(Lire(log), debut);
}

// A castle on the air: the node announces it, the operator opens Spots > Châteaux spottés,
// double-clicks its row and presses Enter through the entry area up to Valider; the QSO is in
// the log byte for byte and the row turns to "déjà contacté". Nothing is sent to the node but
// the callsign and the request for the last spots.
void Bout_En_Bout::Chateau_Spotte_Double_Clic_Et_Entree()
{
    Noeud_Test noeud;
    QVERIFY(noeud.serveur.isListening());
    // The node in the settings, as the window keeps it, and a castle list loaded before.
    QString annee, date, log;
    QByteArray debut;
    Station_De_L_Annee(annee, date, debut, log, QStringLiteral("Cluster=") + noeud.Adresse() + QLatin1Char('\n'));
    if (QTest::currentTestFailed())
        return;
    const QString donnees = m_home + QStringLiteral("/.local/share/Challenge_KVRT/QEZ_Challenge_KVRT");
    QVERIFY(QDir().mkpath(donnees));
    QVERIFY(Ecrire(donnees + QStringLiteral("/Liste_Chateaux.txt"),
                   "Ref;Nom\r\n29018;Ch\xC3\xA2teau de Brest\r\n35012;Ch\xC3\xA2teau de Foug\xC3\xA8res\r\n"));

    Etape(QStringLiteral("démarrage, aucune connexion sans la fenêtre"));
    QString main;
    ETAPE_OK(Demarrer_Jusqu_A_La_Principale(main));
    QTest::qWait(500);
    QCOMPARE(noeud.connexions, 0);

    Etape(QStringLiteral("Spots > Châteaux spottés"));
    ETAPE_OK(Focaliser(main));
    ETAPE_OK(Touches({QStringLiteral("alt+o"), QStringLiteral("c")}));
    QString spots;
    ETAPE_OK(Attendre_Fenetre(QStringLiteral("^Châteaux spottés$"), spots));
    ETAPE_OK(Attendre([&] { return noeud.recu == "F4ABC\r\n"; }, QStringLiteral("l'indicatif envoyé au nœud")));
    noeud.Envoyer("F4ABC de TEST " + QDateTime::currentDateTimeUtc().toString(QStringLiteral("hhmm")).toLatin1() + "Z dxspider >");
    ETAPE_OK(Attendre([&] { return noeud.recu == "F4ABC\r\nsh/dx\r\n"; }, QStringLiteral("la demande des derniers spots")));
    const QByteArray heure = QDateTime::currentDateTimeUtc().toString(QStringLiteral("hhmm")).toLatin1();
    noeud.Envoyer("DX de F6ABC:      7012.0  F5XYZ/P      KVRT 29018 cw                  " + heure + "Z\r\n");

    Etape(QStringLiteral("double clic sur le château, puis Entrée jusqu'à Valider"));
    // The row, pale green for a castle to contact, then selected by the click; its state's
    // cell, the last, keeps its colour.
    QRect ligne;
    ETAPE_OK(Bande_De_Couleur(spots, qRgb(192, 255, 192), ligne));
    ETAPE_OK(Cliquer(ligne.center(), 2));
    // Read on the row itself, at its two ends: the main window that comes forward covers its
    // middle, and shows a selected line of its own.
    const auto pixel = [this](int x, int y) { return Ecran().pixel(x, y) | 0xFF000000; };
    ETAPE_OK(Attendre([&] { return pixel(ligne.left() + 1, ligne.center().y()) == (Couleur_Selection | 0xFF000000); },
                      QStringLiteral("la ligne choisie")));
    const QPoint etat(ligne.right() - 1, ligne.center().y());
    QCOMPARE(pixel(etat.x(), etat.y()), qRgb(192, 255, 192));
    ETAPE_OK(Focaliser(main));
    ETAPE_OK(Touches({QStringLiteral("Return"), QStringLiteral("Return"), QStringLiteral("Return"), QStringLiteral("Return"),
                      QStringLiteral("Return")}));
    const QByteArray attendu = debut + En_1252(date + QStringLiteral("  29018  Chateau Contacte        F5XYZ/P     \r\n"));
    ETAPE_OK(Attendre_Octets(log, attendu, QStringLiteral("le QSO du château spotté dans le log")));
    ETAPE_OK(Aucune_Boite());

    Etape(QStringLiteral("la ligne dit déjà contacté"));
    // The main window came forward for the entry; the operator brings the spots back.
    ETAPE_OK(Xdotool({QStringLiteral("windowraise"), spots}));
    ETAPE_OK(Attendre([&] { return (Ecran().pixel(etat) | 0xFF000000) == qRgb(224, 224, 224); },
                      QStringLiteral("la case de l'état en gris, déjà contacté")));

    Etape(QStringLiteral("Ctrl+Q"));
    ETAPE_OK(Focaliser(main));
    ETAPE_OK(Quitter({QStringLiteral("ctrl+q")}));
    QCOMPARE(Lire(log), attendu);
    QCOMPARE(noeud.recu, QByteArray("F4ABC\r\nsh/dx\r\n"));
}

QTEST_GUILESS_MAIN(Bout_En_Bout)
#include "tst_bout_en_bout.moc"
