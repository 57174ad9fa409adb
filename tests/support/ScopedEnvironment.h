#pragma once

#include <QByteArray>
#include <optional>

// Sets an environment variable (or removes it, for nothing) for one scope, and puts back what
// was there before when the scope ends, so that no test leaves a change behind for the next.
class ScopedEnvironment
{
public:
    ScopedEnvironment(const char *name, std::optional<QByteArray> value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment &) = delete;
    ScopedEnvironment &operator=(const ScopedEnvironment &) = delete;

private:
    const char *m_name;
    std::optional<QByteArray> m_previous;
};
