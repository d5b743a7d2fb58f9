#pragma once

#include <QString>

#include <sys/types.h>

// The program that converts media: "ffmpeg" beside the program when an executable file of
// that name is there, else the bare name, which the command interpreter looks up on PATH.
QString FfmpegProgram(const QString& programFolder);

// A command run by the command interpreter (/bin/sh -c) in a given folder, its standard
// output and standard error going into one pipe that only this object reads. Standard input
// is this process's own. The output ends when every process holding the pipe has ended, so
// a descendant that keeps it open keeps the output going.
class ShellCommandChild final {
public:
    ShellCommandChild() = default;
    // Closes the read end. A child still running is left to end on its own; one that has
    // ended is reaped.
    ~ShellCommandChild();
    ShellCommandChild(const ShellCommandChild&) = delete;
    ShellCommandChild& operator=(const ShellCommandChild&) = delete;

    // False when the interpreter could not be started, for example because the folder
    // does not exist.
    bool start(const QString& command, const QString& workingFolder);

    // Waits up to timeoutMs for output. Returns the number of bytes read (more than 0), 0 at
    // the end of the output, or -1 when nothing came in time. Throws std::system_error when
    // reading fails.
    qint64 read(char* buffer, qint64 size, int timeoutMs);

    // Waits up to timeoutMs for the interpreter to end; true once it has ended.
    bool waitForExit(int timeoutMs);
    // The interpreter's exit status once it has ended (128 + signal when killed).
    int exitCode() const { return m_exitCode; }

private:
    pid_t m_pid = -1;
    int m_readEnd = -1;
    bool m_ended = false;
    int m_exitCode = -1;
};
