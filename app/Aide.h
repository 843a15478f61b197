#pragma once

#include <QWidget>

class QTextBrowser;

// The user's manual, opened at its table of contents.
class Aide : public QWidget
{
    Q_OBJECT

public:
    explicit Aide(const QString& fichier, QWidget* parent = nullptr);
    QTextBrowser* Texte;
};
