#include "Reglages.h"

#include "Reglages_Spots.h"

#include <QFile>
#include <QSettings>

// A setting's key, its section (the common one, or the station's) and its default: every
// reading and writing of the store goes through one of these.
struct Reglages::Cle
{
    bool parStation;
    const char* nom;
    const char* defaut;
};

namespace {

const Reglages::Cle Cle_Indicatif_Station{false, "Indicatif Station", "FXXXX"};
const Reglages::Cle Cle_Chemin_Repertoire{false, "Chemin Repertoire", ""};
const Reglages::Cle Cle_Noms_Sig_Adif{false, "Noms SIG ADIF", "KVRT"};
// Placeholders until the contest's real hosts are known.
const Reglages::Cle Cle_Site_Reglement{false, "Site Reglement", "reglement.example.org"};
const Reglages::Cle Cle_Site_Departements{false, "Site Departements", "departements.example.org"};
const Reglages::Cle Cle_Site_Liste{false, "Site Liste KVRT", "liste.example.org"};
// The DX cluster node, "hôte:port" as the web hosts are kept; empty until the operator names one.
const Reglages::Cle Cle_Cluster{false, "Cluster", ""};
// "Oui" or "Non": a beep and a line in the status bar for a castle still to contact, spotted.
const Reglages::Cle Cle_Alertes_Spots{false, "Alertes Spots", "Non"};
// A second node for the days the first is down.
const Reglages::Cle Cle_Cluster_Secours{false, "Cluster Secours", ""};
const Reglages::Cle Cle_Age_Spots{false, "Age des spots", "60"};
const Reglages::Cle Cle_Bande_Spots{false, "Bande Spots", "Toutes"};
// No default: the organisers publish the list where they choose.
const Reglages::Cle Cle_Adresse_Liste{false, "Adresse liste chateaux", ""};
const Reglages::Cle Cle_Liste_Source{false, "Liste chateaux source", ""};
const Reglages::Cle Cle_Liste_Etag{false, "Liste chateaux ETag", ""};
const Reglages::Cle Cle_Liste_Modifiee{false, "Liste chateaux Last-Modified", ""};
const Reglages::Cle Cle_Liste_Empreinte{false, "Liste chateaux empreinte", ""};
const Reglages::Cle Cle_Liste_Verifiee{false, "Liste chateaux verifiee", ""};
const Reglages::Cle Cle_Annee_Challenge{true, "Annee Challenge", "XXXX"};
const Reglages::Cle Cle_Annee{true, "Annee", "20xx"};
const Reglages::Cle Cle_Type_Activite{true, "Type Activite", "0"};
const Reglages::Cle Cle_Date_Automatique{true, "Date_Automatique", "Oui"};
const Reglages::Cle Cle_Revision{true, "Revision", ""};
// Followed by the year: one key for each year's log.
const Reglages::Cle Cle_Chemin_Log{true, "Chemin Log ", ""};
const Reglages::Cle Cle_Dossier_Envoi{true, "Dossier Envoi ", ""};
const Reglages::Cle Cle_Date_Envoi{true, "Date Envoi ", ""};

const QString Section_Commune = QStringLiteral("Setup ");

const Reglages::Cle& Cle_Site(Reglages::Site site)
{
    switch (site) {
    case Reglages::Site::Reglement: return Cle_Site_Reglement;
    case Reglages::Site::Departements: return Cle_Site_Departements;
    case Reglages::Site::Liste: break;
    }
    return Cle_Site_Liste;
}

// A section or key holding "/" or "\" would open a sub-group in QSettings; the values are
// kept flat, as in the original store, by escaping them.
QString Chemin(const Reglages::Cle& cle, const QString& indicatif, const QString& suite = QString())
{
    QString s = cle.parStation ? Section_Commune + indicatif : Section_Commune;
    s.replace(QLatin1Char('\\'), QLatin1String("%5C")).replace(QLatin1Char('/'), QLatin1String("%2F"));
    QString nom = QString::fromLatin1(cle.nom) + suite;
    nom.replace(QLatin1Char('\\'), QLatin1String("%5C")).replace(QLatin1Char('/'), QLatin1String("%2F"));
    return s + QLatin1Char('/') + nom;
}

} // namespace

Reglages::Reglages(const QString& fichier)
{
    if (fichier.isEmpty())
        m_settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                 QStringLiteral("Challenge_KVRT"),
                                                 QStringLiteral("Challenge_KVRT"));
    else
        m_settings = std::make_unique<QSettings>(fichier, QSettings::IniFormat);
}

Reglages::~Reglages() = default;

QString Reglages::Lire(const Cle& cle, const QString& indicatif, const QString& suite) const
{
    const QVariant v = m_settings->value(Chemin(cle, indicatif, suite));
    if (!v.isValid())
        return QString::fromLatin1(cle.defaut);
    // A hand-edited store may hold a list or a number: read it as text all the same.
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

void Reglages::Ecrire(const Cle& cle, const QString& valeur, const QString& indicatif, const QString& suite)
{
    // Every start writes the same few values again: a value already in the store costs no
    // rewrite of the file, and no wait for the disk.
    const QString chemin = Chemin(cle, indicatif, suite);
    const QVariant actuelle = m_settings->value(chemin);
    if (actuelle.typeId() == QMetaType::QString && actuelle.toString() == valeur
        && m_settings->status() == QSettings::NoError && QFile::exists(m_settings->fileName()))
        return;
    m_settings->setValue(chemin, valeur);
    m_settings->sync();
}

QString Reglages::Fichier() const
{
    return m_settings->fileName();
}

QString Reglages::Nom_Section_Commune()
{
    return Section_Commune.trimmed();
}

QString Reglages::Indicatif_Station() const
{
    return Lire(Cle_Indicatif_Station);
}

void Reglages::Definir_Indicatif_Station(const QString& indicatif)
{
    Ecrire(Cle_Indicatif_Station, indicatif);
}

QString Reglages::Chemin_Repertoire() const
{
    return Lire(Cle_Chemin_Repertoire);
}

void Reglages::Definir_Chemin_Repertoire(const QString& dossier)
{
    Ecrire(Cle_Chemin_Repertoire, dossier);
}

QString Reglages::Noms_Sig_Adif() const
{
    return Lire(Cle_Noms_Sig_Adif);
}

void Reglages::Definir_Noms_Sig_Adif(const QString& noms)
{
    Ecrire(Cle_Noms_Sig_Adif, noms);
}

QString Reglages::Hote(Site site) const
{
    return Lire(Cle_Site(site));
}

void Reglages::Definir_Hote(Site site, const QString& hote)
{
    Ecrire(Cle_Site(site), hote);
}

QString Reglages::Cle_Hote(Site site)
{
    return QString::fromLatin1(Cle_Site(site).nom);
}

QString Reglages::Hote_Par_Defaut(Site site)
{
    return QString::fromLatin1(Cle_Site(site).defaut);
}

QString Reglages::Annee_Challenge(const QString& indicatif) const
{
    return Lire(Cle_Annee_Challenge, indicatif);
}

void Reglages::Definir_Annee_Challenge(const QString& indicatif, const QString& annee)
{
    Ecrire(Cle_Annee_Challenge, annee, indicatif);
}

QString Reglages::Annee_Proposee(const QString& indicatif) const
{
    return Lire(Cle_Annee, indicatif);
}

int Reglages::Type_Activite(const QString& indicatif) const
{
    bool nombre = false;
    const int index = Lire(Cle_Type_Activite, indicatif).trimmed().toInt(&nombre);
    return nombre && index >= -1 && index <= 8 ? index : 0;
}

void Reglages::Definir_Type_Activite(const QString& indicatif, int index)
{
    Ecrire(Cle_Type_Activite, QString::number(index), indicatif);
}

bool Reglages::Date_Automatique(const QString& indicatif) const
{
    return Lire(Cle_Date_Automatique, indicatif) == QLatin1String("Oui");
}

void Reglages::Definir_Date_Automatique(const QString& indicatif, bool automatique)
{
    Ecrire(Cle_Date_Automatique, automatique ? QStringLiteral("Oui") : QStringLiteral("Non"), indicatif);
}

void Reglages::Definir_Revision(const QString& indicatif, const QString& version)
{
    Ecrire(Cle_Revision, version, indicatif);
}

QString Reglages::Chemin_Log(const QString& indicatif, const QString& annee) const
{
    return Lire(Cle_Chemin_Log, indicatif, annee);
}

void Reglages::Definir_Chemin_Log(const QString& indicatif, const QString& annee, const QString& dossier)
{
    Ecrire(Cle_Chemin_Log, dossier, indicatif, annee);
}

QString Reglages::Dossier_Envoi(const QString& indicatif, const QString& annee) const
{
    return Lire(Cle_Dossier_Envoi, indicatif, annee);
}

QDateTime Reglages::Date_Envoi(const QString& indicatif, const QString& annee) const
{
    return QDateTime::fromString(Lire(Cle_Date_Envoi, indicatif, annee), Qt::ISODate);
}

void Reglages::Definir_Envoi(const QString& indicatif, const QString& annee, const QString& dossier, const QDateTime& quand)
{
    Ecrire(Cle_Dossier_Envoi, dossier, indicatif, annee);
    Ecrire(Cle_Date_Envoi, quand.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")), indicatif, annee);
}

QString Reglages::Cluster() const
{
    return Lire(Cle_Cluster).trimmed();
}

void Reglages::Definir_Cluster(const QString& noeud)
{
    Ecrire(Cle_Cluster, noeud.trimmed());
}

bool Reglages::Alertes_Spots() const
{
    // Anything but "Oui" leaves them off, as a hand-edited value would.
    return Lire(Cle_Alertes_Spots).trimmed().compare(QLatin1String("Oui"), Qt::CaseInsensitive) == 0;
}

void Reglages::Definir_Alertes_Spots(bool actives)
{
    Ecrire(Cle_Alertes_Spots, actives ? QStringLiteral("Oui") : QStringLiteral("Non"));
}

QString Reglages::Cluster_Secours() const
{
    return Lire(Cle_Cluster_Secours).trimmed();
}

void Reglages::Definir_Cluster_Secours(const QString& noeud)
{
    Ecrire(Cle_Cluster_Secours, noeud.trimmed());
}

int Reglages::Age_Spots() const
{
    return Reglages_Spots::Lire_Age(Lire(Cle_Age_Spots));
}

void Reglages::Definir_Age_Spots(int minutes)
{
    Ecrire(Cle_Age_Spots, QString::number(Reglages_Spots::Lire_Age(QString::number(minutes))));
}

QString Reglages::Bande_Spots() const
{
    return Reglages_Spots::Lire_Bande(Lire(Cle_Bande_Spots));
}

void Reglages::Definir_Bande_Spots(const QString& bande)
{
    Ecrire(Cle_Bande_Spots, Reglages_Spots::Lire_Bande(bande));
}

QString Reglages::Adresse_Liste_Chateaux() const
{
    // A hand-edited value that is no web address is none: nothing is fetched from it.
    QString adresse, erreur;
    return Reglages_Spots::Lire_Adresse_Liste(Lire(Cle_Adresse_Liste), adresse, erreur) ? adresse : QString();
}

bool Reglages::Definir_Adresse_Liste_Chateaux(const QString& adresse, QString& erreur)
{
    QString propre;
    if (adresse.trimmed().isEmpty())
        propre = QString();
    else if (!Reglages_Spots::Lire_Adresse_Liste(adresse, propre, erreur))
        return false;
    Ecrire(Cle_Adresse_Liste, propre);
    return true;
}

Reglages::Suivi_Liste Reglages::Suivi_Liste_Chateaux() const
{
    Suivi_Liste suivi;
    suivi.adresse = Lire(Cle_Liste_Source).trimmed();
    suivi.etag = Lire(Cle_Liste_Etag);
    suivi.modifiee = Lire(Cle_Liste_Modifiee);
    suivi.empreinte = Lire(Cle_Liste_Empreinte).trimmed();
    // A hand-edited date that does not read is no check: the next start asks again.
    suivi.verifiee = QDateTime::fromString(Lire(Cle_Liste_Verifiee).trimmed(), Qt::ISODate);
    if (suivi.verifiee.isValid())
        suivi.verifiee = suivi.verifiee.toUTC();
    return suivi;
}

void Reglages::Definir_Suivi_Liste_Chateaux(const Suivi_Liste& suivi)
{
    Ecrire(Cle_Liste_Source, suivi.adresse);
    Ecrire(Cle_Liste_Etag, suivi.etag);
    Ecrire(Cle_Liste_Modifiee, suivi.modifiee);
    Ecrire(Cle_Liste_Empreinte, suivi.empreinte);
    Ecrire(Cle_Liste_Verifiee, suivi.verifiee.isValid() ? suivi.verifiee.toUTC().toString(Qt::ISODate) : QString());
}
