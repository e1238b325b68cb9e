// Start-up as a user sees it on a first start: a fresh home folder each time.

#include "outside.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return orv::bench::RunOutsideStartupBench("startup-outside-cold", 16, true);
}
