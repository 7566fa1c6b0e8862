#include "platform/DescriptorInput.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
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

FileStore::ReadResult readInPieces(std::istream& in, qint64 most)
{
    QByteArray bytes;
    char piece[1 << 14];
    while (bytes.size() < most && in) {
        in.read(piece, std::streamsize(std::min<qint64>(sizeof piece, most - bytes.size())));
        bytes.append(piece, qsizetype(in.gcount()));
    }
    if (!in.bad())
        return {bytes, {}};
    const auto* source = dynamic_cast<const DescriptorInput*>(in.rdbuf());
    const int code = source ? source->failure() : 0;
    return {std::nullopt, code == EISDIR  ? QStringLiteral("it is a folder")
                          : code == EBADF ? QStringLiteral("it is closed, or not open for reading")
                          : code != 0     ? QString::fromLocal8Bit(std::strerror(code))
                                          : QStringLiteral("it cannot be read")};
}

}   // namespace fenra
