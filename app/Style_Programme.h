#pragma once

#include <QProxyStyle>

// The program's look: Fusion, the same on every desktop. Fusion reads the arrow of the menu
// bar's extension button from a picture as the menu bar is made, and the first picture read
// in a program loads every image plugin of the system: that arrow, which shows only when the
// window is too narrow for its menus, is read when it is first drawn, after the main window is
// on the screen.
class Style_Programme : public QProxyStyle
{
public:
    Style_Programme();
    QIcon standardIcon(StandardPixmap icone, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};
