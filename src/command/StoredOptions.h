#pragma once

#include "command/CommandOptions.h"
#include "files/PictureSettings.h"

#include <cstdint>

// The settings a PNG carries, and a command's options: a picture is drawn
// again as it was made by taking its settings as the options' defaults.
namespace fenra::command {

// Settings a picture stored, over `options`.
void applyStoredSettings(const PictureSettings& stored, CommandOptions& options);

// The settings a picture stores to be drawn again as `options` draw it.
PictureSettings storedSettings(const CommandOptions& options, std::uint64_t seed);

}   // namespace fenra::command
