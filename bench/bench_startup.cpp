// Start-up: the program against the bare engine, each starting on one page, warm.

#include "benchsupport.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return orv::bench::RunStartupBench("startup", 40, false);
}
