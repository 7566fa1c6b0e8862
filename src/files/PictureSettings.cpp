#include "files/PictureSettings.h"

#include "engine/NumberText.h"
#include "files/ShownText.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <limits>

namespace fenra {
namespace {

QString shortest(double value) { return QString::number(value, 'g', QLocale::FloatingPointShortest); }

// How one kind of value is read and written; a bad text reads as nothing.
template <class T>
struct Kind {
    std::function<std::optional<T>(const QString&)> read;
    std::function<QString(const T&)> write;
    QString refusal;   // what a good value is, for the user
};

template <class Integer>
Kind<Integer> whole(Integer low, Integer high)
{
    return {[=](const QString& v) { return wholeNumber<Integer>(v, low, high); },
            [](const Integer& n) { return QString::number(n); },
            QStringLiteral("needs a whole number from %1 to %2").arg(low).arg(high)};
}

Kind<double> positive(double most)
{
    return {[=](const QString& v) { return positiveNumber(v, most); }, shortest,
            QStringLiteral("needs a number above 0 and at most %1").arg(most)};
}

Kind<QString> choice(const QStringList& names)
{
    return {[=](const QString& v) { return names.contains(v) ? std::optional(v) : std::nullopt; },
            [](const QString& v) { return v; },
            QStringLiteral("needs %1 or %2").arg(names.mid(0, names.size() - 1).join(u", "), names.last())};
}

Kind<QString> twips()
{
    return {[](const QString& v) { return toDouble(v, u'.') ? std::optional(v) : std::nullopt; },
            [](const QString& v) { return v; }, QStringLiteral("needs a number of twips")};
}

template <class T>
QString listText(const std::vector<T>& values)
{
    QStringList items;
    for (const T& v : values)
        items << (std::is_floating_point_v<T> ? shortest(double(v)) : QString::number(v));
    return items.join(u',');
}

struct Field {
    const char* key;
    bool isSwitch;
    std::function<bool(PictureSettings&, const QString&)> read;   // false: a bad value
    std::function<QString(const PictureSettings&)> write;         // "--key value", empty when not set
    std::function<void(PictureSettings&)> clear;
    QString refusal;
};

template <class T>
Field field(const char* key, std::optional<T> PictureSettings::*member, const Kind<T>& kind)
{
    return {key,
            false,
            [=](PictureSettings& s, const QString& v) { return bool(s.*member = kind.read(v)); },
            [=](const PictureSettings& s) {
                const QString value = s.*member ? kind.write(*(s.*member)) : QString();
                return value.isEmpty() ? QString() : QStringLiteral("--%1 %2").arg(QLatin1String(key), value);
            },
            [=](PictureSettings& s) { s.*member = std::nullopt; },
            kind.refusal};
}

// A switch that sets `member` to `value`; it is written when the member holds that value.
template <class T>
Field flag(const char* key, std::optional<T> PictureSettings::*member, T value)
{
    return {key,
            true,
            [=](PictureSettings& s, const QString&) { return s.*member = value, true; },
            [=](const PictureSettings& s) {
                return s.*member == value ? QStringLiteral("--%1").arg(QLatin1String(key)) : QString();
            },
            [=](PictureSettings& s) { s.*member = std::nullopt; },
            {}};
}

// The whitelist, in the order a picture writes it.
const std::vector<Field>& fields()
{
    using S = PictureSettings;
    static const std::vector<Field> all{
        {"settings-version", false,
         [](S& s, const QString& v) {
             const std::optional<int> n = wholeNumber<int>(v, 1, std::numeric_limits<int>::max());
             return n && (s.version = *n);
         },
         [](const S& s) { return QStringLiteral("--settings-version %1").arg(s.version); }, [](S&) {},
         QStringLiteral("needs a whole number from 1")},
        field("points", &S::points, whole<std::int64_t>(0, std::numeric_limits<std::int64_t>::max())),
        flag("fit", &S::zoom, QStringLiteral("fit")),
        field("zoom", &S::zoom,
              Kind<QString>{choice(kZoomNames).read, [](const QString& v) { return v == u"fit" ? QString() : v; },
                            choice(kZoomNames).refusal}),   // "fit" is written as --fit
        field("right", &S::right, twips()),
        field("down", &S::down, twips()),
        field("colour", &S::colour, choice(kColourNames)),
        field("tint", &S::tint, choice(kTintNames)),
        flag("exact", &S::exact, true),
        field("gamma", &S::gamma, positive(kMaxToneValue)),
        field("brightness", &S::brightness, positive(kMaxToneValue)),
        field("weights", &S::weights,
              Kind<std::vector<double>>{weightList, listText<double>,
                                        QStringLiteral("needs up to 64 numbers of 0 or more, one above 0")}),
        field("oversample", &S::oversample, whole<int>(1, kMaxOversample)),
        field("hide", &S::hide,
              Kind<std::vector<int>>{setList, listText<int>, QStringLiteral("needs data set numbers from 1 to 6")}),
        field("scale", &S::scale, whole<int>(1, kMaxScale)),
        field("seed", &S::seed, whole<std::uint64_t>(0, std::numeric_limits<std::uint64_t>::max())),
        field("view", &S::view,
              Kind<std::array<double, 4>>{viewBox, viewBoxText,
                                          QStringLiteral("needs x0,y0,x1,y1 with x0 < x1 and y0 < y1")}),
        field("size", &S::size,
              Kind<std::array<int, 2>>{
                  pictureSize, [](const std::array<int, 2>& s) { return QStringLiteral("%1x%2").arg(s[0]).arg(s[1]); },
                  QStringLiteral("needs WxH, 16 to 65535 each")}),
        field("depth", &S::depth,
              Kind<int>{[](const QString& v) {
                            return v == u"8" ? std::optional(8) : v == u"16" ? std::optional(16) : std::nullopt;
                        },
                        [](const int& d) { return d == 8 ? QString() : QString::number(d); },   // 8 unwritten
                        QStringLiteral("needs 8 or 16")}),
    };
    return all;
}

const Field* fieldOf(const QString& word)
{
    for (const Field& f : fields())
        if (word == QLatin1String("--") + QLatin1String(f.key))
            return &f;
    return nullptr;
}

}   // namespace

template <class Integer>
std::optional<Integer> wholeNumber(const QString& text, Integer low, Integer high)
{
    const QByteArray digits = text.toLatin1();
    Integer value{};
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.isEmpty() || digits[0] == '-' || error != std::errc() || end != digits.data() + digits.size()
        || value < low || value > high)
        return std::nullopt;
    return value;
}
template std::optional<int> wholeNumber(const QString&, int, int);
template std::optional<std::int64_t> wholeNumber(const QString&, std::int64_t, std::int64_t);
template std::optional<std::uint64_t> wholeNumber(const QString&, std::uint64_t, std::uint64_t);

std::optional<double> positiveNumber(const QString& text, double most)
{
    const std::optional<double> n = toDouble(text, u'.');
    return n && *n > 0.0 && *n <= most ? n : std::nullopt;
}

std::optional<std::vector<double>> weightList(const QString& text)
{
    std::vector<double> weights;
    for (const QString& item : text.split(u',')) {
        const std::optional<double> w = toDouble(item.trimmed(), u'.');
        if (!w || !(*w >= 0.0) || weights.size() == std::size_t(kMaxMapWeights))
            return std::nullopt;
        weights.push_back(*w);
    }
    if (std::none_of(weights.begin(), weights.end(), [](double w) { return w > 0.0; }))
        return std::nullopt;
    return weights;
}

std::optional<std::vector<int>> setList(const QString& text)
{
    std::vector<int> sets;
    for (const QString& item : text.split(u',')) {
        const std::optional<int> set = wholeNumber<int>(item.trimmed(), 1, 6);
        if (!set)
            return std::nullopt;
        sets.push_back(*set);
    }
    return sets;
}

std::optional<std::array<double, 4>> viewBox(const QString& text)
{
    const QStringList items = text.split(u',');
    std::array<double, 4> box{};
    for (std::size_t k = 0; k < box.size(); ++k) {
        const std::optional<double> n =
            items.size() == 4 ? toDouble(items[qsizetype(k)].trimmed(), u'.') : std::nullopt;
        if (!n || !std::isfinite(*n))
            return std::nullopt;
        box[k] = *n;
    }
    if (!(box[0] < box[2] && box[1] < box[3]))
        return std::nullopt;
    return box;
}

QString viewBoxText(const std::array<double, 4>& box) { return listText(std::vector<double>(box.begin(), box.end())); }

std::optional<std::array<int, 2>> pictureSize(const QString& text)
{
    const QStringList sides = text.split(u'x');
    if (sides.size() != 2)
        return std::nullopt;
    const std::optional<int> w = wholeNumber<int>(sides[0], kMinPictureSide, kMaxPictureSide);
    const std::optional<int> h = wholeNumber<int>(sides[1], kMinPictureSide, kMaxPictureSide);
    return w && h ? std::optional(std::array{*w, *h}) : std::nullopt;
}

ReadPictureSettings readPictureSettings(const QByteArray& text)
{
    ReadPictureSettings result;
    PictureSettings settings;
    settings.version = 1;   // pictures written before the version key
    const QStringList words = QString::fromLatin1(text).split(u' ', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < words.size(); ++i) {
        const Field* f = fieldOf(words[i]);
        if (!f) {
            result.ignored << shownText(words[i]);
            continue;
        }
        const QString value = f->isSwitch || i + 1 >= words.size() ? QString() : words[++i];
        if (!f->read(settings, value)) {
            result.error =
                QStringLiteral("--%1 %2, not \"%3\"").arg(QLatin1String(f->key), f->refusal, shownText(value));
            return result;
        }
    }
    result.settings = settings;
    return result;
}

QByteArray pictureSettingsText(const PictureSettings& settings)
{
    QStringList parts;
    for (const Field& f : fields())
        if (const QString part = f.write(settings); !part.isEmpty())
            parts << part;
    return parts.join(u' ').toLatin1();
}

void dropSettings(PictureSettings& settings, const QStringList& given)
{
    // --size and --scale both say how big the picture is: either on the command line replaces both.
    if (given.contains(QStringLiteral("size")) || given.contains(QStringLiteral("scale"))) {
        settings.size = std::nullopt;
        settings.scale = std::nullopt;
    }
    for (const Field& f : fields())
        if (given.contains(QLatin1String(f.key)))
            f.clear(settings);
}

QStringList capStoredSettings(PictureSettings& fromFile, int scale, int oversample)
{
    QStringList said;
    if (fromFile.points > kMaxStoredPoints) {
        said << QStringLiteral("its %1 points are more than a picture may ask for; %2 are drawn")
                    .arg(*fromFile.points)
                    .arg(kMaxStoredPoints);
        fromFile.points = kMaxStoredPoints;
    }
    const int givenScale = fromFile.scale.value_or(scale), givenOversample = fromFile.oversample.value_or(oversample);
    int s = givenScale, o = givenOversample;
    if (fromFile.oversample && s * o > kMaxStoredSamples)
        o = std::max(1, kMaxStoredSamples / s);
    if (fromFile.scale && s * o > kMaxStoredSamples)
        s = std::max(1, kMaxStoredSamples / o);
    if (s != givenScale || o != givenOversample) {
        said << QStringLiteral("its --scale %1 --oversample %2 ask for more than a picture may; --scale %3 "
                               "--oversample %4 are used")
                    .arg(givenScale)
                    .arg(givenOversample)
                    .arg(s)
                    .arg(o);
        fromFile.scale = fromFile.scale ? std::optional(s) : std::nullopt;
        fromFile.oversample = fromFile.oversample ? std::optional(o) : std::nullopt;
    }
    if (fromFile.size) {
        // A poster's pixels: the oversampling goes first, then the size shrinks keeping its shape.
        const auto [w, h] = *fromFile.size;
        const std::int64_t pixels = std::int64_t(w) * h;
        int so = fromFile.oversample.value_or(oversample);
        while (so > 1 && pixels * so * so > kMaxStoredPixels)
            --so;
        const double shrink = std::min(1.0, std::sqrt(double(kMaxStoredPixels) / double(pixels * so * so)));
        const std::array<int, 2> fits{std::max(kMinPictureSide, int(w * shrink)),
                                      std::max(kMinPictureSide, int(h * shrink))};
        if (so != fromFile.oversample.value_or(oversample) || fits != *fromFile.size) {
            said << QStringLiteral("its --size %1x%2 --oversample %3 ask for more than a picture may; --size %4x%5 "
                                   "--oversample %6 are used")
                        .arg(w)
                        .arg(h)
                        .arg(fromFile.oversample.value_or(oversample))
                        .arg(fits[0])
                        .arg(fits[1])
                        .arg(so);
            fromFile.size = fits;
            fromFile.oversample = fromFile.oversample ? std::optional(so) : std::nullopt;
        }
    }
    return said;
}

}   // namespace fenra
