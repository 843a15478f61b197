#pragma once

#include <QByteArray>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A broken rule stops the run at once, so that libFuzzer keeps the input that broke it.
#define EXIGER(condition)                                                                         \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "rule broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__);   \
            std::abort();                                                                         \
        }                                                                                         \
    } while (false)

inline QByteArray Octets_Entree(const uint8_t* donnees, size_t taille)
{
    return QByteArray(reinterpret_cast<const char*>(donnees), qsizetype(taille));
}
