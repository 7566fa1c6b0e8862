#include "files/SeededBatch.h"

#include "engine/RandomSource.h"
#include "files/Bitmap.h"
#include "generate/RandomizeDataSets.h"

namespace fenra {

SeededBatchSteps::SeededBatchSteps(render::RenderJob job, std::uint64_t firstSeed, Hooks hooks)
    : m_job(std::move(job)), m_nextSeed(firstSeed), m_hooks(std::move(hooks))
{}

void SeededBatchSteps::randomRun()
{
    m_job.seed = m_nextSeed++;
    if (m_hooks.seedChosen)
        m_hooks.seedChosen(m_job.seed);
    Pcg32Source generator(m_job.seed);
    // The seed stands in for the clock: the generator's own reseed gets a fixed time.
    RandomizeDataSets(m_job.dataSets, generator, 0.0);
    m_picture = m_hooks.render(m_job);
}

QByteArray SeededBatchSteps::currentPictureBitmap() { return encodeBitmap(m_picture.view()); }

}   // namespace fenra
