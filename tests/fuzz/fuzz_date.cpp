// The date of a record read as a number, its two-digit year widened, which decides where an
// insertion goes: the value must order dates as the calendar does, day/month/year.

#include "Enregistrement.h"
#include "Texte1252.h"
#include "Verifications.h"

#include <tuple>

using namespace Enregistrement;

namespace {

// The date as the operator reads it, from the characters alone; false when it is not one.
bool Lire(QStringView t, std::tuple<int, int, int>& date)
{
    if (t.size() < 8 || t.at(2) != u'/' || t.at(5) != u'/')
        return false;
    int c[6];
    const int places[6] = {0, 1, 3, 4, 6, 7};
    for (int i = 0; i < 6; ++i) {
        const char16_t u = t.at(places[i]).unicode();
        if (u < u'0' || u > u'9')
            return false;
        c[i] = u - u'0';
    }
    const int aa = c[4] * 10 + c[5];
    date = {aa >= 50 ? 1900 + aa : 2000 + aa, c[2] * 10 + c[3], c[0] * 10 + c[1]};
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille)
{
    const QString texte = Texte1252::Decoder(Octets_Entree(donnees, taille));
    // Two dates: the first 8 characters and the rest.
    const QStringView a = QStringView(texte).left(8);
    const QStringView b = QStringView(texte).mid(qMin<qsizetype>(8, texte.size()));
    int va = -7, vb = -7;
    std::tuple<int, int, int> da, db;
    const bool la = Date_Comparable(a, va), lb = Date_Comparable(b, vb);
    EXIGER(la == Lire(a, da));
    EXIGER(lb == Lire(b, db));
    if (la) {
        EXIGER(Controle_Format_Date(a) == 0);
        EXIGER(va == std::get<0>(da) * 10000 + std::get<1>(da) * 100 + std::get<2>(da));
        EXIGER(va >= 19500000 && va <= 20499999);
    } else if (a.size() == 8) {
        EXIGER(Controle_Format_Date(a) == 1);
    }
    if (la && lb) {
        EXIGER((va < vb) == (da < db));
        EXIGER((va == vb) == (da == db));
    }
    return 0;
}
