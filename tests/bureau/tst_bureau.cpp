// The program as a desktop program: its desktop entry and AppStream file, its user's manual
// (pictures, table of contents, the program's own messages) and what `cmake --install` gives.

#include "Aide.h"
#include "Outils_Test.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QXmlStreamReader>

#include <unistd.h>

namespace {

const QString Id = QStringLiteral(KVRT_ID_BUREAU);
const QString Executable = QStringLiteral("QEZ_Challenge_KVRT");

QString Source(const QString& chemin)
{
    return QStringLiteral(KVRT_SOURCES) + QLatin1Char('/') + chemin;
}

QString Ressource(const QString& nom)
{
    return QStringLiteral(KVRT_RESSOURCES) + QLatin1Char('/') + nom;
}

QByteArray Octets_Fichier(const QString& chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString Texte_Fichier(const QString& chemin)
{
    return QString::fromUtf8(Octets_Fichier(chemin));
}

struct Resultat
{
    int code = -1;
    QString sortie;
};

Resultat Lancer(const QString& programme, const QStringList& arguments,
                const QProcessEnvironment& environnement = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(environnement);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(programme, arguments);
    Resultat r;
    if (!p.waitForStarted(20000)) {
        r.sortie = programme + QStringLiteral(" n'a pas démarré : ") + p.errorString();
        return r;
    }
    p.waitForFinished(240000);
    r.sortie = QString::fromUtf8(p.readAll());
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return r;
}

// The keys of the [Desktop Entry] group, values as written.
QMap<QString, QString> Lire_Entree(const QString& fichier)
{
    QMap<QString, QString> cles;
    bool dansGroupe = false;
    for (const QString& ligne : Texte_Fichier(fichier).split(QLatin1Char('\n'))) {
        if (ligne.startsWith(QLatin1Char('['))) {
            dansGroupe = ligne == QLatin1String("[Desktop Entry]");
            continue;
        }
        const int egal = ligne.indexOf(QLatin1Char('='));
        if (dansGroupe && egal > 0)
            cles.insert(ligne.left(egal).trimmed(), ligne.mid(egal + 1));
    }
    return cles;
}

// A desktop-entry string value as a desktop reads it: \s \n \t \r \\ escapes.
QString Valeur_Chaine(const QString& valeur)
{
    QString v;
    for (int i = 0; i < valeur.size(); ++i) {
        if (valeur[i] == QLatin1Char('\\') && i + 1 < valeur.size()) {
            const QChar c = valeur[++i];
            v += c == u's' ? QChar(u' ') : c == u'n' ? QChar(u'\n') : c == u't' ? QChar(u'\t') : c == u'r' ? QChar(u'\r') : c;
        } else {
            v += valeur[i];
        }
    }
    return v;
}

// The arguments of an Exec value: string escapes first, then the quoting rules of the
// command line, then %% as a plain %.
QStringList Arguments_Exec(const QString& valeur)
{
    const QString ligne = Valeur_Chaine(valeur);
    QStringList arguments;
    QString courant;
    bool dansArgument = false, guillemets = false;
    for (int i = 0; i < ligne.size(); ++i) {
        const QChar c = ligne[i];
        if (guillemets) {
            if (c == u'\\' && i + 1 < ligne.size() && QStringLiteral("\"`$\\").contains(ligne[i + 1]))
                courant += ligne[++i];
            else if (c == u'"')
                guillemets = false;
            else
                courant += c;
        } else if (c == u' ') {
            if (dansArgument)
                arguments.append(courant);
            courant.clear();
            dansArgument = false;
        } else if (c == u'"') {
            guillemets = dansArgument = true;
        } else {
            courant += c;
            dansArgument = true;
        }
    }
    if (dansArgument)
        arguments.append(courant);
    for (QString& a : arguments)
        a.replace(QStringLiteral("%%"), QStringLiteral("%"));
    return arguments;
}

QString Outil(const char* nom)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(nom));
}

// Runs desktop-file-validate; empty when the file passes or the tool is missing.
QString Erreurs_Entree(const QString& fichier)
{
    const QString outil = Outil("desktop-file-validate");
    if (outil.isEmpty())
        return QString();
    const Resultat r = Lancer(outil, {fichier});
    if (r.code != 0 || r.sortie.contains(QLatin1String("error:")))
        return r.sortie.isEmpty() ? QStringLiteral("code %1").arg(r.code) : r.sortie;
    return QString();
}

QString Dossier_Programme(const QString& prefixe)
{
    const QString dossier = QStringLiteral(KVRT_DOSSIER_PROGRAMME);
    return QDir::isAbsolutePath(dossier) ? dossier : prefixe + QLatin1Char('/') + dossier;
}

Resultat Installer(const QString& prefixe, const QString& destdir = QString())
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DESTDIR"));
    if (!destdir.isEmpty())
        env.insert(QStringLiteral("DESTDIR"), destdir);
    return Lancer(QStringLiteral(KVRT_CMAKE),
                  {QStringLiteral("--install"), QStringLiteral(KVRT_CONSTRUCTION), QStringLiteral("--prefix"), prefixe}, env);
}

QStringList Tailles_Icones()
{
    return QStringLiteral(KVRT_TAILLES_ICONES).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QStringList Images_Manuel()
{
    return QDir(Ressource(QStringLiteral("manuel"))).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
}

// Walks every fragment of a document.
template <typename F>
void Parcourir(const QTextDocument& document, F&& f)
{
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            f(it.fragment());
}

// The text of the manual as the help window shows it, line breaks of every kind as "\n".
QString Texte_Manuel(const QTextDocument& document)
{
    QString t = document.toPlainText();
    t.replace(QChar(0x2028), u'\n').replace(QChar(0x2029), u'\n').replace(QChar(0x00A0), u' ');
    return t;
}

// The text of a C++ string literal's inside: \r \n \t \" \\ escapes.
QString Litteral_Cpp(const QString& source)
{
    QString t;
    for (int i = 0; i < source.size(); ++i) {
        if (source[i] == u'\\' && i + 1 < source.size()) {
            const QChar c = source[++i];
            t += c == u'r' ? QChar(u'\r') : c == u'n' ? QChar(u'\n') : c == u't' ? QChar(u'\t') : c;
        } else {
            t += source[i];
        }
    }
    return t;
}

QString Sans_Fins_De_Ligne(QString t)
{
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return t;
}

} // namespace

class Tst_Bureau : public QObject
{
    Q_OBJECT

private slots:
    void entreeBureau();
    void metainfo();
    void manuelImages();
    void manuelSommaire();
    void manuelMessages();
    void installation();
    void installationPaquet();
    void desinstallation();
};

void Tst_Bureau::entreeBureau()
{
    const QString fichier = Ressource(Id + QStringLiteral(".desktop"));
    QVERIFY2(QFileInfo::exists(fichier), qPrintable(fichier));
    const auto cles = Lire_Entree(fichier);
    QCOMPARE(cles.value(QStringLiteral("Type")), QStringLiteral("Application"));
    QCOMPARE(cles.value(QStringLiteral("Icon")), Id);
    QCOMPARE(Arguments_Exec(cles.value(QStringLiteral("Exec"))), QStringList{Executable});
    QVERIFY(cles.value(QStringLiteral("Categories")).split(QLatin1Char(';')).contains(QStringLiteral("HamRadio")));
    QVERIFY(!cles.value(QStringLiteral("Comment")).isEmpty());
    // The desktop finds the running program's entry by this name.
    QVERIFY(Texte_Fichier(Source(QStringLiteral("app/demarrage.cpp")))
                .contains(QStringLiteral("setDesktopFileName(QStringLiteral(\"%1\"))").arg(Id)));

    if (Outil("desktop-file-validate").isEmpty())
        QFAIL("desktop-file-validate is missing: install desktop-file-utils (scripts/dependances.sh does)");
    const QString erreurs = Erreurs_Entree(fichier);
    QVERIFY2(erreurs.isEmpty(), qPrintable(erreurs));
}

void Tst_Bureau::metainfo()
{
    const QString fichier = Ressource(Id + QStringLiteral(".metainfo.xml"));
    QFile f(fichier);
    QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(fichier));
    QXmlStreamReader xml(&f);
    QMap<QString, QString> valeurs;
    QString version;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString nom = xml.name().toString();
        if (nom == QLatin1String("release") && version.isEmpty())
            version = xml.attributes().value(QStringLiteral("version")).toString();
        if (nom == QLatin1String("launchable")) {
            const QString type = xml.attributes().value(QStringLiteral("type")).toString();
            valeurs.insert(nom + type, xml.readElementText());
        }
        else if (QStringList{QStringLiteral("id"), QStringLiteral("binary"), QStringLiteral("project_license"), QStringLiteral("metadata_license")}.contains(nom))
            valeurs.insert(nom, xml.readElementText());
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(valeurs.value(QStringLiteral("id")), Id);
    QCOMPARE(valeurs.value(QStringLiteral("launchabledesktop-id")), Id + QStringLiteral(".desktop"));
    QCOMPARE(valeurs.value(QStringLiteral("binary")), Executable);
    QCOMPARE(valeurs.value(QStringLiteral("project_license")), QStringLiteral("GPL-3.0-or-later"));
    const QString licence = Texte_Fichier(Source(QStringLiteral("LICENSE")));
    QVERIFY(licence.contains(QLatin1String("GNU GENERAL PUBLIC LICENSE")) && licence.contains(QLatin1String("Version 3")));
    // The newest release named is the version the program shows in its title.
    Programme_Test p;
    QCOMPARE(version, Sous_Programmes::Numero_Version().trimmed());

    const QString outil = Outil("appstreamcli");
    if (outil.isEmpty())
        QFAIL("appstreamcli is missing: install appstream (scripts/dependances.sh does)");
    const Resultat r = Lancer(outil, {QStringLiteral("validate"), QStringLiteral("--no-net"), fichier});
    QVERIFY2(r.code == 0, qPrintable(r.sortie));
}

void Tst_Bureau::manuelImages()
{
    const QString manuel = Ressource(QStringLiteral("QEZ_Challenge.hlp"));
    Aide aide(manuel);
    QTextDocument* document = aide.Texte->document();
    QStringList noms;
    Parcourir(*document, [&](const QTextFragment& f) {
        if (f.charFormat().isImageFormat())
            noms.append(f.charFormat().toImageFormat().name());
    });
    QVERIFY(noms.size() >= 10);

    QSet<QString> montrees;
    for (const QString& nom : std::as_const(noms)) {
        QVERIFY2(nom.startsWith(QLatin1String("manuel/")), qPrintable(nom));
        const QString chemin = QFileInfo(manuel).absolutePath() + QLatin1Char('/') + nom;
        const QImage image(chemin);
        QVERIFY2(!image.isNull(), qPrintable(chemin + QStringLiteral(" manque ou n'est pas une image")));
        // Wider, the help window would show it only with a horizontal scroll bar.
        QVERIFY2(image.width() <= 720, qPrintable(nom + QStringLiteral(" : %1 pixels de large").arg(image.width())));
        // The help window finds it as it finds it beside the installed program.
        QVERIFY2(!document->resource(QTextDocument::ImageResource, QUrl(nom)).isNull(), qPrintable(nom));
        montrees.insert(nom.mid(7));
    }
    // No picture left over in resources/manuel that the manual no longer shows.
    for (const QString& fichier : Images_Manuel())
        QVERIFY2(montrees.contains(fichier), qPrintable(fichier + QStringLiteral(" n'est pas dans le manuel")));

    // The README shows a picture of the manual's folder too.
    const QRegularExpression lienReadme(QStringLiteral("\\]\\((resources/manuel/[^)]+)\\)"));
    for (const auto& m : lienReadme.globalMatch(Texte_Fichier(Source(QStringLiteral("README.md")))))
        QVERIFY2(QFileInfo::exists(Source(m.captured(1))), qPrintable(m.captured(1)));
}

void Tst_Bureau::manuelSommaire()
{
    const QString manuel = Ressource(QStringLiteral("QEZ_Challenge.hlp"));
    const QByteArray octets = Octets_Fichier(manuel);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString source = utf8(octets);
    QVERIFY2(!utf8.hasError(), "le manuel n'est pas en UTF-8");
    QVERIFY(source.contains(QLatin1String("<meta charset=\"utf-8\">")));

    Aide aide(manuel);
    QSet<QString> ancres;
    QStringList liens;
    QString premiere;
    Parcourir(*aide.Texte->document(), [&](const QTextFragment& f) {
        for (const QString& a : f.charFormat().anchorNames()) {
            if (premiere.isEmpty())
                premiere = a;
            ancres.insert(a);
        }
        if (f.charFormat().isAnchor() && f.charFormat().anchorHref().startsWith(QLatin1Char('#')))
            liens.append(f.charFormat().anchorHref().mid(1));
    });
    // The Sommaire button of the help window goes there: the very top of the manual.
    QCOMPARE(premiere, QStringLiteral("sommaire"));
    QVERIFY(liens.size() >= 20);
    for (const QString& lien : std::as_const(liens))
        QVERIFY2(ancres.contains(lien), qPrintable(QStringLiteral("lien vers #") + lien + QStringLiteral(" sans ancre")));

    // Every chapter and section with an anchor is reachable from the table of contents.
    const int debut = source.indexOf(QLatin1String("id=\"sommaire\""));
    const int fin = source.indexOf(QLatin1String("<h2 id="), debut);
    QVERIFY(debut > 0 && fin > debut);
    const QString sommaire = source.mid(debut, fin - debut);
    const QRegularExpression section(QStringLiteral("<h[23] id=\"([^\"]+)\""));
    int sections = 0;
    for (const auto& m : section.globalMatch(source)) {
        ++sections;
        QVERIFY2(sommaire.contains(QStringLiteral("href=\"#%1\"").arg(m.captured(1))),
                 qPrintable(m.captured(1) + QStringLiteral(" n'est pas dans le sommaire")));
    }
    QVERIFY(sections >= 19);
}

void Tst_Bureau::manuelMessages()
{
    // Every message the program shows as one fixed text is quoted word for word in the
    // manual: a message changed in the code without the manual fails here.
    // A message is one QStringLiteral, possibly of several adjacent literals, followed by the
    // parent argument: messages built with .arg() or + are left out.
    const QRegularExpression appel(QStringLiteral("(?:Message|Question)\\(\\s*QStringLiteral\\(((?:\\s*\"(?:[^\"\\\\]|\\\\.)*\")+)\\s*\\)\\s*,"));
    const QRegularExpression refus(QStringLiteral("return\\s+QStringLiteral\\(((?:\\s*\"(?:[^\"\\\\]|\\\\.)*\")+)\\s*\\)\\s*;"));
    const QRegularExpression morceau(QStringLiteral("\"((?:[^\"\\\\]|\\\\.)*)\""));
    QStringList messages;
    for (const char* dossier : {"app", "core", "entry", "module", "reports", "echange", "search", "spots", "station", "web"}) {
        QDirIterator it(Source(QString::fromLatin1(dossier)), {QStringLiteral("*.cpp")}, QDir::Files);
        while (it.hasNext()) {
            const QString chemin = it.next();
            // The entry checks give their refusals as values, which the entry area shows.
            const QRegularExpression& forme = QFileInfo(chemin).fileName() == QLatin1String("Validation_Saisie.cpp") ? refus : appel;
            for (const auto& m : forme.globalMatch(Texte_Fichier(chemin))) {
                QString texte;
                for (const auto& l : morceau.globalMatch(m.captured(1)))
                    texte += l.captured(1);
                messages.append(Sans_Fins_De_Ligne(Litteral_Cpp(texte)));
            }
        }
    }
    QVERIFY2(messages.size() >= 20, qPrintable(QStringLiteral("%1 messages trouvés dans les sources").arg(messages.size())));

    Aide aide(Ressource(QStringLiteral("QEZ_Challenge.hlp")));
    const QString texte = Texte_Manuel(*aide.Texte->document());
    QStringList absents;
    for (const QString& m : std::as_const(messages))
        if (!texte.contains(m))
            absents.append(m);
    QVERIFY2(absents.isEmpty(), qPrintable(QStringLiteral("absents du manuel :\n") + absents.join(QLatin1Char('\n'))));
}

void Tst_Bureau::installation()
{
    QTemporaryDir base;
    QVERIFY(base.isValid());
    // A blank in the path, as in many home folders, must survive the desktop entry.
    const QString prefixe = base.path() + QStringLiteral("/dossier avec blanc");
    Resultat r = Installer(prefixe);
    QVERIFY2(r.code == 0, qPrintable(r.sortie));

    const QString programme = Dossier_Programme(prefixe);
    const QString executable = programme + QLatin1Char('/') + Executable;
    QVERIFY2(QFileInfo(executable).isExecutable(), qPrintable(executable));
    QCOMPARE(Octets_Fichier(programme + QStringLiteral("/FXXXX_Challenge_KVRT.txt")), Octets_Fichier(Ressource(QStringLiteral("FXXXX_Challenge_KVRT.txt"))));
    QCOMPARE(Octets_Fichier(programme + QStringLiteral("/QEZ_Challenge.hlp")), Octets_Fichier(Ressource(QStringLiteral("QEZ_Challenge.hlp"))));
    for (const QString& image : Images_Manuel())
        QVERIFY2(Octets_Fichier(programme + QStringLiteral("/manuel/") + image) == Octets_Fichier(Ressource(QStringLiteral("manuel/") + image)),
                 qPrintable(image));
    QCOMPARE(Octets_Fichier(programme + QStringLiteral("/LICENSE")), Octets_Fichier(Source(QStringLiteral("LICENSE"))));
    for (const char* nom : {"LICENSE.md", "CREDITS.md"})
        if (QFileInfo::exists(Ressource(QStringLiteral("carte/") + nom)))
            QCOMPARE(Octets_Fichier(programme + QStringLiteral("/licences/carte/") + nom), Octets_Fichier(Ressource(QStringLiteral("carte/") + nom)));

    // The launcher: a relative link to the executable, which finds its folder through it.
    const QString lien = prefixe + QStringLiteral("/bin/") + Executable;
    QVERIFY(QFileInfo(lien).isSymLink());
    QCOMPARE(QFileInfo(lien).canonicalFilePath(), QFileInfo(executable).canonicalFilePath());
    char cible[4096] = {};
    QVERIFY(::readlink(QFile::encodeName(lien).constData(), cible, sizeof cible - 1) > 0);
    QVERIFY2(cible[0] != '/', cible);

    // The desktop entry starts the installed executable by its full path.
    const QString entree = prefixe + QStringLiteral("/share/applications/") + Id + QStringLiteral(".desktop");
    const auto cles = Lire_Entree(entree);
    QCOMPARE(Arguments_Exec(cles.value(QStringLiteral("Exec"))), QStringList{executable});
    QCOMPARE(Valeur_Chaine(cles.value(QStringLiteral("TryExec"))), executable);
    QCOMPARE(cles.value(QStringLiteral("Icon")), Id);
    const QString erreurs = Erreurs_Entree(entree);
    QVERIFY2(erreurs.isEmpty(), qPrintable(erreurs));

    for (const QString& t : Tailles_Icones()) {
        const QString icone = prefixe + QStringLiteral("/share/icons/hicolor/%1x%1/apps/").arg(t) + Id + QStringLiteral(".png");
        const QImage image(icone);
        QVERIFY2(!image.isNull(), qPrintable(icone));
        QCOMPARE(image.size(), QSize(t.toInt(), t.toInt()));
        QVERIFY(image.hasAlphaChannel());
    }
    QCOMPARE(Octets_Fichier(prefixe + QStringLiteral("/share/icons/hicolor/scalable/apps/") + Id + QStringLiteral(".svg")),
             Octets_Fichier(Ressource(QStringLiteral("icone/QEZ_Challenge_KVRT.svg"))));
    QCOMPARE(Octets_Fichier(prefixe + QStringLiteral("/share/metainfo/") + Id + QStringLiteral(".metainfo.xml")),
             Octets_Fichier(Ressource(Id + QStringLiteral(".metainfo.xml"))));

    // A reinstall keeps the user's logs, exports and own files; the empty template comes back.
    const QByteArray log = Octets({Enr("28/03/09", "2A001", "Chateau active", "F5XYZ")});
    const QByteArray export_ = "            F1ABC Challenge 2009\r\n";
    auto ecrire = [&](const QString& nom, const QByteArray& octets) {
        QFile f(programme + QLatin1Char('/') + nom);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(octets);
    };
    ecrire(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"), log);
    ecrire(QStringLiteral("F1ABC_Challenge_KVRT_2009_28_03_09.txt"), export_);
    ecrire(QStringLiteral("notes.txt"), "mes notes\n");
    ecrire(QStringLiteral("FXXXX_Challenge_KVRT.txt"), Octets({Enr("01/01/09", "29001", "Chateau Contacte", "F5AAA")}));
    r = Installer(prefixe);
    QVERIFY2(r.code == 0, qPrintable(r.sortie));
    QCOMPARE(Octets_Fichier(programme + QStringLiteral("/F1ABC_Challenge_KVRT_2009.txt")), log);
    QCOMPARE(Octets_Fichier(programme + QStringLiteral("/F1ABC_Challenge_KVRT_2009_28_03_09.txt")), export_);
    QCOMPARE(Octets_Fichier(programme + QStringLiteral("/notes.txt")), QByteArray("mes notes\n"));
    QCOMPARE(Octets_Fichier(programme + QStringLiteral("/FXXXX_Challenge_KVRT.txt")), Octets_Fichier(Ressource(QStringLiteral("FXXXX_Challenge_KVRT.txt"))));
    QVERIFY(QFileInfo(lien).isSymLink());
}

void Tst_Bureau::installationPaquet()
{
    // Staged under DESTDIR, as a package build does: nothing lands outside the stage, and the
    // files name the final place.
    QTemporaryDir base;
    QVERIFY(base.isValid());
    const QString stage = base.path() + QStringLiteral("/stage");
    const Resultat r = Installer(QStringLiteral("/usr"), stage);
    QVERIFY2(r.code == 0, qPrintable(r.sortie));
    const QString executable = Dossier_Programme(QStringLiteral("/usr")) + QLatin1Char('/') + Executable;
    QVERIFY2(QFileInfo(stage + executable).isExecutable(), qPrintable(stage + executable));
    const auto cles = Lire_Entree(stage + QStringLiteral("/usr/share/applications/") + Id + QStringLiteral(".desktop"));
    QCOMPARE(Arguments_Exec(cles.value(QStringLiteral("Exec"))), QStringList{executable});
    const QString lien = stage + QStringLiteral("/usr/bin/") + Executable;
    QCOMPARE(QFileInfo(lien).canonicalFilePath(), QFileInfo(stage + executable).canonicalFilePath());
}

void Tst_Bureau::desinstallation()
{
    if (QStringLiteral(KVRT_DOSSIER_PROGRAMME) != QLatin1String("share/QEZ_Challenge_KVRT"))
        QFAIL("the program folder was moved from share/QEZ_Challenge_KVRT, where the uninstall script looks");
    QTemporaryDir base;
    QVERIFY(base.isValid());
    const QString prefixe = base.path() + QStringLiteral("/local");
    Resultat r = Installer(prefixe);
    QVERIFY2(r.code == 0, qPrintable(r.sortie));
    const QString programme = Dossier_Programme(prefixe);
    const QByteArray log = Octets({Enr("28/03/09", "2A001", "Chateau active", "F5XYZ")});
    {
        QFile f(programme + QStringLiteral("/F1ABC_Challenge_KVRT_2009.txt"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(log);
    }

    // The settings of a user whose home is here.
    const QString maison = base.path() + QStringLiteral("/maison");
    const QString reglages = maison + QStringLiteral("/.config/Challenge_KVRT/Challenge_KVRT.ini");
    const QByteArray contenuReglages("[Setup%20]\nIndicatif%20Station=F1ABC\n");
    QVERIFY(QDir().mkpath(QFileInfo(reglages).absolutePath()));
    {
        QFile f(reglages);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(contenuReglages);
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KVRT_PREFIXE"), prefixe);
    env.insert(QStringLiteral("HOME"), maison);
    const QStringList arguments{Source(QStringLiteral("scripts/installer.sh")), QStringLiteral("--desinstaller")};
    r = Lancer(QStringLiteral("bash"), arguments, env);
    QVERIFY2(r.code == 0, qPrintable(r.sortie));
    // The settings stay, and the operator is told so.
    QCOMPARE(Octets_Fichier(reglages), contenuReglages);
    QVERIFY2(r.sortie.contains(QStringLiteral("réglages")), qPrintable(r.sortie));

    // The log is all that is left of the program folder; everything installed has gone.
    QCOMPARE(QDir(programme).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("F1ABC_Challenge_KVRT_2009.txt")});
    QCOMPARE(Octets_Fichier(programme + QStringLiteral("/F1ABC_Challenge_KVRT_2009.txt")), log);
    QStringList restes;
    QDirIterator it(prefixe, QDir::Files | QDir::System | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        if (!f.startsWith(programme + QLatin1Char('/')) && !f.endsWith(QLatin1String("mimeinfo.cache")))
            restes.append(f);
    }
    QVERIFY2(restes.isEmpty(), qPrintable(restes.join(QLatin1Char('\n'))));

    // Without logs, the folder itself goes.
    QVERIFY(QFile::remove(programme + QStringLiteral("/F1ABC_Challenge_KVRT_2009.txt")));
    r = Lancer(QStringLiteral("bash"), arguments, env);
    QVERIFY2(r.code == 0, qPrintable(r.sortie));
    QVERIFY(!QFileInfo::exists(programme));
}

QTEST_MAIN(Tst_Bureau)
#include "tst_bureau.moc"
