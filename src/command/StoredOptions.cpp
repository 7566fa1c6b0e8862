#include "command/StoredOptions.h"

namespace fenra::command {

void applyStoredSettings(const PictureSettings& s, CommandOptions& o)
{
    if (s.points)
        o.points = *s.points;
    if (s.zoom) {
        o.fit = *s.zoom == u"fit";
        if (!*o.fit)
            o.zoom = *s.zoom == u"none" ? QString() : *s.zoom;
    }
    o.right = s.right.value_or(o.right);
    o.down = s.down.value_or(o.down);
    if (s.colour)
        o.colour = PictureColour(kColourNames.indexOf(*s.colour));
    if (s.tint)
        o.tint = DensityTint(kTintNames.indexOf(*s.tint));
    o.exact = s.exact.value_or(o.exact);
    o.gamma = s.gamma.value_or(o.gamma);
    o.brightness = s.brightness.value_or(o.brightness);
    o.weights = s.weights.value_or(o.weights);
    o.oversample = s.oversample.value_or(o.oversample);
    if (s.hide)
        o.show = shownBut(*s.hide);
    o.scale = s.scale.value_or(o.scale);
    if (s.size)
        o.size = poster::PictureSize{(*s.size)[0], (*s.size)[1]};
    o.depth = s.depth.value_or(o.depth);
    if (s.seed)
        o.seed = s.seed;
    if (s.view)
        o.view = s.view;
}

PictureSettings storedSettings(const CommandOptions& o, std::uint64_t seed)
{
    // Only what differs from the defaults besides the frame, the colour, the scale and the seed.
    // Not the threads: they do not change the picture, so the file is the same for any number.
    const CommandOptions defaults;
    PictureSettings s;
    s.points = o.points;
    s.zoom = o.fit.value_or(false) ? QStringLiteral("fit") : o.zoom.isEmpty() ? QStringLiteral("none") : o.zoom;
    s.right = o.right;
    s.down = o.down;
    s.colour = kColourNames[int(o.colour)];
    if (o.colour == PictureColour::Density && o.tint != DensityTint::Data)
        s.tint = kTintNames[int(o.tint)];
    if (o.exact)
        s.exact = true;
    if (o.gamma != defaults.gamma)
        s.gamma = o.gamma;
    if (o.brightness != defaults.brightness)
        s.brightness = o.brightness;
    if (!o.weights.empty())
        s.weights = o.weights;
    if (o.oversample != 1)
        s.oversample = o.oversample;
    std::vector<int> hidden;
    for (int k = 1; k <= 6; ++k)
        if (!o.show[std::size_t(k - 1)])
            hidden.push_back(k);
    if (!hidden.empty())
        s.hide = hidden;
    if (o.size)
        s.size = std::array{o.size->width, o.size->height};
    else
        s.scale = o.scale;
    s.depth = o.depth;
    s.seed = seed;
    s.view = o.view;
    return s;
}

}   // namespace fenra::command
