#pragma once

#include "engine/NumberText.h"
#include "files/PictureSettings.h"
#include "files/ShownText.h"
#include "poster/PosterOptions.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <string>
#include <vector>

// A program's options as a table: each option's names, the name of its value
// (none for a switch), its help, and what it does with its value. The table
// reads a command line into an `Options` value and writes the help text, both
// through QCommandLineParser. A value comes as the next argument or after '='.
namespace fenra::command {

// Stores a value in the options; empty, or what the value needs instead.
template <class Options>
using Setter = std::function<QString(Options&, const QString&)>;

template <class Options>
class OptionTable {
public:
    struct Option {
        QStringList names;
        const char* valueName;   // empty for a switch
        const char* help;
        Setter<Options> set;
    };

    struct Parsed {
        std::optional<Options> options;   // none when a value or a name is refused
        QString error;                    // one line for the user when there are no options
        QStringList given;                // every name of each option given, such as "colour" and "color"
        QStringList order;                // the names as they were typed, in order
        QStringList positional;
    };

    OptionTable(QString program, std::vector<Option> options, QString positionalName, QString positionalHelp)
        : m_program(std::move(program)), m_options(std::move(options)), m_positionalName(std::move(positionalName)),
          m_positionalHelp(std::move(positionalHelp))
    {}

    // `arguments` without the program's name.
    Parsed parse(const QStringList& arguments) const
    {
        QCommandLineParser parser;
        addTo(parser);
        const auto refused = [](const QString& line) { return Parsed{std::nullopt, line, {}, {}, {}}; };
        if (!parser.parse(QStringList{m_program} + arguments)) {
            if (!parser.unknownOptionNames().isEmpty())
                return refused(
                    QStringLiteral("unknown option %1").arg(shownText(dashed(parser.unknownOptionNames()[0]))));
            const QString error = parser.errorText();   // "Missing value after '--points'."
            if (error.startsWith(QStringLiteral("Missing value after '")))
                return refused(QStringLiteral("%1 needs a value").arg(error.section(u'\'', 1, 1)));
            return refused(error);
        }
        Parsed result{Options{}, {}, {}, parser.optionNames(), parser.positionalArguments()};
        for (const Option& option : m_options) {
            if (!parser.isSet(option.names.first()))
                continue;
            const QString value = parser.value(option.names.first());
            if (const QString error = option.set(*result.options, value); !error.isEmpty())
                return refused(QStringLiteral("%1 %2, not \"%3\"").arg(longName(option), error, shownText(value)));
            result.given += option.names;
        }
        return result;
    }

    QString help(const QString& description) const
    {
        QCommandLineParser parser;
        addTo(parser);
        parser.setApplicationDescription(description);
        return parser.helpText().replace(QStringLiteral("<executable_name>"), m_program);
    }

private:
    static QString dashed(const QString& name) { return QString(name.size() == 1 ? "-" : "--") + name; }
    // The long name: --output, --colour.
    static QString longName(const Option& o) { return dashed(o.names[0].size() == 1 ? o.names.last() : o.names[0]); }

    void addTo(QCommandLineParser& parser) const
    {
        for (const Option& option : m_options)
            parser.addOption({option.names, QString::fromUtf8(option.help), QString::fromLatin1(option.valueName)});
        parser.addPositionalArgument(m_positionalName, m_positionalHelp);
    }

    QString m_program;
    std::vector<Option> m_options;
    QString m_positionalName, m_positionalHelp;
};

// Setters for the common kinds of value.

template <class Integer, class Options, class Field>
Setter<Options> whole(Integer low, Integer high, Field Options::*field)
{
    return [=](Options& o, const QString& v) {
        const std::optional<Integer> n = wholeNumber<Integer>(v, low, high);
        if (n)
            o.*field = *n;
        return n ? QString() : QStringLiteral("needs a whole number from %1 to %2").arg(low).arg(high);
    };
}

// A whole number from -most to most.
template <class Options>
Setter<Options> signedWhole(int most, int Options::*field)
{
    return [=](Options& o, const QString& v) {
        const bool below = v.startsWith(u'-');
        const std::optional<int> n = wholeNumber<int>(below ? v.mid(1) : v, 0, most);
        if (n)
            o.*field = below ? -*n : *n;
        return n ? QString() : QStringLiteral("needs a whole number from -%1 to %1").arg(most);
    };
}

// A number above 0, with a full stop as the decimal point whatever the locale,
// so a command line means the same everywhere.
template <class Options>
Setter<Options> positive(double Options::*field, double most)
{
    return [=](Options& o, const QString& v) {
        const std::optional<double> n = positiveNumber(v, most);
        if (n)
            o.*field = *n;
        else if (v.contains(u','))
            return QStringLiteral("needs a full stop as the decimal point (not a comma)");
        else
            return QStringLiteral("needs a number above 0 and at most %1").arg(most);
        return QString();
    };
}

// Any number, kept as text, with a full stop as the decimal point.
template <class Options>
Setter<Options> numberText(QString Options::*field, const char* refusal)
{
    return [=](Options& o, const QString& v) {
        o.*field = v;
        if (toDouble(v, u'.'))
            return QString();
        return v.contains(u',') ? QStringLiteral("needs a full stop as the decimal point (not a comma)")
                                : QString::fromLatin1(refusal);
    };
}

// Any text but an empty one.
template <class Options, class Field>
Setter<Options> text(Field Options::*field, const char* refusal)
{
    return [=](Options& o, const QString& v) {
        o.*field = v;
        return v.isEmpty() ? QString::fromLatin1(refusal) : QString();
    };
}

template <class Value, class Options>
Setter<Options> oneOf(const QStringList& names, const std::vector<Value>& values, Value Options::*field)
{
    return [=](Options& o, const QString& v) {
        if (!names.contains(v))
            return QStringLiteral("needs %1 or %2").arg(names.mid(0, names.size() - 1).join(u", "), names.last());
        o.*field = values[std::size_t(names.indexOf(v))];
        return QString();
    };
}

// A value read by a parser of src/poster (a size, a memory, a share).
template <class Value, class Options>
Setter<Options> parsedBy(poster::Parsed<Value> (*parse)(std::string_view), std::optional<Value> Options::*field)
{
    return [=](Options& o, const QString& v) {
        const std::string word = v.toStdString();
        poster::Parsed<Value> parsed = parse(word);
        o.*field = parsed.value;
        return QString::fromStdString(parsed.error);
    };
}

// A value read by `read`, which gives none for one it refuses.
template <class Value, class Options, class Field>
Setter<Options> readBy(std::optional<Value> (*read)(const QString&), Field Options::*field, const char* refusal)
{
    return [=](Options& o, const QString& v) {
        const std::optional<Value> value = read(v);
        if (value)
            o.*field = *value;
        return value ? QString() : QString::fromUtf8(refusal);
    };
}

// A switch: sets a flag.
template <class Options>
Setter<Options> flag(bool Options::*field)
{
    return [=](Options& o, const QString&) { return o.*field = true, QString(); };
}

}   // namespace fenra::command
