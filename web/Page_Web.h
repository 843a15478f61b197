#pragma once

#include "Reglages.h"

#include <QMargins>
#include <QSize>
#include <QWidget>

class QLabel;
class QWebEngineView;
class Sous_Programmes;

// A web window: one page, loaded once when the window opens. The rules ("Reglement") and the
// reference list of a departement ("Liste_KVRT1") are two of them, each with its own name,
// title and place.
class Page_Web : public QWidget
{
    Q_OBJECT

public:
    struct Forme
    {
        const char* nom;
        QString titre;
        // Sizes in pixels of the original layout (twips / 15): the client area, and the
        // browser's margins inside it, which it keeps when the operator resizes the window.
        QSize taille;
        QMargins marges;
        // Below the centre of the screen by this much, out of the way of the main list.
        int decalageVertical = 0;
    };

    Page_Web(Sous_Programmes& sp, const Forme& forme, QWidget* parent = nullptr);

    // Shows the window, placed, and loads the page, whose host the setting `site` names. An
    // empty address leaves the window empty, and the operator is told why (sansAdresse).
    void Form_Load(const QString& adresse, Reglages::Site site, const QString& sansAdresse = QString());

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    Sous_Programmes& sp;
    QWebEngineView* WebBrowser1;
    // In the browser's place when the page cannot be loaded.
    QLabel* Page_Injoignable;
    QMargins m_marges;
    int m_decalage;
};
