// The collection reader fed any text: it either refuses it at a line that
// exists, keeping nothing, or gives entries of 1 to 64 maps with finite
// numbers; their weights, frames and data records keep their promises.
#include "FuzzCheck.h"

#include "engine/NumberText.h"
#include "engine/WeightedMaps.h"
#include "files/DataRecord.h"
#include "files/IfsCollection.h"
#include "files/MapsRecord.h"
#include "render/WindowFraming.h"

#include <cmath>

using namespace fenra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const IfsCollection collection = parseIfsCollection(bytes);
    if (!collection.ok()) {
        FUZZ_CHECK(collection.entries.empty() && !collection.error.isEmpty());
        FUZZ_CHECK(collection.errorLine >= 1 && collection.errorLine <= bytes.count('\n') + 1);
        return 0;
    }
    FUZZ_CHECK(!collection.entries.empty());
    int framed = 0;
    for (const IfsEntry& entry : collection.entries) {
        FUZZ_CHECK(!entry.name.isEmpty() && collection.find(entry.name) != nullptr);
        FUZZ_CHECK(entry.threeD ? entry.maps.empty()
                                : !entry.maps.empty() && entry.maps.size() <= std::size_t(kMaxIfsMaps));
        if (entry.threeD)
            continue;
        const EntryMaps maps = entryMaps(entry);
        double sum = 0.0;
        for (double w : maps.weights) {
            FUZZ_CHECK(w >= 0.0 && w <= 1.0);
            sum += w;
        }
        FUZZ_CHECK(std::fabs(sum - 1.0) < 1e-9);
        if (framed++ < 2) {   // a frame costs a short run; two an input is plenty
            if (const auto zoom = render::fitFrame(maps.maps, maps.weights))
                FUZZ_CHECK(zoom->scale > 0 && std::isfinite(zoom->scale) && std::isfinite(zoom->shiftX)
                           && std::isfinite(zoom->shiftY));
        }
        const MapsRecord record = recordOfMaps(maps.maps, maps.weights);
        FUZZ_CHECK(record.refusal.isEmpty() == (maps.maps.size() <= 6));
        FUZZ_CHECK(record.bytes.size() == (record.refusal.isEmpty() ? kRecordLength : 0));
        if (record.refusal.isEmpty()) {
            // Every coefficient reads back as a number, and the count is the number of maps.
            const DataSetTexts texts = parseDataRecord(record.bytes);
            FUZZ_CHECK(texts.count == QString::number(maps.maps.size()));
            for (const Coefficients& set : texts.sets)
                for (const QString& text : set)
                    FUZZ_CHECK(toDouble(text, u'.').has_value());
        }
    }
    return 0;
}
