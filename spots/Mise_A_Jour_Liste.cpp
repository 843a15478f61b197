#include "Mise_A_Jour_Liste.h"

#include "FichierLog.h"
#include "Plateforme.h"
#include "Reglages.h"
#include "Sous_Programmes.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <QtNetwork/qtnetworkglobal.h>
#if QT_CONFIG(ssl)
#include <QSslSocket>
#endif

namespace {

QString Empreinte(const QByteArray& octets)
{
    return QString::fromLatin1(QCryptographicHash::hash(octets, QCryptographicHash::Sha256).toHex());
}

// A header value of a server's that is kept or shown: printable ASCII of a sensible length, or
// nothing; a hostile server gets neither a line break into the settings nor a page into a message.
QString Propre(const QByteArray& valeur)
{
    if (valeur.size() > 200)
        return QString();
    for (char c : valeur)
        if (c < 0x20 || c > 0x7E)
            return QString();
    return QString::fromLatin1(valeur).trimmed();
}

bool Web(const QUrl& url)
{
    const QString schema = url.scheme().toLower();
    return schema == QLatin1String("http") || schema == QLatin1String("https");
}

QString Texte_Https()
{
    return QStringLiteral("Cette version du programme ne sait pas ouvrir les adresses https : donnez une adresse http "
                          "pour la liste des châteaux (case « Adresse liste chateaux » de la fenêtre Spots > Châteaux "
                          "spottés).");
}

QString Texte_Trop_Gros()
{
    return QStringLiteral("le fichier dépasse %1 Mo, bien plus qu'une liste des châteaux").arg(Mise_A_Jour_Liste::Taille_Max / (1024 * 1024));
}

} // namespace

Mise_A_Jour_Liste::Mise_A_Jour_Liste(Reglages& reglages_, Plateforme& plateforme_, const QString& fichierListe, QObject* parent)
    : QObject(parent), reglages(reglages_), plateforme(plateforme_), m_fichier(fichierListe)
{
}

Mise_A_Jour_Liste::~Mise_A_Jour_Liste()
{
    // A transfer cut short by the end of the program says nothing to anyone.
    if (m_reponse) {
        m_reponse->disconnect(this);
        m_reponse->abort();
    }
}

bool Mise_A_Jour_Liste::Tls_Disponible()
{
#if QT_CONFIG(ssl)
    return QSslSocket::supportsSsl();
#else
    return false;
#endif
}

QString Mise_A_Jour_Liste::Fichier_Precedent(const QString& fichierListe)
{
    return fichierListe + QStringLiteral(".precedente");
}

void Mise_A_Jour_Liste::Demarrer()
{
    Verifier_Si_Du();
    if (!m_chaqueJour) {
        m_chaqueJour = new QTimer(this);
        m_chaqueJour->setInterval(24 * 3600 * 1000);
        connect(m_chaqueJour, &QTimer::timeout, this, &Mise_A_Jour_Liste::Verifier_Si_Du);
        m_chaqueJour->start();
    }
}

bool Mise_A_Jour_Liste::Verifier_Si_Du()
{
    const QString adresse = reglages.Adresse_Liste_Chateaux();
    if (adresse.isEmpty() || En_Cours())
        return false;
    const Reglages::Suivi_Liste suivi = reglages.Suivi_Liste_Chateaux();
    const QDateTime maintenant = plateforme.Maintenant_Utc();
    // A check dated after now was made by a clock that was wrong: it proves nothing.
    if (suivi.adresse == adresse && suivi.verifiee.isValid() && suivi.verifiee <= maintenant
        && suivi.verifiee.addDays(Jours_Entre_Verifications) > maintenant)
        return false;
    Mettre_A_Jour(true);
    return En_Cours();
}

void Mise_A_Jour_Liste::Mettre_A_Jour(bool automatique)
{
    if (En_Cours()) {
        m_automatique = m_automatique && automatique;
        return;
    }
    m_automatique = automatique;
    const QString adresse = reglages.Adresse_Liste_Chateaux();
    if (adresse.isEmpty()) {
        Finir(Resultat::Issue::Sans_Adresse,
              QStringLiteral("Aucune adresse n'est donnée pour la liste des châteaux : tapez-la dans la case « Adresse "
                             "liste chateaux » de la fenêtre Spots > Châteaux spottés, puis Entrée."));
        return;
    }
    const QUrl url(adresse);
    if (url.scheme().toLower() == QLatin1String("https") && !Tls_Disponible()) {
        Finir(Resultat::Issue::Refusee, Texte_Https());
        return;
    }
    m_adresse = adresse;
    m_octets.clear();
    m_arret.clear();

    QNetworkRequest requete(url);
    requete.setTransferTimeout(Delai_Ms);
    requete.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    requete.setMaximumRedirectsAllowed(5);
    requete.setHeader(QNetworkRequest::UserAgentHeader,
                      QStringLiteral("QEZ_Challenge_KVRT/") + Sous_Programmes::Numero_Version().trimmed());
    // The server is asked only for a change of the list kept, and only while the list kept is
    // the one it sent: a list loaded by hand since then is replaced at the next check.
    const Reglages::Suivi_Liste suivi = reglages.Suivi_Liste_Chateaux();
    m_conditionnelle = false;
    if (suivi.adresse == adresse && !suivi.empreinte.isEmpty() && (!suivi.etag.isEmpty() || !suivi.modifiee.isEmpty())) {
        QByteArray gardee;
        if (FichierLog::Lire_Octets(m_fichier, gardee).ok() && Empreinte(gardee) == suivi.empreinte) {
            if (!suivi.etag.isEmpty())
                requete.setRawHeader("If-None-Match", suivi.etag.toLatin1());
            if (!suivi.modifiee.isEmpty())
                requete.setRawHeader("If-Modified-Since", suivi.modifiee.toLatin1());
            m_conditionnelle = true;
        }
    }

    if (!m_reseau)
        m_reseau = new QNetworkAccessManager(this);
    QNetworkReply* reponse = m_reseau->get(requete);
    m_reponse = reponse;
    // A body is bounded as it comes: a server that sends without end is cut off.
    const auto arreter = [this, reponse](const QString& cause) {
        if (!m_arret.isEmpty())
            return;
        m_arret = cause;
        // Not from inside the reply's own signal, which Qt does not expect to end it.
        QMetaObject::invokeMethod(reponse, &QNetworkReply::abort, Qt::QueuedConnection);
    };
    const QString tropGros = Texte_Trop_Gros();
    connect(reponse, &QNetworkReply::metaDataChanged, this, [reponse, arreter, tropGros] {
        const QVariant longueur = reponse->header(QNetworkRequest::ContentLengthHeader);
        if (reponse->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200 && longueur.isValid()
            && longueur.toLongLong() > Taille_Max)
            arreter(tropGros);
    });
    connect(reponse, &QNetworkReply::readyRead, this, [this, reponse, arreter, tropGros] {
        if (!m_arret.isEmpty())
            return;
        m_octets += reponse->read(Taille_Max + 1 - m_octets.size());
        if (m_octets.size() > Taille_Max)
            arreter(tropGros);
    });
    connect(reponse, &QNetworkReply::redirected, this, [this, reponse, arreter](const QUrl& vers) {
        if (!Web(vers)) {
            arreter(QStringLiteral("le serveur renvoie vers « %1 », qui n'est pas une adresse http ou https").arg(vers.toDisplayString()));
            return;
        }
        if (vers.scheme().toLower() == QLatin1String("https") && !Tls_Disponible()) {
            arreter(QStringLiteral("le serveur renvoie vers une adresse https, que cette version du programme ne sait pas "
                                   "ouvrir"));
            return;
        }
        m_octets.clear();
        emit reponse->redirectAllowed();
    });
    connect(reponse, &QNetworkReply::finished, this, &Mise_A_Jour_Liste::Reponse_Finie);
}

void Mise_A_Jour_Liste::Reponse_Finie()
{
    QNetworkReply* reponse = m_reponse;
    if (!reponse)
        return;
    // Nothing is under way from here: whoever hears Fini may ask again.
    m_reponse = nullptr;
    reponse->deleteLater();
    if (m_arret.isEmpty() && m_octets.size() <= Taille_Max)
        m_octets += reponse->read(Taille_Max + 1 - m_octets.size());
    if (m_arret.isEmpty() && m_octets.size() > Taille_Max)
        m_arret = Texte_Trop_Gros();
    const int statut = reponse->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QVariant longueur = reponse->header(QNetworkRequest::ContentLengthHeader);

    if (!m_arret.isEmpty()) {
        Refuser(m_arret);
        return;
    }
    // A connection cut in the middle of the body: whatever Qt makes of it, the list is not whole.
    if (statut == 200 && longueur.isValid() && longueur.toLongLong() > m_octets.size()) {
        Refuser(QStringLiteral("la liste est arrivée incomplète (%1 octets sur les %2 annoncés)")
                    .arg(m_octets.size())
                    .arg(longueur.toLongLong()));
        return;
    }
    switch (reponse->error()) {
    case QNetworkReply::NoError:
        break;
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::TimeoutError:
        Refuser(QStringLiteral("le serveur n'a pas répondu en %1 secondes").arg(Delai_Ms / 1000));
        return;
    case QNetworkReply::ProtocolUnknownError:
        if (statut >= 300 && statut < 400) {
            const QString vers = Propre(reponse->rawHeader("Location"));
            Refuser(vers.isEmpty() ? QStringLiteral("le serveur renvoie vers une adresse qui n'est pas http ou https")
                                   : QStringLiteral("le serveur renvoie vers « %1 », qui n'est pas une adresse http ou https").arg(vers));
            return;
        }
        Q_FALLTHROUGH();
    default:
        if (statut == 404) {
            Refuser(QStringLiteral("le serveur n'a pas de fichier à cette adresse (erreur HTTP 404)"));
        } else if (statut >= 400) {
            const QString raison = Propre(reponse->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray());
            Refuser(raison.isEmpty() ? QStringLiteral("le serveur a répondu par l'erreur HTTP %1").arg(statut)
                                     : QStringLiteral("le serveur a répondu par l'erreur HTTP %1 (%2)").arg(statut).arg(raison));
        } else {
            Refuser(QStringLiteral("la connexion a échoué (%1)").arg(reponse->errorString()));
        }
        return;
    }
    if (statut == 304 && m_conditionnelle) {
        Reglages::Suivi_Liste suivi = reglages.Suivi_Liste_Chateaux();
        suivi.verifiee = plateforme.Maintenant_Utc();
        reglages.Definir_Suivi_Liste_Chateaux(suivi);
        Finir(Resultat::Issue::A_Jour, QStringLiteral("La liste des châteaux est déjà à jour."));
        return;
    }
    if (statut != 200) {
        Refuser(QStringLiteral("le serveur a donné une réponse inattendue (HTTP %1)").arg(statut));
        return;
    }

    const Liste_Chateaux liste = Liste_Chateaux::Lire(m_octets);
    if (!liste.Erreur().isEmpty()) {
        Refuser(QStringLiteral("le fichier reçu n'est pas une liste des châteaux lisible (%1)").arg(liste.Erreur()));
        return;
    }
    if (liste.Vide()) {
        Refuser(QStringLiteral("aucun château n'a été trouvé dans le fichier reçu"));
        return;
    }

    // The list in use goes aside first: if that fails, nothing is replaced.
    QDir().mkpath(QFileInfo(m_fichier).absolutePath());
    const QString precedente = Fichier_Precedent(m_fichier);
    const bool avant = QFileInfo::exists(m_fichier);
    if (avant) {
        const ErreurFichier copie = FichierLog::Copier(m_fichier, precedente);
        if (!copie.ok() && !copie.fait) {
            Finir(Resultat::Issue::Refusee,
                  QStringLiteral("La liste des châteaux téléchargée n'a pas été gardée, faute de pouvoir mettre de côté "
                                 "la précédente, qui reste en service.\r\n")
                      + copie.message);
            return;
        }
    }
    const ErreurFichier ecriture = FichierLog::Reecrire_Octets(m_fichier, m_octets);
    if (!ecriture.ok() && !ecriture.fait) {
        Finir(Resultat::Issue::Refusee,
              QStringLiteral("La liste des châteaux téléchargée n'a pas pu être gardée ; la liste gardée n'a pas changé.\r\n")
                  + ecriture.message);
        return;
    }
    // The list's date is the server's, as a list loaded by hand has its file's: the window
    // says which list it is.
    const QString modifiee = Propre(reponse->rawHeader("Last-Modified"));
    QDateTime date = reponse->header(QNetworkRequest::LastModifiedHeader).toDateTime();
    const QDateTime maintenant = plateforme.Maintenant_Utc();
    if (!date.isValid() || date > maintenant)
        date = maintenant;
    {
        QFile f(m_fichier);
        if (f.open(QIODevice::Append))
            f.setFileTime(date, QFileDevice::FileModificationTime);
    }
    Reglages::Suivi_Liste suivi;
    suivi.adresse = m_adresse;
    suivi.etag = Propre(reponse->rawHeader("ETag"));
    suivi.modifiee = modifiee;
    suivi.empreinte = Empreinte(m_octets);
    suivi.verifiee = maintenant;
    reglages.Definir_Suivi_Liste_Chateaux(suivi);
    m_octets = QByteArray();
    emit Liste_Recue(liste, date.toLocalTime());

    QString texte = QStringLiteral("La liste des châteaux a été mise à jour depuis %1 : elle compte maintenant %2 château%3.")
                        .arg(m_adresse)
                        .arg(liste.Nombre())
                        .arg(liste.Nombre() > 1 ? QStringLiteral("x") : QString());
    if (avant)
        texte += QStringLiteral(" La précédente est gardée dans %1.").arg(QDir::toNativeSeparators(precedente));
    Finir(Resultat::Issue::Remplacee, texte, liste.Nombre());
}

void Mise_A_Jour_Liste::Refuser(const QString& cause)
{
    m_octets = QByteArray();
    const QString suite = QFileInfo::exists(m_fichier) ? QStringLiteral(" ; la liste gardée reste en service.") : QStringLiteral(".");
    Finir(Resultat::Issue::Refusee,
          QStringLiteral("La liste des châteaux n'a pas pu être mise à jour depuis %1 : %2").arg(m_adresse, cause) + suite);
}

void Mise_A_Jour_Liste::Finir(Resultat::Issue issue, const QString& texte, int nombre)
{
    Resultat resultat;
    resultat.issue = issue;
    resultat.texte = texte;
    resultat.automatique = m_automatique;
    resultat.nombre = nombre;
    emit Fini(resultat);
}
