#include "cli/CliOptions.h"

#include "engine/NumberText.h"
#include "engine/RunSettings.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <limits>
#include <map>

namespace fenra::cli {
namespace {

// Whole decimal numbers only: no sign, no fraction, no exponent, so a typo
// never turns into a different count.
template <class Integer>
std::optional<Integer> wholeNumber(const QString& text, Integer low, Integer high)
{
    const QByteArray digits = text.toLatin1();
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    Integer value{};
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

QString rangeError(const QString& option, long long low, unsigned long long high)
{
    return QStringLiteral("%1 needs a whole number from %2 to %3").arg(option).arg(low).arg(high);
}

const QStringList kZoomItems{QStringLiteral("0.25x"), QStringLiteral("0.5x"), QStringLiteral("1x"),
                             QStringLiteral("2x"),    QStringLiteral("4x"),   QStringLiteral("8x")};

// Each option that takes a value: what it does with the value, or why it refuses it.
using Setter = std::function<QString(CliOptions&, const QString&)>;

// An option whose value is a whole number from `low` to `high`, stored in `field`.
template <class Integer, class Field>
Setter wholeNumberOption(const char* option, Integer low, Integer high, Field CliOptions::*field)
{
    return [=](CliOptions& o, const QString& v) {
        const std::optional<Integer> n = wholeNumber<Integer>(v, low, high);
        if (!n)
            return rangeError(QLatin1String(option), (long long)low, (unsigned long long)high);
        o.*field = *n;
        return QString();
    };
}

const std::map<QString, Setter>& valueOptions()
{
    static const std::map<QString, Setter> options{
        {QStringLiteral("--output"),
         [](CliOptions& o, const QString& v) {
             o.output = v;
             return v.isEmpty() ? QStringLiteral("--output needs a file name") : QString();
         }},
        {QStringLiteral("--points"),
         wholeNumberOption<std::int64_t>("--points", 0, std::numeric_limits<std::int64_t>::max(), &CliOptions::points)},
        {QStringLiteral("--zoom"),
         [](CliOptions& o, const QString& v) {
             // "none" is the window's zoom box holding a text none of its items match.
             if (v == QStringLiteral("none")) {
                 o.zoom.clear();
                 return QString();
             }
             if (!kZoomItems.contains(v))
                 return QStringLiteral("--zoom needs one of %1 or none").arg(kZoomItems.join(QStringLiteral(", ")));
             o.zoom = v;
             return QString();
         }},
        {QStringLiteral("--right"),
         [](CliOptions& o, const QString& v) {
             o.right = v;
             return toDouble(v) ? QString() : QStringLiteral("--right needs a number of twips");
         }},
        {QStringLiteral("--down"),
         [](CliOptions& o, const QString& v) {
             o.down = v;
             return toDouble(v) ? QString() : QStringLiteral("--down needs a number of twips");
         }},
        {QStringLiteral("--colour"),
         [](CliOptions& o, const QString& v) {
             static const std::map<QString, PictureColour> kModes{{QStringLiteral("random"), PictureColour::Random},
                                                                  {QStringLiteral("white"), PictureColour::White},
                                                                  {QStringLiteral("data"), PictureColour::Data},
                                                                  {QStringLiteral("density"), PictureColour::Density}};
             const auto mode = kModes.find(v);
             if (mode == kModes.end())
                 return QStringLiteral("--colour needs random, white, data or density");
             o.colour = mode->second;
             return QString();
         }},
        {QStringLiteral("--tint"),
         [](CliOptions& o, const QString& v) {
             if (v == QStringLiteral("data"))
                 o.tint = DensityTint::Data;
             else if (v == QStringLiteral("white"))
                 o.tint = DensityTint::White;
             else
                 return QStringLiteral("--tint needs data or white");
             return QString();
         }},
        {QStringLiteral("--hide"),
         [](CliOptions& o, const QString& v) {
             o.show.fill(true);
             for (const QString& item : v.split(QLatin1Char(','))) {
                 const auto set = wholeNumber<int>(item.trimmed(), 1, 6);
                 if (!set)
                     return QStringLiteral("--hide needs data set numbers from 1 to 6, separated by commas");
                 o.show[std::size_t(*set - 1)] = false;
             }
             return QString();
         }},
        {QStringLiteral("--scale"), wholeNumberOption<int>("--scale", 1, kMaxScale, &CliOptions::scale)},
        {QStringLiteral("--seed"),
         wholeNumberOption<std::uint64_t>("--seed", 0, std::numeric_limits<std::uint64_t>::max(), &CliOptions::seed)},
        {QStringLiteral("--threads"), wholeNumberOption<int>("--threads", 1, kMaxThreads, &CliOptions::threads)},
        {QStringLiteral("--count"),
         [](CliOptions& o, const QString& v) {
             o.count = v;
             return v.isEmpty() ? QStringLiteral("--count needs the text of \"Random #'s:\", such as 3") : QString();
         }},
        {QStringLiteral("--batch"), wholeNumberOption<int>("--batch", 1, kMaxBatch, &CliOptions::batch)},
        {QStringLiteral("--prefix"),
         [](CliOptions& o, const QString& v) {
             o.prefix = v;
             return v.isEmpty() ? QStringLiteral("--prefix needs a name") : QString();
         }},
    };
    return options;
}

// Short and alternative spellings.
QString canonicalName(const QString& name)
{
    if (name == QStringLiteral("-o"))
        return QStringLiteral("--output");
    if (name == QStringLiteral("--color"))
        return QStringLiteral("--colour");
    if (name == QStringLiteral("-h"))
        return QStringLiteral("--help");
    return name;
}

bool endsWithPictureExtension(const QString& name)
{
    return name.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive)
        || name.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive);
}

// What a whole command line must hold besides well-formed values.
QString combinationError(const CliOptions& o)
{
    if (o.help || o.version)
        return {};
    if (o.batch > 0) {
        if (o.prefix.isEmpty())
            return QStringLiteral("--batch needs --prefix NAME for the names of its files");
        if (!o.input.isEmpty())
            return QStringLiteral("--batch makes its own random data sets and reads no data file");
        if (!o.output.isEmpty())
            return QStringLiteral("--batch names its pictures after --prefix; leave out --output");
        // Each data file holds the count in one character, and the generator reads it as a number.
        if (o.count && (o.count->size() != 1 || !toDouble(*o.count)))
            return QStringLiteral("--count must be one character and a number for a batch, such as 3");
        return {};
    }
    if (!o.prefix.isEmpty())
        return QStringLiteral("--prefix belongs to --batch");
    if (o.input.isEmpty())
        return QStringLiteral("give a data file (.tfg) or a PNG that fenra-render wrote");
    if (o.output.isEmpty())
        return QStringLiteral("give the picture's name with --output NAME.png or NAME.bmp");
    if (!endsWithPictureExtension(o.output))
        return QStringLiteral("the picture's name must end in .bmp or .png");
    return {};
}

} // namespace

ParsedOptions parseOptions(const QStringList& arguments)
{
    CliOptions options;
    bool optionsEnded = false;   // after "--" every argument is a file name
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QStringLiteral("-")) {
            if (!options.input.isEmpty())
                return {std::nullopt, QStringLiteral("only one data file can be rendered at a time (\"%1\" and \"%2\")")
                                          .arg(options.input, argument)};
            options.input = argument;
            continue;
        }
        if (argument == QStringLiteral("--")) {
            optionsEnded = true;
            continue;
        }

        QString name = argument;
        std::optional<QString> value;
        if (const qsizetype equals = argument.indexOf(QLatin1Char('=')); argument.startsWith(QStringLiteral("--")) && equals > 0) {
            name = argument.left(equals);
            value = argument.mid(equals + 1);
        }
        name = canonicalName(name);

        if (name == QStringLiteral("--help") || name == QStringLiteral("--version")) {
            if (value)
                return {std::nullopt, QStringLiteral("%1 takes no value").arg(name)};
            (name == QStringLiteral("--help") ? options.help : options.version) = true;
            continue;
        }
        const auto option = valueOptions().find(name);
        if (option == valueOptions().end())
            return {std::nullopt, QStringLiteral("unknown option %1").arg(argument)};
        if (!value) {
            // The next argument is the value even when it starts with '-': --down -150.
            if (i + 1 >= arguments.size())
                return {std::nullopt, QStringLiteral("%1 needs a value").arg(name)};
            value = arguments[++i];
        }
        if (const QString error = option->second(options, *value); !error.isEmpty())
            return {std::nullopt, QStringLiteral("%1, not \"%2\"").arg(error, *value)};
    }
    if (const QString error = combinationError(options); !error.isEmpty())
        return {std::nullopt, error};
    return {options, QString()};
}

QString usageText()
{
    return QStringLiteral(
        "Usage: fenra-render [options] DATA.tfg --output PICTURE.png|.bmp\n"
        "       fenra-render [options] --batch N --prefix NAME\n"
        "\n"
        "Renders a Fenra data file as the window does, without a window. A PNG\n"
        "written by fenra-render carries its data record and can be the input.\n"
        "\n"
        "  -o, --output FILE    the picture; .bmp or .png by its extension\n"
        "  --points N           points to compute, 0 to 9223372036854775807 (5000)\n"
        "  --zoom TEXT          0.25x, 0.5x, 1x, 2x, 4x, 8x, or none (1x)\n"
        "  --right X            twips added to every x position (0)\n"
        "  --down Y             twips added to every y position (0)\n"
        "  --colour MODE        random, white, data or density (random)\n"
        "  --tint data|white    what colours a density picture (data)\n"
        "  --hide LIST          data sets not drawn, e.g. 2,5 (none)\n"
        "  --count TEXT         replaces the data file's \"Random #'s:\" text\n"
        "  --scale K            K times the window's 794 x 381 pixels, 1 to 16 (1)\n"
        "  --seed S             the random sequence; the same seed gives the same\n"
        "                       picture (default: from the clock; always printed)\n"
        "  --threads T          threads, each with its own stream from the seed\n"
        "                       (default: every core; a thread gets at least\n"
        "                       about a million points)\n"
        "  --batch N            N random pictures NAME(n).bmp with data files\n"
        "                       NAME(n).tfg, like the window's Random Batch\n"
        "  --prefix NAME        the batch's name (a trailing .tfg is dropped)\n"
        "  -h, --help           this text\n"
        "  --version            the program's version\n"
        "\n"
        "Exit status: 0 done, 1 a file could not be read or written, 2 a bad option.\n");
}

} // namespace fenra::cli
