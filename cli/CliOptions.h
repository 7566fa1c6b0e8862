#pragma once

#include "command/CommandOptions.h"
#include "command/OptionTable.h"

#include <QString>
#include <QStringList>

// fenra-render's options: their names, values and help, read into a command.
namespace fenra::cli {

using command::CommandOptions;
using command::DensityTint;
using command::PictureColour;
using ParsedOptions = command::OptionTable<CommandOptions>::Parsed;

// `arguments` without the program's name, read and checked as a whole command.
ParsedOptions parseOptions(const QStringList& arguments);

QString usageText();

}   // namespace fenra::cli
