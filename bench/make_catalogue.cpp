// make_catalogue FOLDER N [TEMPLATES]: writes a program folder with N photos.
#include "bench/catalogue_gen.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_catalogue FOLDER N [TEMPLATE_FOLDER]\n");
        return 2;
    }
    const QString templates = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral(MARVISTO_DIST_DIR);
    return mv::bench::generateCatalogue(QString::fromLocal8Bit(argv[1]), templates, std::atoi(argv[2])) ? 0 : 1;
}
