#include "Reglement.h"

#include "Adresses_Web.h"
#include "Apparence.h"
#include "Chargement_Page.h"
#include "Sous_Programmes.h"

#include <QCloseEvent>
#include <QLabel>
#include <QUrl>
#include <QWebEngineView>

// Sizes in pixels of the original layout (twips / 15): the client area and the browser
// inside it, which follows when the operator resizes the window.
static constexpr int Largeur = 913;
static constexpr int Hauteur = 578;
static constexpr int Marge_Gauche = 8;
static constexpr int Marge_Haut = 0;
static constexpr int Marge_Droite = 8;
static constexpr int Marge_Bas = 9;

Reglement::Reglement(Sous_Programmes& sp_, QWidget* parent) : QWidget(parent, Qt::Window), sp(sp_)
{
    setObjectName(QStringLiteral("Reglement"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Reglement"));
    WebBrowser1 = new QWebEngineView(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    Page_Injoignable = Chargement_Page::Nouveau_Message(this);
    resize(Largeur, Hauteur);
}

void Reglement::Reglement_Form_Load()
{
    // Centred once shown, when the size of the window's frame is known.
    show();
    Apparence::Centrer(this);
    const QString adresse = Adresses_Web::Adresse_Reglement(sp.reglages);
    Chargement_Page::Charger(WebBrowser1, Page_Injoignable, adresse,
                             Adresses_Web::Texte_Page_Injoignable(sp.reglages, adresse, Reglages::Site::Reglement));
}

void Reglement::Reglement_Form_Unload()
{
    // The window and its page are discarded; nothing to keep.
}

void Reglement::closeEvent(QCloseEvent* event)
{
    Reglement_Form_Unload();
    event->accept();
}

void Reglement::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    WebBrowser1->setGeometry(Marge_Gauche, Marge_Haut, qMax(0, width() - Marge_Gauche - Marge_Droite),
                             qMax(0, height() - Marge_Haut - Marge_Bas));
    Page_Injoignable->setGeometry(WebBrowser1->geometry());
}
