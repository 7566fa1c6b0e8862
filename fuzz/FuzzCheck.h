#pragma once

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A broken promise ends the process at once, so that libFuzzer and the corpus
// replay both take it as a crash and keep the input that caused it.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                         \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)

namespace fenra::fuzz {

// Inputs made of several texts are split at line ends, so corpus files stay
// readable and easy to write by hand.
inline QList<QByteArray> lines(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).split('\n');
}

}   // namespace fenra::fuzz
