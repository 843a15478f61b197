#pragma once

#include <QString>

// The activity types of the record as the tests write them, one name each for every test
// program (the core's included, which link no window).
inline const QString Cc = QStringLiteral("Chateau Contacte");
inline const QString Rc = QStringLiteral("Reactivation Contactee");
inline const QString Res = QStringLiteral("Resident Contacte");
inline const QString Ca = QStringLiteral("Chateau active");
inline const QString Ra = QStringLiteral("Reactivation activee");
inline const QString Rsa = QStringLiteral("Resident active");
inline const QString Oa = QStringLiteral("Operateur activation");
inline const QString Or = QStringLiteral("Operateur reactivation");
inline const QString Db = QStringLiteral("Double ou non validé");
