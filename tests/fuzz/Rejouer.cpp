// Runs the inputs kept in tests/data/fuzz through a target's checks, in the normal build:
// what the fuzzer found once stays found.
//
//   kvrt_rejouer_<target> <file or folder>...

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille);

static void Rejouer(const QString& chemin, int& nombre)
{
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(chemin));
        std::exit(2);
    }
    const QByteArray octets = f.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(octets.constData()), size_t(octets.size()));
    ++nombre;
}

int main(int argc, char* argv[])
{
    int nombre = 0;
    for (int i = 1; i < argc; ++i) {
        const QString chemin = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(chemin).isDir()) {
            QDirIterator it(chemin, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext())
                Rejouer(it.next(), nombre);
        } else {
            Rejouer(chemin, nombre);
        }
    }
    std::printf("%d inputs replayed\n", nombre);
    return nombre > 0 ? 0 : 1;
}
