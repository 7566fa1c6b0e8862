// The data-file reader fed any bytes, of any length: every field is what the
// bytes hold at its place, and a record built from what was read either is
// refused or gives the same bytes back, filled up with blanks.
#include "FuzzCheck.h"

#include "files/DataRecord.h"

using namespace fenra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray record = bytes.left(kRecordLength);
    const DataSetTexts texts = parseDataRecord(bytes);

    // The fields lie end to end, so laid side by side they are the record itself.
    QString joined = texts.count;
    FUZZ_CHECK(texts.count.size() <= kCountFieldLength);
    for (const Coefficients& set : texts.sets) {
        for (const QString& field : set) {
            FUZZ_CHECK(field.size() <= kCoefficientWidth);
            joined += field;
        }
    }
    FUZZ_CHECK(joined == QString::fromLatin1(record));
    FUZZ_CHECK(texts.sets[5][5] == QString::fromLatin1(record.mid(coefficientFieldStart(6, 6) - 1)));

    const BuiltRecord built = BuildDataText(texts);
    if (record.isEmpty()) {
        // No count character: nothing is built, and the user is told why.
        FUZZ_CHECK(built.bytes.isEmpty() && !built.refusal.isEmpty());
        return 0;
    }
    FUZZ_CHECK(built.refusal.isEmpty());
    FUZZ_CHECK(built.bytes == record + QByteArray(kRecordLength - record.size(), ' '));
    // Reading what was built and building again changes nothing more.
    FUZZ_CHECK(BuildDataText(parseDataRecord(built.bytes)).bytes == built.bytes);
    return 0;
}
