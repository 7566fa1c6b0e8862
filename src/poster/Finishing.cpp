#include "poster/Finishing.h"

#include <charconv>

namespace fenra::poster {
namespace {

constexpr char kTone[] = "tone";
constexpr char kPng[] = "png:";

// A double as hexadecimal digits: read back bit for bit, whatever the locale.
std::string exactly(double v)
{
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, v, std::chars_format::hex).ptr;
    return std::string(text, end);
}

}   // namespace

Texts Finishing::toNotes() const
{
    Texts notes{{kTone, exactly(tone.tone.gamma) + ' ' + exactly(tone.tone.brightness) + ' '
                            + (tone.density ? "1" : "0") + ' ' + std::to_string(tone.oversample) + ' '
                            + std::to_string(tone.depth)}};
    for (const auto& [key, value] : pngTexts)
        notes.emplace_back(kPng + key, value);
    return notes;
}

std::optional<Finishing> Finishing::fromNotes(const Texts& notes)
{
    Finishing f;
    bool toned = false;
    for (const auto& [key, value] : notes) {
        if (key.starts_with(kPng)) {
            f.pngTexts.emplace_back(key.substr(sizeof kPng - 1), value);
            continue;
        }
        if (key != kTone)
            continue;   // a later version's note this one does without
        const char* at = value.data();
        const char* end = value.data() + value.size();
        int density = 0;
        const auto field = [&](auto& out, bool hex) {
            std::from_chars_result r;
            if constexpr (std::is_floating_point_v<std::remove_reference_t<decltype(out)>>)
                r = std::from_chars(at, end, out, hex ? std::chars_format::hex : std::chars_format::general);
            else
                r = std::from_chars(at, end, out);
            at = r.ptr + (r.ptr < end && *r.ptr == ' ' ? 1 : 0);
            return r.ec == std::errc();
        };
        render::ToneSettings& t = f.tone;
        toned = field(t.tone.gamma, true) && field(t.tone.brightness, true) && field(density, false)
                && field(t.oversample, false) && field(t.depth, false) && at == end && t.tone.gamma > 0
                && t.tone.brightness > 0 && t.oversample >= 1 && (t.depth == 8 || t.depth == 16);
        t.density = density != 0;
    }
    return toned ? std::optional(f) : std::nullopt;
}

PictureWriter::PictureWriter(int fineWidth, int fineHeight, std::uint64_t mostHits, const Finishing& finishing,
                             int threads, files::ByteSink sink)
    : m_png(std::move(sink),
            {fineWidth / finishing.tone.oversample, fineHeight / finishing.tone.oversample, finishing.tone.depth},
            finishing.pngTexts, threads),
      m_tone(fineWidth, fineHeight, finishing.tone, mostHits, threads, [this](const render::PictureRows& rows) {
          if (rows.argb.empty())
              m_png.addRows(rows.rgb16);
          else
              m_png.addRows(rows.argb);
      })
{}

}   // namespace fenra::poster
