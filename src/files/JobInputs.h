#pragma once

#include "files/IfsCollection.h"
#include "files/MapsRecord.h"
#include "render/RenderPicture.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// What a render's inputs give its job: the entry of a collection, the weights
// and the frame, and what its PNG carries of them.
namespace fenra {

// Why a render cannot start: the line for the user, and whether the command line was at fault.
struct InputFault {
    QString line;
    bool badOption = false;
    bool whole = false;   // the line says everything itself, the file's name first
};

// The entry of a collection that `name` asks for, or its first drawable one.
struct EntryChoice {
    const IfsEntry* entry = nullptr;
    std::optional<InputFault> fault;
};
EntryChoice chooseEntry(const IfsCollection& collection, const QString& input, const std::optional<QString>& name,
                        bool exact);

// Weights (given ones in place of the job's) and the frame of a fit (the
// default for a collection) go into the job, unless a view box frames it.
struct Framing {
    QStringList warnings;
    std::optional<InputFault> fault;
};
Framing weighAndFrame(const std::vector<double>& weights, std::optional<bool> fit, bool viewGiven, bool collection,
                      render::RenderJob& job);

// The data record of the job's maps: an entry of up to six as the window would
// hold it, or the data sets as read. Empty, with the reason, when there is none.
MapsRecord recordOf(const render::RenderJob& job);

// The maps as a collection entry, with the p values they were weighed from
// (`weights` when given), so a picture of any number of maps can be drawn
// again exactly. Empty without maps.
QByteArray mapsText(const std::vector<double>& weights, const IfsEntry* entry, const render::RenderJob& job);

}   // namespace fenra
