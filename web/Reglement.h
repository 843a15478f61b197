#pragma once

#include <QWidget>

class QLabel;
class QWebEngineView;
class Sous_Programmes;

// "Reglement": the contest rules, loaded once when the window opens.
class Reglement : public QWidget
{
    Q_OBJECT

public:
    Reglement(Sous_Programmes& sp, QWidget* parent = nullptr);

    QWebEngineView* WebBrowser1;
    // In the browser's place when the page cannot be loaded.
    QLabel* Page_Injoignable;

    void Reglement_Form_Load();
    void Reglement_Form_Unload();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Sous_Programmes& sp;
};
