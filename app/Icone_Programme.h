#pragma once

#include <QObject>

class QWindow;

// The program's icon, from the icon theme (the SVG built into the program where the theme has
// none). The theme's first reading takes longer than the rest of the start: the main window
// goes on the screen first and takes its icon at once after; a window that opens before it
// (the first installation's Station window, a question) takes it as it opens.
class Icone_Programme : public QObject
{
public:
    // Watches the windows of the application from now on.
    Icone_Programme();

protected:
    bool eventFilter(QObject* objet, QEvent* event) override;

private:
    void Poser();
    QWindow* m_principale = nullptr;
    bool m_posee = false;
};
