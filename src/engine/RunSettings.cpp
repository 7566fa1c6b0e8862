#include "engine/RunSettings.h"

#include "engine/NumberText.h"

namespace fenra {

std::optional<ZoomStep> zoomStepFor(QStringView zoomText)
{
    struct Item {
        QStringView text;
        ZoomStep step;
    };
    static constexpr Item kItems[] = {
        {u"0.25x", {1250.0, 7250.0, 300.0}}, {u"0.5x", {2500.0, 6500.0, 150.0}},  {u"1x", {5000.0, 5000.0, 0.0}},
        {u"2x", {10000.0, 2000.0, -250.0}},  {u"4x", {20000.0, -4000.0, -750.0}}, {u"8x", {40000.0, -15500.0, -2000.0}},
    };
    for (const Item& item : kItems) {
        if (zoomText == item.text)
            return item.step;
    }
    return std::nullopt;
}

QString captionOf(RunField field)
{
    switch (field) {
    case RunField::Iterations:
        return QStringLiteral("Iterations:");
    case RunField::MoveX:
        return QStringLiteral("Right:");
    case RunField::MoveY:
        return QStringLiteral("Down");
    }
    return {};
}

RunPlanResult planRun(const RunSettingsTexts& settings)
{
    RunPlanResult result;
    const std::optional<std::int32_t> iterations = toInt32(settings.iterations);
    if (!iterations) {
        result.refused = RunField::Iterations;
        return result;
    }
    const std::optional<double> moveX = toDouble(settings.moveX);
    if (!moveX) {
        result.refused = RunField::MoveX;
        return result;
    }
    const std::optional<double> moveY = toDouble(settings.moveY);
    if (!moveY) {
        result.refused = RunField::MoveY;
        return result;
    }
    RunPlan plan;
    plan.iterations = *iterations;
    plan.zoom = zoomStepFor(settings.zoom);
    plan.moveX = *moveX;
    plan.moveY = *moveY;
    plan.colour = settings.colour;
    plan.show = settings.show;
    result.plan = plan;
    return result;
}

}   // namespace fenra
