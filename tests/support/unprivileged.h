#pragma once

#include <sys/types.h>
#include <unistd.h>

// Runs the program as an ordinary user while it lives, so that files without read
// permission are unreadable even when the tests run as root. Only the effective ids change:
// the real ones stay root, and the destructor takes root back.
class UnprivilegedScope {
public:
    static constexpr uid_t kNobody = 65534;

    UnprivilegedScope()
    {
        if (::geteuid() != 0)
            return;
        m_switched = ::setegid(kNobody) == 0 && ::seteuid(kNobody) == 0;
    }
    ~UnprivilegedScope()
    {
        if (m_switched) {
            [[maybe_unused]] const int user = ::seteuid(0);
            [[maybe_unused]] const int group = ::setegid(0);
        }
    }
    UnprivilegedScope(const UnprivilegedScope&) = delete;
    UnprivilegedScope& operator=(const UnprivilegedScope&) = delete;

    // Whether files without permission for their reader are now unreadable.
    bool permissionsApply() const { return ::geteuid() != 0; }

private:
    bool m_switched = false;
};
