#include "studio/StudioDocument.h"

#include "studio/EditMaps.h"

#include <algorithm>
#include <utility>

namespace fenra::studio {

std::vector<AffineMap> affineMaps(const MapList& maps)
{
    std::vector<AffineMap> out;
    for (const StudioMap& m : maps)
        out.push_back(m.map);
    return out;
}

std::vector<double> weightsOf(const MapList& maps)
{
    std::vector<double> out;
    for (const StudioMap& m : maps)
        out.push_back(m.weight);
    return out;
}

StudioDocument::StudioDocument(QObject* parent) : QObject(parent) {}

void StudioDocument::reset(MapList maps)
{
    m_beforePreview.reset();
    m_undo.clear();
    m_shown = allShown(maps);
    m_maps = std::move(maps);
    m_selected = m_maps.empty() ? -1 : 0;
    emit mapsChanged();
    emit selectionChanged(m_selected);
    emit shownChanged();
}

void StudioDocument::select(int k)
{
    k = m_maps.empty() ? -1 : std::clamp(k, 0, int(m_maps.size()) - 1);
    if (k == m_selected)
        return;
    m_selected = k;
    emit selectionChanged(k);
}

void StudioDocument::setShown(int k, bool shown)
{
    if (k < 0 || k >= int(m_shown.size()) || m_shown[std::size_t(k)] == shown)
        return;
    m_shown[std::size_t(k)] = shown;
    emit shownChanged();
}

void StudioDocument::apply(const MapList& maps, const std::vector<bool>& shown, int selected)
{
    const bool changed = maps != m_maps;
    const bool counted = maps.size() != m_maps.size();
    // Both set before either is announced: a listener reads them together.
    m_maps = maps;
    if (counted)
        m_shown = shown;
    if (counted)
        emit shownChanged();
    if (changed)
        emit mapsChanged();
    m_selected = -2;   // always announced: the panel follows the maps
    select(selected);
}

void StudioDocument::edit(const QString& text, MapList after, int selectAfter)
{
    if (after == m_maps)
        return;   // nothing to undo
    std::vector<bool> shownAfter = m_shown;
    shownAfter.resize(after.size(), true);
    m_undo.push(new EditMaps(*this, text, std::move(after), std::move(shownAfter), selectAfter));
}

void StudioDocument::preview(int k, const StudioMap& map)
{
    if (k < 0 || k >= int(m_maps.size()) || m_maps[std::size_t(k)] == map)
        return;
    if (!m_beforePreview)
        m_beforePreview = m_maps;
    m_maps[std::size_t(k)] = map;
    emit mapsChanged();
}

void StudioDocument::endPreview(const QString& text)
{
    if (!m_beforePreview)
        return;
    MapList after = std::exchange(m_maps, *m_beforePreview);
    m_beforePreview.reset();
    // The maps already show `after`: the step's first redo changes nothing on screen.
    edit(text, std::move(after), m_selected);
}

void StudioDocument::moveSelected(double dx, double dy)
{
    if (m_selected < 0)
        return;
    MapList after = m_maps;
    AffineMap& m = after[std::size_t(m_selected)].map;
    m.c[2] += dx;
    m.c[5] += dy;
    edit(tr("Move map"), std::move(after), m_selected);
}

void StudioDocument::removeSelected()
{
    if (m_selected < 0 || m_maps.size() <= 1)
        return;   // a picture needs one map
    MapList after = m_maps;
    std::vector<bool> shownAfter = m_shown;
    after.erase(after.begin() + m_selected);
    shownAfter.erase(shownAfter.begin() + m_selected);
    const int next = std::min(m_selected, int(after.size()) - 1);
    m_undo.push(new EditMaps(*this, tr("Delete map"), std::move(after), std::move(shownAfter), next));
}

void StudioDocument::duplicateSelected()
{
    if (m_selected < 0 || m_maps.size() >= std::size_t(kMaxStudioMaps))
        return;
    MapList after = m_maps;
    std::vector<bool> shownAfter = m_shown;
    after.insert(after.begin() + m_selected + 1, m_maps[std::size_t(m_selected)]);
    shownAfter.insert(shownAfter.begin() + m_selected + 1, true);
    m_undo.push(new EditMaps(*this, tr("Duplicate map"), std::move(after), std::move(shownAfter), m_selected + 1));
}

void StudioDocument::addSmallMap()
{
    if (m_maps.size() >= std::size_t(kMaxStudioMaps))
        return;
    // A quarter-size copy beside the first map's corner O, where it can be seen and grabbed.
    StudioMap small;
    small.map = AffineMap{{0.25, 0, 0, 0, 0.25, 0}};
    if (!m_maps.empty()) {
        const AffineMap& first = m_maps.front().map;
        small.map.c[2] = first.c[2];
        small.map.c[5] = first.c[5];
    }
    MapList after = m_maps;
    after.push_back(small);
    std::vector<bool> shownAfter = m_shown;
    shownAfter.push_back(true);
    const int added = int(after.size()) - 1;
    m_undo.push(new EditMaps(*this, tr("Add map"), std::move(after), std::move(shownAfter), added));
}

}   // namespace fenra::studio
