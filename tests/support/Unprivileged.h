#pragma once
// Runs a check that needs an ordinary user's file permissions: in this process when it is not
// root, else in a child process that has become the unprivileged user "nobody" (root reads
// anything, so a check of an unreadable file would pass for nothing).

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zv::test {

// The user a root test drops to; none when the system has no "nobody".
inline std::optional<std::pair<uid_t, gid_t>> UnprivilegedUser()
{
    const passwd* User = ::getpwnam("nobody");
    if (!User || User->pw_uid == 0) return std::nullopt;
    return std::make_pair(User->pw_uid, User->pw_gid);
}

// Gives Paths (made by root) to the user Check runs as, so that it owns them as a user owns
// their own folder.
inline void GiveToUnprivileged(const std::vector<std::string>& Paths)
{
    if (::geteuid() != 0) return;
    if (const auto User = UnprivilegedUser())
        for (const std::string& Path : Paths)
            if (::chown(Path.c_str(), User->first, User->second) != 0) return;
}

// Runs Check as an ordinary user; the answer is Check's, or nullopt when there is no user to
// become. Check must not touch gtest: in the child its failures would be lost.
inline std::optional<bool> RunUnprivileged(const std::function<bool()>& Check)
{
    if (::geteuid() != 0) return Check();
    const auto User = UnprivilegedUser();
    if (!User) return std::nullopt;
    const pid_t Child = ::fork();
    if (Child < 0) return std::nullopt;
    if (Child == 0) {
        const bool Dropped = ::setgroups(0, nullptr) == 0 && ::setgid(User->second) == 0 &&
                             ::setuid(User->first) == 0 && ::geteuid() != 0;
        ::_exit(!Dropped ? 2 : Check() ? 0 : 1);
    }
    int Status = 0;
    while (::waitpid(Child, &Status, 0) < 0)
        if (errno != EINTR) return std::nullopt;
    if (WIFEXITED(Status) && WEXITSTATUS(Status) == 2) return std::nullopt;
    return WIFEXITED(Status) && WEXITSTATUS(Status) == 0;
}

}  // namespace zv::test
