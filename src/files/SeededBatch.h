#pragma once

#include "files/RandomBatch.h"
#include "render/RenderPicture.h"

#include <cstdint>
#include <functional>

namespace fenra {

// The window's Random command, once per picture, each with its own seed:
// the data sets are generated from the seed and the picture is rendered with
// it, so "fenra-render NAME(n).tfg --seed S" with the same options draws the
// same picture again.
class SeededBatchSteps final : public BatchSteps {
public:
    struct Hooks {
        std::function<void(std::uint64_t)> seedChosen;                   // before each render; may be empty
        std::function<render::Image(const render::RenderJob&)> render;   // draws one run's picture
        std::function<void(int run, std::uint64_t seed)> saved;          // `run` runs are written
    };

    // `job` holds everything but the data sets and the seed; seeds count up from `firstSeed`.
    SeededBatchSteps(render::RenderJob job, std::uint64_t firstSeed, Hooks hooks);

    void randomRun() override;
    DataSetTexts currentDataSets() override { return m_job.dataSets; }
    QByteArray currentPictureBitmap() override;
    void setProgress(int run) override { m_hooks.saved(run, m_job.seed); }

private:
    render::RenderJob m_job;
    std::uint64_t m_nextSeed;
    Hooks m_hooks;
    render::Image m_picture;
};

}   // namespace fenra
