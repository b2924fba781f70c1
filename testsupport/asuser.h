#pragma once

// Runs a part of a test as an ordinary user: in a forked child that gives up root for that user and
// groups. Only a suite running as root can switch users; others skip such tests.

#include <grp.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace AsUser {

// What the function returned in the child (empty for success, else what went wrong), or nothing when
// the child could not become the user.
inline std::optional<std::string> run(uid_t user, gid_t group, const std::vector<gid_t>& groups,
                                      const std::function<std::string()>& function)
{
    if (::geteuid() != 0)
        return std::nullopt;
    int channel[2];
    if (::pipe(channel) != 0)
        return std::string("no pipe to the child");
    const pid_t child = ::fork();
    if (child < 0)
        return std::string("no child");
    if (child == 0) {
        ::close(channel[0]);
        const bool switched
            = ::setgroups(groups.size(), groups.data()) == 0 && ::setgid(group) == 0 && ::setuid(user) == 0;
        // The first byte says whether the child became the user.
        const std::string message = (switched ? "1" : "0") + (switched ? function() : std::string());
        for (size_t sent = 0; sent < message.size();) {
            const ssize_t written = ::write(channel[1], message.data() + sent, message.size() - sent);
            if (written <= 0)
                break;
            sent += static_cast<size_t>(written);
        }
        // Nothing of the parent's (a Qt application, test state) is to be torn down twice.
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string message;
    char buffer[4096];
    for (ssize_t size; (size = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        message.append(buffer, static_cast<size_t>(size));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (message.empty())
        return "the child ended without an answer, status " + std::to_string(status);
    if (message[0] == '0')
        return std::nullopt;
    return message.substr(1);
}

} // namespace AsUser
