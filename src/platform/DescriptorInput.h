#pragma once

#include "platform/FileStore.h"

#include <istream>
#include <streambuf>

namespace fenra {

// A file descriptor read as a stream whose failures are told. Through
// std::cin a closed descriptor or a folder reads as an empty input; here a
// failed read(2) marks the stream bad and keeps its errno.
class DescriptorInput final : public std::streambuf {
public:
    explicit DescriptorInput(int descriptor) : m_descriptor(descriptor) {}

    int failure() const { return m_failure; }   // errno of the read that failed; 0 when none did

protected:
    int_type underflow() override;

private:
    int m_descriptor;
    int m_failure = 0;
    char m_buffer[1 << 16];
};

// Up to `most` bytes of the stream, read in pieces so memory follows what
// arrives, not what might. A stream that fails (closed, a folder) gives the
// reason, told by a DescriptorInput beneath it.
FileStore::ReadResult readInPieces(std::istream& in, qint64 most);

}   // namespace fenra
