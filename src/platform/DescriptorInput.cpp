#include "platform/DescriptorInput.h"

#include <cerrno>
#include <system_error>

#include <unistd.h>

namespace fenra {

DescriptorInput::int_type DescriptorInput::underflow()
{
    ssize_t got = 0;
    do
        got = ::read(m_descriptor, m_buffer, sizeof m_buffer);
    while (got < 0 && errno == EINTR);
    if (got < 0) {
        m_failure = errno;
        // The stream catches this and marks itself bad.
        throw std::system_error(m_failure, std::generic_category());
    }
    if (got == 0)
        return traits_type::eof();
    setg(m_buffer, m_buffer, m_buffer + got);
    return traits_type::to_int_type(m_buffer[0]);
}

} // namespace fenra
