#include "engine/PickDataSet.h"

#include "engine/NumberText.h"
#include "engine/RandomSource.h"

namespace fenra {

MapPicker::MapPicker(QStringView countText)
{
    const std::optional<std::int16_t> count = toInt16(countText);
    m_countIsNumber = count.has_value();
    m_count = count.value_or(0);
    m_copies = m_countIsNumber && m_count >= 2 && m_count <= kDataSetCount;
}

void PickDataSet(const DataSetTexts& dataSets, CurrentMap& map, RandomSource& random)
{
    const MapPicker picker(dataSets.count);
    if (!picker.countIsNumber())
        return;
    const int k = picker.pick(random.nextUnit());
    map.setNumber = QString::number(k);
    if (picker.copiesSet(k))
        map.coefficients = dataSets.sets[std::size_t(k - 1)];
}

}   // namespace fenra
