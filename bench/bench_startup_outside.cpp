// Start-up as a user sees it: from launching the program to its window's
// title naming the page, against the bare engine, warm.

#include "outside.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return orv::bench::RunOutsideStartupBench("startup-outside", 20, false);
}
