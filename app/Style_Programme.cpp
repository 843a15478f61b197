#include "Style_Programme.h"

#include <QIconEngine>
#include <QPainter>
#include <QStyleFactory>

#include <functional>

namespace {

// An icon made the first time it is drawn or measured.
class Icone_A_La_Demande : public QIconEngine
{
public:
    explicit Icone_A_La_Demande(std::function<QIcon()> faire) : m_faire(std::move(faire)) {}

    void paint(QPainter* peintre, const QRect& cadre, QIcon::Mode mode, QIcon::State etat) override
    {
        Icone().paint(peintre, cadre, Qt::AlignCenter, mode, etat);
    }
    QPixmap pixmap(const QSize& taille, QIcon::Mode mode, QIcon::State etat) override
    {
        return Icone().pixmap(taille, mode, etat);
    }
    QSize actualSize(const QSize& taille, QIcon::Mode mode, QIcon::State etat) override
    {
        return Icone().actualSize(taille, mode, etat);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State etat) override
    {
        return Icone().availableSizes(mode, etat);
    }
    QIconEngine* clone() const override { return new Icone_A_La_Demande(*this); }

private:
    const QIcon& Icone()
    {
        if (m_icone.isNull())
            m_icone = m_faire();
        return m_icone;
    }

    std::function<QIcon()> m_faire;
    QIcon m_icone;
};

} // namespace

Style_Programme::Style_Programme() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
{
}

QIcon Style_Programme::standardIcon(StandardPixmap icone, const QStyleOption* option, const QWidget* widget) const
{
    if (icone != SP_ToolBarHorizontalExtensionButton && icone != SP_ToolBarVerticalExtensionButton)
        return QProxyStyle::standardIcon(icone, option, widget);
    const QStyle* fusion = baseStyle();
    return QIcon(new Icone_A_La_Demande([fusion, icone] { return fusion->standardIcon(icone); }));
}
