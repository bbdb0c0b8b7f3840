#pragma once

#include <unistd.h>

#include <utility>

// An open file descriptor, closed when it goes out of scope.
class DMFileDescriptor
{
public:
    explicit DMFileDescriptor(int descriptor)
        : m_descriptor(descriptor)
    {
    }
    ~DMFileDescriptor()
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
    }
    DMFileDescriptor(DMFileDescriptor &&other) noexcept
        : m_descriptor(other.release())
    {
    }
    DMFileDescriptor(const DMFileDescriptor &) = delete;
    DMFileDescriptor &operator=(const DMFileDescriptor &) = delete;
    int get() const { return m_descriptor; }
    bool isValid() const { return m_descriptor >= 0; }
    int release() { return std::exchange(m_descriptor, -1); }
    // Closes now and reports a failed close (a delayed write error on some file systems).
    bool close() { return ::close(release()) == 0; }

private:
    int m_descriptor;
};
