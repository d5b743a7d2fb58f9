#include "platform/mediaplatform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <chrono>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

QString FfmpegProgram(const QString& programFolder)
{
    const QFileInfo beside(QDir(programFolder).filePath(QStringLiteral("ffmpeg")));
    if (!programFolder.isEmpty() && beside.isFile() && beside.isExecutable())
        return beside.absoluteFilePath();
    return QStringLiteral("ffmpeg");
}

ShellCommandChild::~ShellCommandChild()
{
    if (m_readEnd >= 0)
        ::close(m_readEnd);
    if (m_pid > 0 && !m_ended)
        ::waitpid(m_pid, nullptr, WNOHANG);
}

bool ShellCommandChild::start(const QString& command, const QString& workingFolder)
{
    int ends[2];
    // Close-on-exec, so that no other program started meanwhile inherits either end; the
    // child gets the write end as its descriptors 1 and 2, which dup2 leaves inheritable.
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return false;
    m_readEnd = ends[0];
    const int writeEnd = ends[1];

    const QByteArray folder = QFile::encodeName(workingFolder);
    const QByteArray commandBytes = command.toLocal8Bit();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, writeEnd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, writeEnd, STDERR_FILENO);
    if (!folder.isEmpty())
        posix_spawn_file_actions_addchdir_np(&actions, folder.constData());

    char shell[] = "/bin/sh";
    char dashC[] = "-c";
    char* arguments[] = {shell, dashC, const_cast<char*>(commandBytes.constData()), nullptr};
    pid_t pid = -1;
    const int failure = ::posix_spawn(&pid, shell, &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);

    // From here only the child and its descendants hold the write end, so the output
    // ends when the last of them has ended.
    ::close(writeEnd);
    if (failure != 0) {
        ::close(m_readEnd);
        m_readEnd = -1;
        return false;
    }
    m_pid = pid;
    return true;
}

qint64 ShellCommandChild::read(char* buffer, qint64 size, int timeoutMs)
{
    if (m_readEnd < 0)
        return 0;
    pollfd watched{m_readEnd, POLLIN, 0};
    const int ready = ::poll(&watched, 1, timeoutMs);
    if (ready < 0 && errno != EINTR)
        throw std::system_error(errno, std::generic_category(), "Reading the command's output");
    if (ready <= 0)
        return -1;
    for (;;) {
        const ssize_t count = ::read(m_readEnd, buffer, static_cast<size_t>(size));
        if (count >= 0)
            return count;
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN)
            return -1;
        throw std::system_error(errno, std::generic_category(), "Reading the command's output");
    }
}

bool ShellCommandChild::waitForExit(int timeoutMs)
{
    if (m_pid <= 0 || m_ended)
        return true;
    // Polls the child in short steps, so that the caller's idle work runs in between.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int status = 0;
        const pid_t result = ::waitpid(m_pid, &status, WNOHANG);
        if (result == m_pid || (result < 0 && errno == ECHILD)) {
            m_ended = true;
            if (result == m_pid)
                m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}
