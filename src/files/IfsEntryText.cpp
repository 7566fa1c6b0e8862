#include "files/IfsEntryText.h"

#include "engine/NumberText.h"

#include <QList>

namespace fenra {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

// Where the code of a line inside an entry holds numbers: [begin, end) of the bytes.
struct Row {
    qsizetype lineStart, begin, end;
    qsizetype lineEnd;   // the '\n' ending its line inside the entry, or -1 when the '}' follows on it
};

// The '{' and '}' of the first entry named `name`, comments and words read as the collection's reader does.
std::optional<std::pair<qsizetype, qsizetype>> findEntry(const QByteArray& text, const QByteArray& name)
{
    QByteArray words;   // the words before the next '{', joined by one blank
    qsizetype open = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ';') {
            while (i < text.size() && text[i] != '\n')
                ++i;
        } else if (c == '{') {
            if (open < 0 && words == name)
                open = i;
            words.clear();
        } else if (c == '}') {
            if (open >= 0)
                return std::pair{open, i};
            words.clear();
        } else if (!isBlank(c) && c != '\n') {
            const qsizetype start = i;
            while (i + 1 < text.size() && !isBlank(text[i + 1]) && text[i + 1] != '\n' && text[i + 1] != ';'
                   && text[i + 1] != '{' && text[i + 1] != '}')
                ++i;
            if (!words.isEmpty())
                words += ' ';
            words += text.mid(start, i - start + 1);
        }
    }
    return std::nullopt;
}

std::vector<Row> rowsBetween(const QByteArray& text, qsizetype open, qsizetype close)
{
    std::vector<Row> rows;
    qsizetype lineStart = open + 1;
    while (lineStart <= close) {
        qsizetype lineEnd = text.indexOf('\n', lineStart);
        if (lineEnd < 0 || lineEnd > close)
            lineEnd = -1;
        const qsizetype stop = lineEnd < 0 ? close : lineEnd;
        qsizetype codeEnd = text.indexOf(';', lineStart);
        if (codeEnd < 0 || codeEnd > stop)
            codeEnd = stop;
        qsizetype begin = lineStart, end = codeEnd;
        while (begin < end && isBlank(text[begin]))
            ++begin;
        while (end > begin && isBlank(text[end - 1]))
            --end;
        if (begin < end)
            rows.push_back({lineStart, begin, end, lineEnd});
        if (lineEnd < 0)
            break;
        lineStart = lineEnd + 1;
    }
    return rows;
}

// Whether the row's text reads as exactly this map and p.
bool rowReadsAs(const QByteArray& row, const IfsMap& map)
{
    const double* c = map.map.c;
    const double wanted[7] = {c[0], c[1], c[3], c[4], c[2], c[5], map.p};
    const QList<QByteArray> words = row.simplified().split(' ');
    if (words.size() != 7)
        return false;
    for (int k = 0; k < 7; ++k) {
        const std::optional<double> value = toDouble(QString::fromLatin1(words[k]), u'.');
        if (!value || *value != wanted[k])
            return false;
    }
    return true;
}

}   // namespace

QByteArray ifsRowText(const IfsMap& map)
{
    const double* c = map.map.c;
    QByteArray row;
    for (const double value : {c[0], c[1], c[3], c[4], c[2], c[5], map.p})
        row += (row.isEmpty() ? "" : " ") + exactNumberText(value).toLatin1();
    return row;
}

std::optional<QByteArray> replaceEntryRows(const QByteArray& text, const QString& name, const std::vector<IfsMap>& maps)
{
    const auto entry = findEntry(text, name.toUtf8());
    if (!entry)
        return std::nullopt;
    const std::vector<Row> rows = rowsBetween(text, entry->first, entry->second);
    const QByteArray newline = text.contains("\r\n") ? "\r\n" : "\n";
    QByteArray out = text;
    // From the end backwards, so the positions before each change stay valid.
    if (maps.size() > rows.size()) {
        const Row last = rows.empty() ? Row{entry->first + 1, entry->first + 1, entry->first + 1, -1} : rows.back();
        // A row on the '{' line has no indent of its own to copy.
        const bool onBraceLine = rows.empty() || last.lineStart == entry->first + 1;
        const QByteArray indent =
            onBraceLine ? QByteArray("    ") : text.mid(last.lineStart, last.begin - last.lineStart);
        QByteArray added;
        for (std::size_t k = rows.size(); k < maps.size(); ++k)
            added += newline + indent + ifsRowText(maps[k]);
        if (last.lineEnd >= 0)
            out.insert(last.lineEnd - (newline.size() - 1), added);
        else
            out.insert(last.end, added);
    }
    for (std::size_t k = rows.size(); k-- > 0;) {
        const Row& row = rows[k];
        if (k >= maps.size()) {
            const bool ownLine = row.lineStart > entry->first + 1 && row.lineEnd >= 0;
            if (ownLine)
                out.remove(row.lineStart, row.lineEnd + 1 - row.lineStart);
            else
                out.remove(row.begin, row.end - row.begin);
        } else if (!rowReadsAs(text.mid(row.begin, row.end - row.begin), maps[k])) {
            out.replace(row.begin, row.end - row.begin, ifsRowText(maps[k]));
        }
    }
    return out;
}

QByteArray appendEntry(const QByteArray& text, const QString& name, const std::vector<IfsMap>& maps)
{
    const bool crlf = text.contains("\r\n");
    const QByteArray newline = crlf ? "\r\n" : "\n";
    QByteArray out = text;
    if (!out.isEmpty() && !out.endsWith('\n'))
        out += newline;
    if (!out.isEmpty())
        out += newline;
    QByteArray entry = ifsEntryText(name, maps);
    return out + (crlf ? entry.replace("\n", "\r\n") : entry);
}

}   // namespace fenra
