#include "files/IfsCollection.h"

#include "engine/NumberText.h"
#include "engine/WeightedMaps.h"
#include "files/ShownText.h"

#include <QFileInfo>

#include <charconv>

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
                fail(m_entryLine,
                     QStringLiteral("the '{' of entry \"%1\" is never closed").arg(shownText(m_entry.name)));
            else if (!m_name.isEmpty())
                fail(m_nameLine, QStringLiteral("\"%1\" is not followed by '{'").arg(shownText(m_name)));
            else if (m_result.entries.empty())
                fail(1,
                     QStringLiteral("no entries: a collection holds entries of the form name { a b c d e f p ... }"));
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
            fail(m_line, QStringLiteral("\"%1\" is not a number").arg(shownText(word)));
        else
            m_row.push_back(*value);
    }

    void open()
    {
        if (m_inside)
            return fail(m_line,
                        QStringLiteral("'{' inside entry \"%1\", whose '}' is missing").arg(shownText(m_entry.name)));
        if (m_name.isEmpty())
            return fail(m_line, QStringLiteral("'{' without a name before it"));
        // "3dfern(3D) {": the mark belongs to the entry's kind, not its name.
        const bool threeD = m_name.endsWith(QLatin1String("(3D)")) && m_name.size() > 4;
        const QString name = threeD ? m_name.chopped(4).trimmed() : m_name;
        for (const IfsEntry& earlier : m_result.entries)
            if (earlier.name == name && earlier.threeD == threeD)
                return fail(m_nameLine, QStringLiteral("a second entry \"%1\"").arg(shownText(name)));
        m_inside = true;
        m_entry = IfsEntry{name, {}, threeD};
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
        if (m_entry.maps.empty() && m_rows3D == 0)
            return fail(m_line, QStringLiteral("entry \"%1\" has no maps").arg(shownText(m_entry.name)));
        m_rows3D = 0;
        m_result.entries.push_back(std::move(m_entry));
        m_inside = false;
    }

    void endRow()
    {
        if (m_row.empty() || !m_result.ok())
            return;
        const std::size_t wanted = m_entry.threeD ? 13 : 7;
        if (m_row.size() != wanted)
            return fail(
                m_line,
                m_entry.threeD
                    ? QStringLiteral("a row of %1 numbers; a 3D map needs exactly 13").arg(m_row.size())
                    : QStringLiteral("a row of %1 numbers; a map needs exactly 7 (a b c d e f p)").arg(m_row.size()));
        if (m_row.back() < 0.0)
            return fail(m_line, QStringLiteral("p is negative (%1)").arg(m_row.back()));
        if (std::max<std::size_t>(m_entry.maps.size(), m_rows3D) == std::size_t(kMaxIfsMaps))
            return fail(
                m_line,
                QStringLiteral("entry \"%1\" has more than %2 maps").arg(shownText(m_entry.name)).arg(kMaxIfsMaps));
        // The file's a b c d e f to the window's order: x' = a·x + b·y + e, y' = c·x + d·y + f.
        if (m_entry.threeD)
            ++m_rows3D;
        else
            m_entry.maps.push_back({{{m_row[0], m_row[1], m_row[4], m_row[2], m_row[3], m_row[5]}}, m_row[6]});
        m_row.clear();
    }

    IfsCollection m_result;
    int m_line = 0;
    bool m_inside = false;
    QString m_name;   // words outside an entry, waiting for its '{'
    int m_nameLine = 0;
    IfsEntry m_entry;      // the open entry
    int m_entryLine = 0;   // where its '{' stands
    std::vector<double> m_row;
    std::size_t m_rows3D = 0;   // rows of the open 3D entry, which keeps no maps
};

// The shortest text that reads back as exactly `value`.
QByteArray exactText(double value)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return QByteArray(text, end - text);
}

}   // namespace

QStringList IfsCollection::names() const
{
    QStringList names;
    for (const IfsEntry& entry : entries)
        names += entry.threeD ? entry.name + QStringLiteral("\t(3D)") : entry.name;
    return names;
}

const IfsEntry* IfsCollection::find(const QString& name) const
{
    const IfsEntry* found = nullptr;
    for (const IfsEntry& entry : entries) {
        if (entry.name == name && (!found || found->threeD))
            found = &entry;
    }
    return found;
}

const IfsEntry* IfsCollection::firstDrawable() const
{
    for (const IfsEntry& entry : entries) {
        if (!entry.threeD)
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

QByteArray ifsEntryText(const QString& name, const std::vector<IfsMap>& maps)
{
    // A name read from a collection never holds these; one made up elsewhere might.
    QString safe = name.isEmpty() ? QStringLiteral("maps") : name;
    for (QChar& c : safe)
        if (c == u'{' || c == u'}' || c == u';' || c.category() == QChar::Other_Control)
            c = u'_';
    QByteArray text = safe.toUtf8() + " {\n";
    for (const IfsMap& m : maps) {
        for (const int j : {0, 1, 3, 4, 2, 5})   // a b c d e f
            text += exactText(m.map.c[j]) + ' ';
        text += exactText(m.p) + '\n';
    }
    return text + "}\n";
}

EntryMaps entryMaps(const IfsEntry& entry)
{
    EntryMaps result;
    std::vector<double> p;
    for (const IfsMap& map : entry.maps) {
        result.maps.push_back(map.map);
        p.push_back(map.p);
    }
    result.weights = pickWeights(result.maps, p);
    return result;
}

}   // namespace fenra
