#pragma once

#include "command/CommandOptions.h"
#include "engine/RunSettings.h"
#include "files/InputData.h"
#include "files/JobInputs.h"
#include "files/PngChunks.h"
#include "poster/Poster.h"
#include "render/RenderPicture.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>

// A command's options and its loaded input made into the render it asks for.
namespace fenra::command {

// The run settings as the window would hold them; they convert by its rules.
RunSettingsTexts settingsTexts(const CommandOptions& options);

// What keeps a single picture's command from writing, found before any work:
// --save-tfg over the picture or the input (an option at fault), or a
// picture's name that cannot be written.
std::optional<InputFault> outputFault(const CommandOptions& options);

// The render the options ask for, less its seed and data sets.
render::RenderJob jobFor(const CommandOptions& options, const RunPlan& plan, int cores);

struct PreparedJob {
    render::RenderJob job;
    const IfsEntry* entry = nullptr;   // of the collection read, when it is one
    QStringList warnings;              // lines for the user, in the order they arose
    std::optional<InputFault> fault;   // why it cannot be drawn
};

// The job of one loaded input, as far as its seed: a PNG's stored settings
// under the options given (`given`: their names; `options` takes the stored
// ones), the collection's entry, its maps, weights and frame.
PreparedJob prepareJob(const LoadedData& loaded, const QStringList& given, const RunPlan& givenPlan,
                       CommandOptions& options, int cores);

// What a picture of the job carries: with `maps`, its data record and its maps
// as a collection entry, as far as they can be written (`missing` says why
// neither can); always the settings that draw it again. `options` take the
// frame and the weights the picture was drawn with.
PngTexts pictureTexts(CommandOptions& options, const render::RenderJob& job, const IfsEntry* entry, bool maps,
                      QString& missing);

// Why `what` (such as "a picture of this size needs") cannot start with the memory
// there is; none when it fits or nothing is known of the memory.
std::optional<InputFault> memoryFault(std::uint64_t needed, std::optional<std::uint64_t> available, const QString& what,
                                      const QString& advice);

// The poster path's job for a PNG (or a part's sums) of `request`; its
// scratch files lie beside `outputName`, or in the temporary folder for "-".
poster::PosterJob posterJobFor(const CommandOptions& options, const render::RenderRequest& request,
                               const PngTexts& texts, int threads, std::optional<std::uint64_t> memoryAvailable,
                               const QString& outputName);

// Why the poster job cannot be drawn: a --memory below one row of its sums.
std::optional<InputFault> posterFault(const poster::PosterJob& job);

}   // namespace fenra::command
