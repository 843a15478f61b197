#include "Veille_Spots.h"

#include "Connexion_Cluster.h"
#include "Controle_Nomme.h"
#include "FichierLog.h"
#include "Mise_A_Jour_Liste.h"
#include "Modele_Spots.h"
#include "Plateforme.h"
#include "Rapports.h"
#include "Reglages.h"
#include "Reglages_Spots.h"
#include "Sous_Programmes.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace {

// A thread that runs one task; unlike QThread::create, it needs no std::future from the
// compiler's library.
class Fil : public QThread
{
public:
    explicit Fil(std::function<void()> tache) : m_tache(std::move(tache)) {}

protected:
    void run() override { m_tache(); }

private:
    std::function<void()> m_tache;
};

// A castle list is a few hundred kilobytes; a file far larger is not one.
constexpr qint64 Taille_Max_Liste = 20 * 1024 * 1024;
// No alert for a spot older than this (an old one in the answer to sh/dx).
constexpr qint64 Delai_Alertes_S = 600;
// How often the rows older than the age are taken out.
constexpr int Balayage_Ms = 30 * 1000;

} // namespace

Veille_Spots::Veille_Spots(Sous_Programmes& sp_, QObject* parent)
    : QObject(parent), sp(sp_), m_age(sp.reglages().Age_Spots()), m_memoire(m_age), m_balayage(new QTimer(this))
{
    NOMME(Modele_Spots, Modele, this);
    NOMME(Connexion_Cluster, Connexion, this);
    NOMME(Mise_A_Jour_Liste, Mise_A_Jour, sp.reglages(), sp.plateforme(), Fichier_Liste(), this);
    m_alertes = sp.reglages().Alertes_Spots();
    connect(m_balayage, &QTimer::timeout, this, &Veille_Spots::Balayer);
    m_balayage->start(Balayage_Ms);
    connect(Connexion, &Connexion_Cluster::Spot_Chateau, this, &Veille_Spots::Spot_Recu);
    connect(Connexion, &Connexion_Cluster::Etat_Change, this, &Veille_Spots::Dire_Etat);
    connect(Mise_A_Jour, &Mise_A_Jour_Liste::Liste_Recue, this, &Veille_Spots::Adopter_Liste);
    connect(&sp, &Sous_Programmes::Etat_Change, this, [this](const Etat_Log& etat) {
        if (etat.lu)
            Log_Relu(etat.contenu);
    });
    m_etat = QStringLiteral("Déconnecté.");
}

// What the worker thread read: the file's own error, or the list and where its copy went.
struct Veille_Spots::Lecture
{
    QString chemin;
    QString erreurFichier;
    bool tropGros = false;
    Liste_Chateaux liste;
    QDateTime date;
    ErreurFichier copie;
};

Veille_Spots::~Veille_Spots()
{
    // The thread holds no pointer to the watch, but it is waited for: a list is read in well
    // under a second.
    if (m_lecture) {
        m_lecture->wait();
        delete m_lecture;
    }
}

QString Veille_Spots::Fichier_Liste()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1Char('/') + Liste_Chateaux::Nom_Fichier();
}

void Veille_Spots::Lire_Liste_Gardee()
{
    m_listeLue = true;
    const QString chemin = Fichier_Liste();
    if (!QFileInfo::exists(chemin))
        return;
    QFile f(chemin);
    Liste_Chateaux liste;
    if (f.open(QIODevice::ReadOnly) && f.size() <= Taille_Max_Liste)
        liste = Liste_Chateaux::Lire(f.readAll());
    if (!f.isOpen() || f.size() > Taille_Max_Liste || !liste.Erreur().isEmpty()) {
        m_erreurListe = QStringLiteral("La liste des châteaux gardée (%1) n'a pas pu être lue : chargez-la de nouveau "
                                       "(Fichier > Charger la liste des châteaux…).")
                            .arg(QDir::toNativeSeparators(chemin));
        return;
    }
    m_liste = std::move(liste);
    m_dateListe = QFileInfo(chemin).lastModified();
    Modele->Regler_Liste(m_liste);
}

Filtre_Spots* Veille_Spots::Nouvelle_Vue(Filtre_Spots::Vue vue, QObject* parent)
{
    auto* filtre = new Filtre_Spots(vue, parent);
    filtre->setSourceModel(Modele);
    return filtre;
}

const Liste_Chateaux& Veille_Spots::Liste()
{
    if (!m_listeLue)
        Lire_Liste_Gardee();
    return m_liste;
}

QString Veille_Spots::Texte_Liste()
{
    const Liste_Chateaux& liste = Liste();
    if (!m_erreurListe.isEmpty() && liste.Vide())
        return m_erreurListe;
    if (liste.Vide())
        return QStringLiteral("Aucune liste des châteaux n'est chargée (Fichier > Charger la liste des châteaux…) : "
                              "chaque référence spottée est montrée comme un château.");
    return QStringLiteral("Liste des châteaux du %1 : %2 château%3.")
        .arg(m_dateListe.toString(QStringLiteral("dd/MM/yyyy")))
        .arg(liste.Nombre())
        .arg(liste.Nombre() > 1 ? QStringLiteral("x") : QString());
}

const QSet<QString>& Veille_Spots::Contactes()
{
    if (!m_contactesAJour) {
        if (!m_logRecu && sp.Indicatif_Station() != QLatin1String("FXXXX"))
            m_log = sp.Lire_Contenu().contenu;
        m_contactes = Rapports::References_Du_Log(m_log);
        // The bytes are the list's own, shared: they are let go with it.
        m_log = QByteArray();
        m_contactesAJour = true;
    }
    return m_contactes;
}

void Veille_Spots::Log_Relu(const QByteArray& contenu)
{
    m_log = contenu;
    m_logRecu = true;
    m_contactesAJour = false;
    // Rows on show say "déjà contacté" at once; otherwise the log is read when a spot comes.
    if (m_fenetre || Modele->rowCount() > 0)
        Modele->Regler_Contactes(Contactes());
}

void Veille_Spots::Preparer_Modele()
{
    if (!m_listeLue)
        Lire_Liste_Gardee();
    if (!m_contactesAJour)
        Modele->Regler_Contactes(Contactes());
}

void Veille_Spots::Spot_Recu(const Regle_Spot::Spot& spot)
{
    Preparer_Modele();
    const QDateTime maintenant = sp.plateforme().Maintenant_Utc();
    const QDateTime moment = Regle_Spot::Moment(spot, maintenant);
    const QDateTime compteAge = Regle_Spot::Moment_Alerte(spot, maintenant, qint64(m_age) * 60);
    const QDateTime momentAlerte = Regle_Spot::Moment_Alerte(spot, maintenant, Delai_Alertes_S);
    for (const QString& reference : spot.references) {
        if (!m_partis.A_Ajouter(spot.indicatif, reference, compteAge, maintenant, m_age)
            || !Modele->Ajouter(spot, reference, moment, compteAge) || !m_alertes)
            continue;
        if (Modele->Etat_Reference(reference) != Modele_Spots::Etat::A_Contacter
            || momentAlerte < maintenant.addSecs(-Delai_Alertes_S)
            || !m_memoire.Alerter(spot.indicatif, reference, momentAlerte))
            continue;
        Alerter(QStringLiteral("KVRT %1 spotté : %2 sur %3").arg(reference, spot.indicatif, spot.frequence));
    }
}

void Veille_Spots::Alerter(const QString& texte)
{
    QApplication::beep();
    emit Alerte(texte);
    // Seen even when the program is behind other windows.
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    if (!m_zone) {
        m_zone = new QSystemTrayIcon(QApplication::windowIcon(), this);
        m_zone->setToolTip(QStringLiteral("Châteaux spottés"));
    }
    m_zone->show();
    m_zone->showMessage(QStringLiteral("Château spotté"), texte, QSystemTrayIcon::Information);
}

void Veille_Spots::Regler_Age(int minutes)
{
    sp.reglages().Definir_Age_Spots(minutes);
    m_age = sp.reglages().Age_Spots();
    m_memoire.Regler_Age(m_age);
    Balayer();
}

void Veille_Spots::Balayer()
{
    const QDateTime maintenant = sp.plateforme().Maintenant_Utc();
    for (const Modele_Spots::Parti& parti : Modele->Retirer_Avant(maintenant.addSecs(-qint64(m_age) * 60)))
        m_partis.Partir(parti.indicatif, parti.reference, parti.moment);
    m_partis.Purger(maintenant, m_age);
    m_memoire.Purger(maintenant);
}

void Veille_Spots::Regler_Balayage(int ms)
{
    m_balayage->start(ms);
}

QString Veille_Spots::Refus_Spot() const
{
    return Regle_Spot::Refus_Spot(sp.Indicatif_Station(), Connexion->En_Ligne());
}

bool Veille_Spots::Envoyer_Spot(const QString& ligne)
{
    return Connexion->Envoyer_Ligne(ligne);
}

void Veille_Spots::Charger_Liste(const QString& chemin, QWidget* parent)
{
    m_aLire.append({chemin, QPointer<QWidget>(parent)});
    if (!m_lecture)
        Lancer_Lecture();
}

void Veille_Spots::Lancer_Lecture()
{
    const auto [chemin, parent] = m_aLire.takeFirst();
    auto lecture = std::make_shared<Lecture>();
    lecture->chemin = chemin;
    const QString garde = Fichier_Liste();
    m_lecture = new Fil([lecture, garde] {
        QFile f(lecture->chemin);
        if (!f.open(QIODevice::ReadOnly)) {
            lecture->erreurFichier = f.errorString();
            return;
        }
        if (f.size() > Taille_Max_Liste) {
            lecture->tropGros = true;
            return;
        }
        const QByteArray octets = f.readAll();
        lecture->date = QFileInfo(f).lastModified();
        f.close();
        lecture->liste = Liste_Chateaux::Lire(octets);
        if (lecture->liste.Vide())
            return;
        // A copy for the next starts, of the list's own date, so that the window says which list it is.
        QDir().mkpath(QFileInfo(garde).absolutePath());
        lecture->copie = FichierLog::Reecrire_Octets(garde, octets);
        if (lecture->copie.ok() || lecture->copie.fait) {
            QFile copie(garde);
            if (copie.open(QIODevice::Append))
                copie.setFileTime(lecture->date, QFileDevice::FileModificationTime);
        }
    });
    connect(m_lecture, &QThread::finished, this, [this, lecture, parent = parent] {
        // The thread has said its last: it ends at once.
        m_lecture->wait();
        m_lecture->deleteLater();
        m_lecture = nullptr;
        Liste_Lue(*lecture, parent);
        if (!m_aLire.isEmpty() && !m_lecture)
            Lancer_Lecture();
    });
    m_lecture->start();
}

void Veille_Spots::Liste_Lue(const Lecture& lecture, QWidget* parent)
{
    const QString nom = QDir::toNativeSeparators(lecture.chemin);
    QString refus;
    if (!lecture.erreurFichier.isEmpty())
        refus = QStringLiteral("La liste des châteaux %1 n'a pas pu être lue : %2.").arg(nom, lecture.erreurFichier);
    else if (lecture.tropGros)
        refus = QStringLiteral("Le fichier %1 est trop gros pour être une liste des châteaux.").arg(nom);
    else if (!lecture.liste.Erreur().isEmpty())
        refus = QStringLiteral("La liste des châteaux %1 n'a pas pu être lue : %2.").arg(nom, lecture.liste.Erreur());
    else if (lecture.liste.Vide())
        refus = QStringLiteral("Aucun château n'a été trouvé dans %1 : il faut sur chaque ligne une référence "
                               "(par exemple 29018 ou 2A001) et le nom du château, séparés par une virgule, "
                               "un point-virgule ou une tabulation.")
                    .arg(nom);
    if (!refus.isEmpty()) {
        const QString enService = Liste().Vide() ? QString()
                                                 : QStringLiteral("\r\nLa liste du %1 reste en service.")
                                                       .arg(m_dateListe.toString(QStringLiteral("dd/MM/yyyy")));
        sp.plateforme().Message(refus + enService, parent);
        emit Chargement_Fini(false);
        return;
    }

    QString suite;
    if (!lecture.copie.ok() && !lecture.copie.fait)
        suite = QStringLiteral("\r\nElle sert jusqu'à la fin de cette session, mais n'a pas pu être gardée pour les "
                               "suivantes : ")
            + lecture.copie.message;
    Adopter_Liste(lecture.liste, lecture.date);
    QString ignorees;
    if (m_liste.Lignes_Ignorees() > 0)
        ignorees = QStringLiteral(" (%1 ligne%2 sans référence ignorée%2)")
                       .arg(m_liste.Lignes_Ignorees())
                       .arg(m_liste.Lignes_Ignorees() > 1 ? QStringLiteral("s") : QString());
    sp.plateforme().Message(QStringLiteral("La liste des châteaux du %1 a été chargée : %2 château%3%4.")
                                  .arg(lecture.date.toString(QStringLiteral("dd/MM/yyyy")))
                                  .arg(m_liste.Nombre())
                                  .arg(m_liste.Nombre() > 1 ? QStringLiteral("x") : QString(), ignorees)
                              + suite,
                          parent);
    emit Chargement_Fini(true);
}

void Veille_Spots::Adopter_Liste(const Liste_Chateaux& liste, const QDateTime& date)
{
    m_liste = liste;
    m_dateListe = date;
    m_listeLue = true;
    m_erreurListe.clear();
    Modele->Regler_Liste(m_liste);
    emit Liste_Changee();
}

void Veille_Spots::Choisir_Liste(QWidget* parent)
{
    const QString chemin = sp.plateforme().Fichier_A_Ouvrir(
        QStringLiteral("Charger la liste des châteaux"), QDir::homePath(),
        QStringLiteral("Listes des châteaux (*.csv *.txt *.tsv *.CSV *.TXT *.TSV);;Tous les fichiers (*)"), parent);
    if (!chemin.isEmpty())
        Charger_Liste(chemin, parent);
}

void Veille_Spots::Demarrer()
{
    Suivre();
    Mise_A_Jour->Demarrer();
}

void Veille_Spots::Fenetre_Ouverte(bool ouverte)
{
    m_fenetre = ouverte;
    if (ouverte)
        Preparer_Modele();
    Suivre();
}

void Veille_Spots::Regler_Alertes(bool actives)
{
    m_alertes = actives;
    sp.reglages().Definir_Alertes_Spots(actives);
    Suivre();
}

void Veille_Spots::Suivre()
{
    if (!m_fenetre && !m_alertes) {
        if (Connexion->Active())
            Connexion->Arreter();
        return;
    }
    if (!Connexion->Active())
        Reconnecter();
}

QString Veille_Spots::Empechement() const
{
    if (sp.Indicatif_Station() == QLatin1String("FXXXX"))
        return QStringLiteral("Indiquez d'abord l'indicatif de la station (Station > Nouvel Indicatif) : le nœud le "
                              "demande à la connexion.");
    QString hote, erreur;
    quint16 port = 0;
    if (!Reglages_Spots::Lire_Noeud(sp.reglages().Cluster(), hote, port, erreur))
        return erreur;
    return QString();
}

void Veille_Spots::Reconnecter()
{
    if (!m_fenetre && !m_alertes)
        return;
    const QString empechement = Empechement();
    if (!empechement.isEmpty()) {
        Connexion->Arreter();
        Dire_Etat(empechement);
        return;
    }
    QString hote, erreur, hoteSecours;
    quint16 port = 0, portSecours = 0;
    Reglages_Spots::Lire_Noeud(sp.reglages().Cluster(), hote, port, erreur);
    // The second node is optional: none when it is not one.
    if (!Reglages_Spots::Lire_Noeud(sp.reglages().Cluster_Secours(), hoteSecours, portSecours, erreur))
        hoteSecours.clear();
    Connexion->Regler_Secours(hoteSecours, portSecours);
    Connexion->Demarrer(hote, port, FichierLog::Indicatif_Affiche(sp.Indicatif_Station()));
}

void Veille_Spots::Dire_Etat(const QString& etat)
{
    m_etat = etat;
    emit Etat_Connexion(etat);
}
