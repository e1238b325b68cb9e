// A second copy of the program for the single-copy test.
//
//   singlecopy_peer NAME [ARGUMENT]  hands ARGUMENT (none: raise only) to the
//                                    copy listening on NAME; exits with 0 when
//                                    delivered, 1 when no copy runs, 2 when a
//                                    copy runs but did not confirm, 5 when
//                                    the socket is not to be trusted
//   singlecopy_peer --crash NAME     listens on NAME, writes "listening" and
//                                    kills itself, leaving its socket file
#include "platform/singlecopy.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--crash") {
        orv::SingleCopy single(QString::fromLocal8Bit(argv[2]));
        if (!single.listen())
            return 3;
        std::puts("listening");
        std::fflush(stdout);
        ::kill(::getpid(), SIGKILL);
        return 4;
    }
    if (argc < 2 || argc > 3) {
        std::fputs("usage: singlecopy_peer NAME [ARGUMENT] | --crash NAME\n", stderr);
        return 64;
    }
    const QString argument = argc == 3 ? QString::fromLocal8Bit(argv[2]) : QString();
    using Result = orv::SingleCopy::HandOverResult;
    switch (orv::SingleCopy::tryHandOver(argument, 1000, QString::fromLocal8Bit(argv[1]))) {
    case Result::Delivered:
        return 0;
    case Result::NoCopy:
        return 1;
    case Result::NotDelivered:
        break;
    case Result::Untrusted:
        return 5;
    }
    return 2;
}
