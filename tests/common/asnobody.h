#pragma once

// Runs a piece of a test where an unprivileged user would run it: permission
// bits stop such a user, never root. Under root the piece runs in a child
// process as "nobody"; otherwise it runs here. The piece answers with an
// exit code (0 for success).

#include <QFile>
#include <QString>

#include <functional>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orv {

inline constexpr uid_t kNobodyUser = 65534;
// The answer when the child could not become "nobody".
inline constexpr int kNoUserChange = 126;

// Owns `path` by "nobody" when running as root (so that the piece may write
// where a user may write); true on success or when no change is needed.
[[nodiscard]] inline bool GiveToUser(const QString& path)
{
    if (::geteuid() != 0)
        return true;
    return ::chown(QFile::encodeName(path).constData(), kNobodyUser, kNobodyUser) == 0;
}

// The piece's exit code; -1 when the child ended otherwise.
inline int RunAsUser(const std::function<int()>& piece)
{
    if (::geteuid() != 0)
        return piece();
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobodyUser) != 0 ||
            ::setuid(kNobodyUser) != 0)
            ::_exit(kNoUserChange);
        ::_exit(piece());
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace orv
