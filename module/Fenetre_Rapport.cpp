#include "Fenetre_Rapport.h"

#include "Apparence.h"
#include "FichierLog.h"
#include "Plateforme.h"
#include "Sous_Programmes.h"

#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

Fenetre_Rapport::Fenetre_Rapport(Sous_Programmes& sp_, const char* nom, const QString& titre, QWidget* parent)
    : QWidget(parent, Qt::Window), sp(sp_)
{
    setObjectName(QString::fromLatin1(nom));
    setWindowTitle(titre);
    setAttribute(Qt::WA_DeleteOnClose);
    Apparence::Fermer_Par_Echap(this);
    connect(&sp, &Sous_Programmes::Etat_Change, this, &Fenetre_Rapport::Suivre_Log);
}

void Fenetre_Rapport::Suivre_Log(const Etat_Log&)
{
}

void Fenetre_Rapport::Lire_Log(const std::function<void(const QByteArray*)>& remplir)
{
    QByteArray contenu;
    const ErreurFichier e = FichierLog::Lire_Tout(sp.Nom_Log(), contenu);
    remplir(e.ok() ? &contenu : nullptr);
    if (!e.ok()) {
        show();
        sp.plateforme().Message(e.message, this);
    }
}

void Fenetre_Rapport::Cadre_Titre(QGroupBox* cadre, QLabel* titre)
{
    QFont police = titre->font();
    police.setPointSize(12);
    police.setBold(true);
    titre->setFont(police);
    titre->setAlignment(Qt::AlignCenter);
    (new QVBoxLayout(cadre))->addWidget(titre);
}
