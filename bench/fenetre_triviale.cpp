// The yardstick of the start-up measure: the smallest Qt Widgets program that shows a window,
// built with the same compiler and options as the logbook.
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLabel fenetre(QStringLiteral("Fenêtre triviale"));
    fenetre.setWindowTitle(QStringLiteral("Fenetre triviale"));
    fenetre.resize(320, 200);
    fenetre.show();
    return app.exec();
}
