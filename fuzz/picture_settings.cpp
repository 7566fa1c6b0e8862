// What a picture carries, fed any bytes: as a PNG its text chunks are read
// whole or not at all; as the settings text it is a record whose own text
// reads back the same, or a refusal, and capping keeps every promise.
#include "FuzzCheck.h"

#include "files/PictureSettings.h"
#include "files/PngChunks.h"
#include "files/ShownText.h"

using namespace fenra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const ReadPngTexts png = readPngTexts(QByteArray("\x89PNG\r\n\x1a\n", 8) + bytes);
    FUZZ_CHECK(png.fault.isEmpty() || png.texts.empty());

    const ReadPictureSettings read = readPictureSettings(bytes);
    FUZZ_CHECK(read.settings.has_value() == read.error.isEmpty());
    for (const QString& word : read.ignored)
        FUZZ_CHECK(word.size() <= 4 * kShownTextLength + 3 && !word.contains(QChar(0)) && !word.contains(u'\n'));
    if (!read.settings)
        return 0;
    FUZZ_CHECK(readPictureSettings(pictureSettingsText(*read.settings)).settings == read.settings);
    PictureSettings capped = *read.settings;
    capStoredSettings(capped, 1, 1);
    FUZZ_CHECK(capped.points.value_or(0) <= kMaxStoredPoints);
    FUZZ_CHECK(capped.scale.value_or(1) * capped.oversample.value_or(1) <= kMaxStoredSamples);
    return 0;
}
