#pragma once

#include <streambuf>

namespace fenra {

// A file descriptor read as a stream whose failures are told. Through
// std::cin a closed descriptor or a folder reads as an empty input; here a
// failed read(2) throws std::system_error with its errno, which a stream with
// exceptions(badbit) passes on (and any stream marks as bad).
class DescriptorInput final : public std::streambuf {
public:
    explicit DescriptorInput(int descriptor) : m_descriptor(descriptor) {}

protected:
    int_type underflow() override;

private:
    int m_descriptor;
    char m_buffer[1 << 16];
};

} // namespace fenra
