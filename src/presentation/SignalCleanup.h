#pragma once

#include <QByteArray>

// Files and folders that must not outlive the process when a signal ends it: an interrupt,
// a terminal hang-up, a termination request or a closed pipe removes each one still held and
// then ends the process as the signal would have. Nothing survives kill -9 this way; outputs
// that can be unnamed until complete never need this.
class SignalCleanup
{
public:
    enum class Kind { File, Folder };

    // Holds nothing.
    SignalCleanup() = default;
    // Removes path (an empty folder for Kind::Folder) if a signal ends the process while this
    // lives. A path too long for the table is not held.
    SignalCleanup(const QByteArray &path, Kind kind);
    ~SignalCleanup() { release(); }
    SignalCleanup(SignalCleanup &&other) noexcept : m_slot(other.m_slot) { other.m_slot = -1; }
    SignalCleanup &operator=(SignalCleanup &&other) noexcept;
    SignalCleanup(const SignalCleanup &) = delete;
    SignalCleanup &operator=(const SignalCleanup &) = delete;

    // The path is gone or in its place for good: a signal no longer removes it.
    void release();
    [[nodiscard]] bool holds() const { return m_slot >= 0; }

    // While one lives, a signal that would end the process waits for the last one to end and
    // then ends it, cleanup included: for a library that makes a named scratch file and unnames
    // it at once, where an end in between would leave the file behind.
    class Deferral
    {
    public:
        Deferral();
        ~Deferral();
        Deferral(const Deferral &) = delete;
        Deferral &operator=(const Deferral &) = delete;
    };

private:
    int m_slot = -1;
};
