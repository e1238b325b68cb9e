#include "mainwin/startup.h"

// The program's entry: everything happens in Main (startup.cpp).
int main(int argc, char** argv)
{
    return orv::Main(argc, argv);
}
