#pragma once

#include "command/CommandOptions.h"

#include <QString>

namespace fenra::command {

// What a whole command must hold besides well-formed values: the options that
// go together, and those that exclude each other. Empty when it holds.
QString combinationError(const CommandOptions& options);

}   // namespace fenra::command
