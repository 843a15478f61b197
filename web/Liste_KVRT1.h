#pragma once

#include <QWidget>

class QLabel;
class QWebEngineView;
class Sous_Programmes;

// The reference list of the departement of the QSO last selected in the main list,
// loaded once when the window opens.
class Liste_KVRT1 : public QWidget
{
    Q_OBJECT

public:
    Liste_KVRT1(Sous_Programmes& sp, QWidget* parent = nullptr);

    QWebEngineView* WebBrowser1;
    // In the browser's place when the page cannot be loaded.
    QLabel* Page_Injoignable;

    void Liste_KVRT1_Form_Load();
    void Liste_KVRT1_Form_Unload();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Sous_Programmes& sp;
};
