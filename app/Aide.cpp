#include "Aide.h"

#include "Apparence.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

Aide::Aide(const QString& fichier, QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Aide"));
    setAttribute(Qt::WA_DeleteOnClose);
    Apparence::Fermer_Par_Echap(this);
    setWindowTitle(QStringLiteral("QEZ_Challenge_KVRT - Mode d'emploi"));
    Texte = new QTextBrowser(this);
    Texte->setObjectName(QStringLiteral("Texte"));
    Texte->setOpenExternalLinks(true);
    // The help file is HTML under its historical name; pictures sit beside it.
    Texte->setSearchPaths({QFileInfo(fichier).absolutePath()});
    Texte->setSource(QUrl::fromLocalFile(fichier), QTextDocument::HtmlResource);
    auto* sommaire = new QPushButton(QStringLiteral("Sommaire"), this);
    auto* fermer = new QPushButton(QStringLiteral("Fermer"), this);
    connect(sommaire, &QPushButton::clicked, this, [this] { Texte->scrollToAnchor(QStringLiteral("sommaire")); });
    connect(fermer, &QPushButton::clicked, this, &QWidget::close);
    auto* boutons = new QHBoxLayout;
    boutons->addWidget(sommaire);
    boutons->addStretch();
    boutons->addWidget(fermer);
    auto* tout = new QVBoxLayout(this);
    tout->addWidget(Texte);
    tout->addLayout(boutons);
    resize(760, 640);
}
