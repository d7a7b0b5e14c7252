// Prints where the program would read each named data file from, as an
// installed program sees it: run from the bin folder of an installed tree.
#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    for (int i = 1; i < argc; ++i)
        out << tw::besideProgram(QString::fromLocal8Bit(argv[i])) << '\n';
    return 0;
}
