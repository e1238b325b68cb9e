// First start: a fresh home folder every time (the program writes its data folder).

#include "benchsupport.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return orv::bench::RunStartupBench("startup-cold", 24, true);
}
