#include "files/IfsCollection.h"

#include "engine/NumberText.h"
#include "engine/WeightedMaps.h"

#include <QFileInfo>

namespace fenra {
namespace {

// Reads line by line; the first fault ends the reading.
class CollectionReader {
public:
    IfsCollection read(const QString& text)
    {
        const QStringList lines = text.split(u'\n');
        for (qsizetype i = 0; i < lines.size() && m_result.ok(); ++i) {
            m_line = int(i + 1);
            readLine(QStringView(lines[i]));
        }
        if (m_result.ok()) {
            if (m_inside)
                fail(m_entryLine, QStringLiteral("the '{' of entry \"%1\" is never closed").arg(m_entry.name));
            else if (!m_name.isEmpty())
                fail(m_nameLine, QStringLiteral("\"%1\" is not followed by '{'").arg(m_name));
            else if (m_result.entries.empty())
                fail(1, QStringLiteral("no entries: a collection holds entries of the form name { a b c d e f p ... }"));
        }
        if (!m_result.ok())
            m_result.entries.clear();
        return m_result;
    }

private:
    void fail(int line, const QString& reason)
    {
        if (m_result.ok()) {
            m_result.errorLine = line;
            m_result.error = reason;
        }
    }

    void readLine(QStringView line)
    {
        const qsizetype comment = line.indexOf(u';');
        if (comment >= 0)
            line = line.left(comment);
        qsizetype i = 0;
        while (i < line.size() && m_result.ok()) {
            const QChar c = line[i];
            if (c.isSpace()) {
                ++i;
            } else if (c == u'{' || c == u'}') {
                c == u'{' ? open() : close();
                ++i;
            } else {
                const qsizetype start = i;
                while (i < line.size() && !line[i].isSpace() && line[i] != u'{' && line[i] != u'}')
                    ++i;
                // A name and '{' inside an entry mean its '}' was forgotten: say that, not "not a number".
                if (m_inside && line.mid(i).contains(u'{') && !toDouble(line.mid(start, i - start), u'.'))
                    return open();
                word(line.mid(start, i - start));
            }
        }
        if (m_inside)
            endRow();
    }

    void word(QStringView word)
    {
        if (!m_inside) {
            if (m_name.isEmpty())
                m_nameLine = m_line;
            m_name += (m_name.isEmpty() ? QString() : QStringLiteral(" ")) + word.toString();
            return;
        }
        // The full stop is the only decimal separator here, under every locale.
        const std::optional<double> value = toDouble(word, u'.');
        if (!value)
            fail(m_line, QStringLiteral("\"%1\" is not a number").arg(word));
        else
            m_row.push_back(*value);
    }

    void open()
    {
        if (m_inside)
            return fail(m_line, QStringLiteral("'{' inside entry \"%1\", whose '}' is missing").arg(m_entry.name));
        if (m_name.isEmpty())
            return fail(m_line, QStringLiteral("'{' without a name before it"));
        m_inside = true;
        m_entry = IfsEntry{m_name, {}};
        m_entryLine = m_line;
        m_name.clear();
    }

    void close()
    {
        if (!m_inside)
            return fail(m_line, QStringLiteral("'}' without an entry's '{'"));
        endRow();
        if (!m_result.ok())
            return;
        if (m_entry.maps.empty())
            return fail(m_line, QStringLiteral("entry \"%1\" has no maps").arg(m_entry.name));
        m_result.entries.push_back(std::move(m_entry));
        m_inside = false;
    }

    void endRow()
    {
        if (m_row.empty() || !m_result.ok())
            return;
        if (m_row.size() != 7)
            return fail(m_line, QStringLiteral("a row of %1 numbers; a map needs exactly 7 (a b c d e f p)")
                                    .arg(m_row.size()));
        if (m_row[6] < 0.0)
            return fail(m_line, QStringLiteral("p is negative (%1)").arg(m_row[6]));
        if (m_entry.maps.size() == std::size_t(kMaxIfsMaps))
            return fail(m_line, QStringLiteral("entry \"%1\" has more than %2 maps").arg(m_entry.name).arg(kMaxIfsMaps));
        m_entry.maps.push_back({m_row[0], m_row[1], m_row[2], m_row[3], m_row[4], m_row[5], m_row[6]});
        m_row.clear();
    }

    IfsCollection m_result;
    int m_line = 0;
    bool m_inside = false;
    QString m_name;           // words outside an entry, waiting for its '{'
    int m_nameLine = 0;
    IfsEntry m_entry;         // the open entry
    int m_entryLine = 0;      // where its '{' stands
    std::vector<double> m_row;
};

} // namespace

QStringList IfsCollection::names() const
{
    QStringList names;
    for (const IfsEntry& entry : entries)
        names += entry.name;
    return names;
}

const IfsEntry* IfsCollection::find(const QString& name) const
{
    for (const IfsEntry& entry : entries) {
        if (entry.name == name)
            return &entry;
    }
    return nullptr;
}

QString IfsCollection::errorMessage(const QString& fileName) const
{
    return QStringLiteral("%1:%2: %3").arg(fileName).arg(errorLine).arg(error);
}

IfsCollection parseIfsCollection(const QByteArray& text)
{
    QString decoded = QString::fromUtf8(text);
    if (decoded.startsWith(QChar(0xFEFF)))   // a byte-order mark some editors write
        decoded.remove(0, 1);
    return CollectionReader().read(decoded);
}

bool isIfsCollection(const QString& fileName, const QByteArray& content)
{
    if (QFileInfo(fileName).suffix().compare(QLatin1String("ifs"), Qt::CaseInsensitive) == 0)
        return true;
    // Comments and blanks aside, the first word must run into '{', on its line or a later one.
    bool sawWord = false;
    for (const QByteArray& rawLine : content.split('\n')) {
        const qsizetype comment = rawLine.indexOf(';');
        const QByteArray line = (comment >= 0 ? rawLine.left(comment) : rawLine).trimmed();
        for (const char c : line) {
            if (c == '{')
                return sawWord;
            if (c == '}' || c == '\0')
                return false;
            if (!QChar::isSpace(uchar(c)))
                sawWord = true;
        }
    }
    return false;
}

AffineMap windowMap(const IfsMap& map)
{
    AffineMap m;
    const double c[6] = {map.a, map.b, map.e, map.c, map.d, map.f};
    std::copy(std::begin(c), std::end(c), m.c);
    return m;
}

EntryMaps entryMaps(const IfsEntry& entry)
{
    EntryMaps result;
    std::vector<double> p;
    for (const IfsMap& map : entry.maps) {
        result.maps.push_back(windowMap(map));
        p.push_back(map.p);
    }
    result.weights = pickWeights(result.maps, p);
    return result;
}

} // namespace fenra
