#include "Page_Web.h"

#include "Adresses_Web.h"
#include "Apparence.h"
#include "Chargement_Page.h"
#include "Controle_Nomme.h"
#include "Plateforme.h"
#include "Sous_Programmes.h"

#include <QLabel>
#include <QWebEngineView>

Page_Web::Page_Web(Sous_Programmes& sp_, const Forme& forme, QWidget* parent)
    : QWidget(parent, Qt::Window), sp(sp_), m_marges(forme.marges), m_decalage(forme.decalageVertical)
{
    setObjectName(QString::fromLatin1(forme.nom));
    // The window and its page are discarded when it closes; nothing to keep.
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(forme.titre);
    NOMME(QWebEngineView, WebBrowser1, this);
    Page_Injoignable = Chargement_Page::Nouveau_Message(this);
    resize(forme.taille);
}

void Page_Web::Form_Load(const QString& adresse, Reglages::Site site, const QString& sansAdresse)
{
    // Placed once shown, when the size of the window's frame is known.
    show();
    Apparence::Centrer(this, m_decalage);
    if (adresse.isEmpty()) {
        // No line selected yet, or a line without a reference: the window stays, empty.
        sp.plateforme().Message(sansAdresse, this);
        return;
    }
    Chargement_Page::Charger(WebBrowser1, Page_Injoignable, adresse, Adresses_Web::Texte_Page_Injoignable(sp.reglages(), adresse, site));
}

void Page_Web::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    WebBrowser1->setGeometry(m_marges.left(), m_marges.top(), qMax(0, width() - m_marges.left() - m_marges.right()),
                             qMax(0, height() - m_marges.top() - m_marges.bottom()));
    Page_Injoignable->setGeometry(WebBrowser1->geometry());
}
