#include "Chargement_Page.h"

#include <QLabel>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace Chargement_Page {

QLabel* Nouveau_Message(QWidget* fenetre)
{
    auto* message = new QLabel(fenetre);
    message->setObjectName(QStringLiteral("Page_Injoignable"));
    message->setWordWrap(true);
    message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    message->hide();
    return message;
}

void Charger(QWebEngineView* vue, QLabel* message, const QString& adresse, const QString& echec)
{
    // The engine's own error page is in English and names no setting: it is not drawn at all.
    vue->settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    QObject::connect(
        vue, &QWebEngineView::loadFinished, message,
        [vue, message, echec](bool reussi) {
            if (reussi)
                return;
            message->setText(echec);
            message->setGeometry(vue->geometry());
            vue->hide();
            message->show();
        },
        Qt::SingleShotConnection);
    // "departement 60" keeps its blank; the browser encodes it in the request.
    vue->setUrl(QUrl(adresse));
}

} // namespace Chargement_Page
