#pragma once

#include "Liste_Chateaux.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>

class Plateforme;
class QNetworkAccessManager;
class QNetworkReply;
class QTimer;
class Reglages;

// Keeps the castle list current from the address the operator gave ("Adresse liste
// chateaux"): asks the server for the list only if it changed since the last download (its
// ETag and Last-Modified sent back), checks what comes with the file loader's reader, and
// replaces the kept list in one rename, the previous one kept beside it. Whatever goes wrong,
// the kept list stays as it was. It shows nothing itself: every request ends with Fini and the
// sentence to say, and the window that asked says it.
class Mise_A_Jour_Liste : public QObject
{
    Q_OBJECT

public:
    struct Resultat
    {
        enum class Issue {
            Remplacee, // a new list is kept and in use
            A_Jour, // the server has nothing newer
            Refusee, // nothing changed, and the sentence says why
            Sans_Adresse, // no address is set
        };
        Issue issue = Issue::Refusee;
        // One French sentence for the operator.
        QString texte;
        // Asked by the weekly check rather than by the operator: said in the status line.
        bool automatique = false;
        // The castles of the list now in use, after a replacement.
        int nombre = 0;
    };

    // A list is a few hundred kilobytes; a body far larger is not one.
    static constexpr qint64 Taille_Max = 64 * 1024 * 1024;
    static constexpr int Delai_Ms = 60 * 1000;
    static constexpr int Jours_Entre_Verifications = 7;

    // fichierListe: the list the watch reads (Veille_Spots::Fichier_Liste()).
    Mise_A_Jour_Liste(Reglages& reglages, Plateforme& plateforme, const QString& fichierListe, QObject* parent = nullptr);
    ~Mise_A_Jour_Liste() override;

    // Asks the server now. A request already under way is not asked twice; one asked by the
    // operator meanwhile makes its result said as his.
    void Mettre_A_Jour(bool automatique = false);
    // Once a week: asks when an address is set and no check of it went well in the last seven
    // days (by the platform's clock). True when a request left.
    bool Verifier_Si_Du();
    // At start-up: the weekly check now, then once a day while the program runs.
    void Demarrer();
    bool En_Cours() const { return !m_reponse.isNull(); }

    // False when this build of Qt cannot open https addresses (no TLS backend).
    static bool Tls_Disponible();
    // Where the list in use before the last replacement is kept.
    static QString Fichier_Precedent(const QString& fichierListe);

signals:
    // A new list was kept: the watch takes it (its date is the server's, or the check's).
    void Liste_Recue(const Liste_Chateaux& liste, const QDateTime& date);
    void Fini(const Mise_A_Jour_Liste::Resultat& resultat);

private:
    void Reponse_Finie();
    void Finir(Resultat::Issue issue, const QString& texte, int nombre = 0);
    void Refuser(const QString& cause);

    Reglages& reglages;
    Plateforme& plateforme;
    QString m_fichier;
    QNetworkAccessManager* m_reseau = nullptr;
    QTimer* m_chaqueJour = nullptr;
    QPointer<QNetworkReply> m_reponse;
    QString m_adresse;
    QByteArray m_octets;
    // Why the transfer was stopped before its end (too big, a redirection refused), or empty.
    QString m_arret;
    bool m_conditionnelle = false;
    bool m_automatique = false;
};
