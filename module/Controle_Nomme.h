#pragma once

#include <QString>

// A control made with its object name, the name of the member that holds it, by which the
// tests, the manual and the key filter find it:
//   NOMME(QLabel, Label11, QStringLiteral("Total Points"));
// makes Label11 = new QLabel(QStringLiteral("Total Points")) named "Label11".
template <typename T>
T* Controle_Nomme(T* controle, const char* nom)
{
    controle->setObjectName(QString::fromLatin1(nom));
    return controle;
}
#define NOMME(type, nom, ...) nom = Controle_Nomme(new type(__VA_ARGS__), #nom)
