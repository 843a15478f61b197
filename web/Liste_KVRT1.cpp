#include "Liste_KVRT1.h"

#include "Adresses_Web.h"
#include "Apparence.h"
#include "Chargement_Page.h"
#include "Plateforme.h"
#include "Sous_Programmes.h"

#include <QCloseEvent>
#include <QLabel>
#include <QUrl>
#include <QWebEngineView>

// Sizes in pixels of the original layout (twips / 15): the client area and the browser
// inside it, which follows when the operator resizes the window.
static constexpr int Largeur = 902;
static constexpr int Hauteur = 321;
static constexpr int Marge_Gauche = 8;
static constexpr int Marge_Haut = 8;
static constexpr int Marge_Droite = 5;
static constexpr int Marge_Bas = 8;
// The window opens 1750 twips below the centre, out of the way of the main list: the
// centring formula gets 3500 twips more, in pixels.
static constexpr int Decalage_Vertical = 3500 / 15;

Liste_KVRT1::Liste_KVRT1(Sous_Programmes& sp_, QWidget* parent) : QWidget(parent, Qt::Window), sp(sp_)
{
    setObjectName(QStringLiteral("Liste_KVRT1"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Adresses_Web::Titre_Liste(sp.reglages));
    WebBrowser1 = new QWebEngineView(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    Page_Injoignable = Chargement_Page::Nouveau_Message(this);
    resize(Largeur, Hauteur);
}

void Liste_KVRT1::Liste_KVRT1_Form_Load()
{
    // Placed once shown, when the size of the window's frame is known.
    show();
    Apparence::Centrer(this, Decalage_Vertical);
    const QString adresse = Adresses_Web::Adresse_Departement(sp.reglages, sp.Ligne_Selectionnee);
    if (adresse.isEmpty()) {
        // No line selected yet, or a line without a reference: the window stays, empty.
        sp.plateforme.Message(QStringLiteral("Pas de département spécifié dans ce QSO"), this);
        return;
    }
    Chargement_Page::Charger(WebBrowser1, Page_Injoignable, adresse,
                             Adresses_Web::Texte_Page_Injoignable(sp.reglages, adresse, Reglages::Site::Departements));
}

void Liste_KVRT1::Liste_KVRT1_Form_Unload()
{
    // The window and its page are discarded; nothing to keep.
}

void Liste_KVRT1::closeEvent(QCloseEvent* event)
{
    Liste_KVRT1_Form_Unload();
    event->accept();
}

void Liste_KVRT1::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    WebBrowser1->setGeometry(Marge_Gauche, Marge_Haut, qMax(0, width() - Marge_Gauche - Marge_Droite),
                             qMax(0, height() - Marge_Haut - Marge_Bas));
    Page_Injoignable->setGeometry(WebBrowser1->geometry());
}
