// Draws the program's icon at the sizes a desktop's icon theme asks for, from the one SVG,
// so that no image tool is needed to build or install the program.
// Usage: kvrt_generer_icones <icon.svg> <output folder> <name> <size>...
// writes <output folder>/<size>x<size>/apps/<name>.png for each size.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char* argv[])
{
    // Nothing is shown: the offscreen platform needs no display, as on a build machine.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s <icon.svg> <output folder> <name> <size>...\n", argv[0]);
        return 2;
    }
    const QString svg = QString::fromLocal8Bit(argv[1]);
    const QString dossier = QString::fromLocal8Bit(argv[2]);
    const QString nom = QString::fromLocal8Bit(argv[3]);

    QSvgRenderer rendu(svg);
    if (!rendu.isValid()) {
        std::fprintf(stderr, "cannot read the icon %s\n", argv[1]);
        return 1;
    }
    for (int i = 4; i < argc; ++i) {
        bool nombre = false;
        const int taille = QString::fromLocal8Bit(argv[i]).toInt(&nombre);
        if (!nombre || taille < 8 || taille > 1024) {
            std::fprintf(stderr, "bad size %s\n", argv[i]);
            return 2;
        }
        QImage image(taille, taille, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter peintre(&image);
        peintre.setRenderHint(QPainter::Antialiasing);
        peintre.setRenderHint(QPainter::SmoothPixmapTransform);
        rendu.render(&peintre, QRectF(0, 0, taille, taille));
        peintre.end();
        const QString sousDossier = dossier + QStringLiteral("/%1x%1/apps").arg(taille);
        const QString fichier = sousDossier + QLatin1Char('/') + nom + QStringLiteral(".png");
        if (!QDir().mkpath(sousDossier) || !image.save(fichier, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(fichier));
            return 1;
        }
    }
    return 0;
}
