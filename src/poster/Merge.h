#pragma once

#include "files/PngStream.h"

#include <string>
#include <vector>

namespace fenra::poster {

// Adds the sums of a render's parts (files of --part K/N) and writes its
// picture to `png`: the bytes of the render drawn in one go. Every part is
// read whole and checked before the first byte is written; returns why it
// cannot merge, naming the file, or nothing when the picture was written.
std::string mergeParts(const std::vector<std::string>& paths, int threads, const files::ByteSink& png);

}   // namespace fenra::poster
