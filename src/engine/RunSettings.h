#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace fenra {

enum class ColourMode { Random, White, Data };

// The run settings as the window shows them.
struct RunSettingsTexts {
    QString iterations = QStringLiteral("5000");
    QString zoom = QStringLiteral("1x");
    QString moveX = QStringLiteral("0");   // "Right:", twips
    QString moveY = QStringLiteral("0");   // "Down", twips
    ColourMode colour = ColourMode::Random;
    std::array<bool, 6> show{true, true, true, true, true, true};   // Show box of set k at k - 1

    bool operator==(const RunSettingsTexts&) const = default;
};

// One zoom item: map units times `scale`, then shifted (all in twips).
struct ZoomStep {
    double scale;
    double shiftX;
    double shiftY;
};

// The zoom of an exact, case-sensitive item text; any other text means no zoom at all.
std::optional<ZoomStep> zoomStepFor(QStringView zoomText);

// A run's settings turned into numbers, once, before its loop.
struct RunPlan {
    std::int32_t iterations = 0;
    std::optional<ZoomStep> zoom;
    double moveX = 0.0;
    double moveY = 0.0;
    ColourMode colour = ColourMode::Random;
    std::array<bool, 6> show{};
};

// A run refuses to start when one of these is not a number it can use.
enum class RunField { Iterations, MoveX, MoveY };

// The field's caption in the window, for the message that names it.
QString captionOf(RunField field);

struct RunPlanResult {
    std::optional<RunPlan> plan;
    RunField refused = RunField::Iterations;   // meaningful only without a plan
};

RunPlanResult planRun(const RunSettingsTexts& settings);

}   // namespace fenra
