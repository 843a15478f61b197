#include "Verification_Envoi.h"

#include "Apparence.h"
#include "Controle_Nomme.h"
#include "Dossier_Envoi.h"
#include "FichierLog.h"
#include "Plateforme.h"
#include "Reglages.h"
#include "Sous_Programmes.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QAbstractListModel>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

// The findings as the list shows them: each row's text made only when it is drawn, so that a
// log typed without care, with thousands of findings, opens at once.
class Modele_Constats : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    void Remplacer(QList<Verification_Log::Constat> constats)
    {
        beginResetModel();
        m_constats = std::move(constats);
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_constats.size());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_constats.size())
            return QVariant();
        const Verification_Log::Constat& c = m_constats.at(index.row());
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
            return Verification_Log::Texte(c);
        if (role == Qt::UserRole)
            return c.ligne;
        return QVariant();
    }

private:
    QList<Verification_Log::Constat> m_constats;
};

Verification_Envoi::Verification_Envoi(Sous_Programmes& sp_, QWidget* parent, Source_Liste liste)
    : Fenetre_Rapport(sp_, "Verification_Envoi", QStringLiteral("Vérification du log"), parent), m_liste(std::move(liste))
{
    NOMME(QLabel, Label_Resume, this);
    Label_Resume->setWordWrap(true);
    QFont gras = Label_Resume->font();
    gras.setBold(true);
    Label_Resume->setFont(gras);
    NOMME(QListView, Liste_Constats, this);
    m_constats = new Modele_Constats(this);
    Liste_Constats->setModel(m_constats);
    Liste_Constats->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Thousands of findings on a log typed without care: every row the same height, laid out at once.
    Liste_Constats->setUniformItemSizes(true);
    Liste_Constats->setAccessibleName(QStringLiteral("Remarques sur le log"));
    NOMME(QLabel, Label_Envoi, this);
    Label_Envoi->setWordWrap(true);
    Label_Envoi->setTextInteractionFlags(Qt::TextSelectableByMouse);
    NOMME(QPushButton, Preparer_Envoi, QStringLiteral("&Préparer le dossier d'envoi"), this);
    NOMME(QPushButton, Ouvrir_Envoi, QStringLiteral("&Ouvrir le dossier"), this);
    NOMME(QPushButton, Fermer, QStringLiteral("&Fermer"), this);

    auto* boutons = new QHBoxLayout;
    boutons->addWidget(Preparer_Envoi);
    boutons->addWidget(Ouvrir_Envoi);
    boutons->addStretch();
    boutons->addWidget(Fermer);
    auto* tout = new QVBoxLayout(this);
    tout->addWidget(Label_Resume);
    tout->addWidget(Liste_Constats, 1);
    tout->addWidget(Label_Envoi);
    tout->addLayout(boutons);

    connect(Preparer_Envoi, &QPushButton::clicked, this, &Verification_Envoi::Verification_Envoi_Preparer_Click);
    connect(Ouvrir_Envoi, &QPushButton::clicked, this, &Verification_Envoi::Verification_Envoi_Ouvrir_Click);
    connect(Fermer, &QPushButton::clicked, this, &QWidget::close);
    connect(Liste_Constats, &QListView::activated, this, &Verification_Envoi::Liste_Constats_DblClick);
}

void Verification_Envoi::Verification_Envoi_Form_Load()
{
    QSize taille(800, 480);
    if (QScreen* ecran = screen())
        taille = taille.boundedTo(ecran->availableSize() * 0.9);
    resize(taille);
    Apparence::Centrer(this);
    // The state the main window shows holds the bytes; the log is read only before any state.
    const Etat_Log& etat = sp.Etat();
    if (etat.lu)
        Verifier(&etat.contenu, etat.bilan);
    else
        Lire_Log([this](const QByteArray* contenu) {
            Verifier(contenu, contenu ? Series_Saison::Calculer_Bilan(*contenu) : Series_Saison::Bilan());
        });
    show();
}

void Verification_Envoi::Suivre_Log(const Etat_Log& etat)
{
    Verifier(etat.lu ? &etat.contenu : nullptr, etat.bilan);
}

void Verification_Envoi::Verifier_A_Nouveau()
{
    Verifier(m_lu ? &m_contenu : nullptr, m_bilan);
}

void Verification_Envoi::Verifier(const QByteArray* contenu, const Series_Saison::Bilan& bilan)
{
    m_lu = contenu != nullptr;
    m_contenu = contenu ? *contenu : QByteArray();
    m_bilan = bilan;
    m_constats->Remplacer({});
    if (!contenu) {
        Label_Resume->setText(QStringLiteral("Le log n'a pas pu être lu."));
        Suivre_Envoi();
        return;
    }
    const Liste_Chateaux* liste = m_liste ? m_liste() : nullptr;
    QList<Verification_Log::Constat> constats =
        Verification_Log::Verifier(*contenu, sp.Annee_Challenge(), sp.plateforme().Maintenant_Utc().date(), liste);
    Label_Resume->setText(Verification_Log::Resume(bilan, constats.size()));
    m_constats->Remplacer(std::move(constats));
    Suivre_Envoi();
}

void Verification_Envoi::Suivre_Envoi()
{
    const QString dossier = sp.reglages().Dossier_Envoi(sp.Indicatif_Station(), sp.Annee_Challenge());
    const QString copie = dossier + QLatin1Char('/') + QFileInfo(sp.Nom_Log()).fileName();
    if (dossier.isEmpty() || !QFileInfo(copie).isFile()) {
        Label_Envoi->setText(QStringLiteral("Aucun dossier d'envoi n'a encore été préparé pour ce log."));
        Ouvrir_Envoi->setEnabled(false);
        return;
    }
    Ouvrir_Envoi->setEnabled(true);
    if (dossier != m_dossierLu) {
        // Read as the program reads the log, so that the two compare whatever form the log has.
        m_logEnvoye.clear();
        FichierLog::Lire_Tout(copie, m_logEnvoye);
        m_dossierLu = dossier;
    }
    const QDateTime quand = sp.reglages().Date_Envoi(sp.Indicatif_Station(), sp.Annee_Challenge());
    const QString date = quand.toString(QStringLiteral("dd/MM/yyyy")), heure = quand.toString(QStringLiteral("HH:mm"));
    const QString chemin = QDir::toNativeSeparators(dossier);
    if (m_lu && m_contenu != m_logEnvoye)
        Label_Envoi->setText(QStringLiteral("Le log a changé depuis le dossier d'envoi du %1 à %2 : "
                                            "préparez un nouveau dossier avant de l'envoyer.\n%3")
                                 .arg(date, heure, chemin));
    else
        Label_Envoi->setText(QStringLiteral("Dossier d'envoi préparé le %1 à %2 :\n%3").arg(date, heure, chemin));
}

void Verification_Envoi::Verification_Envoi_Preparer_Click()
{
    Dossier_Envoi::Demande demande;
    demande.log = sp.Nom_Log();
    demande.indicatif = sp.Indicatif_Station();
    demande.annee = sp.Annee_Challenge();
    demande.jour = sp.plateforme().Maintenant_Utc().date();
    const Dossier_Envoi::Resultat r = Dossier_Envoi::Preparer(demande);
    if (!r.Ok()) {
        sp.plateforme().Message(r.erreur, this);
        return;
    }
    sp.reglages().Definir_Envoi(sp.Indicatif_Station(), sp.Annee_Challenge(), r.dossier, sp.plateforme().Maintenant_Local());
    // A folder of the same name was replaced: its copy of the log is read again.
    m_dossierLu.clear();
    Suivre_Envoi();
    Ouvrir_Envoi->setFocus();
}

void Verification_Envoi::Verification_Envoi_Ouvrir_Click()
{
    const QString dossier = sp.reglages().Dossier_Envoi(sp.Indicatif_Station(), sp.Annee_Challenge());
    if (!sp.plateforme().Ouvrir_Dossier(dossier))
        sp.plateforme().Message(QStringLiteral("Le gestionnaire de fichiers n'a pas pu être ouvert. Le dossier d'envoi est :\r\n")
                                    + QDir::toNativeSeparators(dossier),
                                this);
}

void Verification_Envoi::Liste_Constats_DblClick()
{
    const QModelIndex rangee = Liste_Constats->currentIndex();
    if (rangee.isValid())
        emit Ligne_Choisie(rangee.data(Qt::UserRole).toInt() - 1);
}
