#include "Web.h"

#include "Adresses_Web.h"
#include "Page_Web.h"
#include "Sous_Programmes.h"

QWidget* Module_Web::Ouvrir_Reglement(Sous_Programmes& sp, QWidget* parent)
{
    auto* fenetre = new Page_Web(sp, {"Reglement", QStringLiteral("Reglement"), QSize(913, 578), QMargins(8, 0, 8, 9)}, parent);
    fenetre->Form_Load(Adresses_Web::Adresse_Reglement(sp.reglages()), Reglages::Site::Reglement);
    return fenetre;
}

QWidget* Module_Web::Ouvrir_Liste_KVRT1(Sous_Programmes& sp, const QString& ligneListe, QWidget* parent)
{
    // 1750 twips below the centre: the centring formula gets 3500 twips more, in pixels.
    auto* fenetre = new Page_Web(sp, {"Liste_KVRT1", Adresses_Web::Titre_Liste(sp.reglages()), QSize(902, 321), QMargins(8, 8, 5, 8), 3500 / 15},
                                 parent);
    fenetre->Form_Load(Adresses_Web::Adresse_Departement(sp.reglages(), ligneListe), Reglages::Site::Departements,
                       QStringLiteral("Pas de département spécifié dans ce QSO"));
    return fenetre;
}
