#pragma once

#include "engine/AffineMap.h"

#include <QObject>
#include <QUndoStack>

#include <optional>
#include <vector>

namespace fenra::studio {

// As many maps as a render draws.
inline constexpr int kMaxStudioMaps = 64;

// One map of the document: the affine map and how often it is picked. Its
// colour is that of its place in the list.
struct StudioMap {
    AffineMap map;
    double weight = 1.0;   // >= 0, in proportion to the others

    bool operator==(const StudioMap&) const = default;
};
using MapList = std::vector<StudioMap>;

// The maps being edited, which one is selected, and which are shown. Every
// change of the maps goes through the undo stack; "shown" and the selection
// are only the view's, neither saved nor undone on their own.
class StudioDocument : public QObject {
    Q_OBJECT
public:
    explicit StudioDocument(QObject* parent = nullptr);

    const MapList& maps() const { return m_maps; }
    int selected() const { return m_selected; }   // -1 with no maps
    bool shown(int k) const { return m_shown.at(std::size_t(k)); }
    std::vector<bool> shownFlags() const { return m_shown; }
    QUndoStack& undoStack() { return m_undo; }

    // A fresh document: these maps, the first selected, nothing to undo, clean.
    void reset(MapList maps);
    void select(int k);
    void setShown(int k, bool shown);

    // One undo step: the maps become `after`, then `selectAfter` is selected.
    void edit(const QString& text, MapList after, int selectAfter);
    // A drag: map k changes at once, and ends as one undo step (or none if it came back).
    void preview(int k, const StudioMap& map);
    void endPreview(const QString& text);

    // The edits of the menu and keys, each one step, on the selected map.
    void moveSelected(double dx, double dy);
    void removeSelected();
    void duplicateSelected();
    void addSmallMap();

signals:
    void mapsChanged();
    void selectionChanged(int k);
    void shownChanged();

private:
    friend class EditMaps;
    // Sets the maps as an undo step leaves them. Flags of maps that stay in
    // place are kept; `shown` is the flags when the number of maps changes.
    void apply(const MapList& maps, const std::vector<bool>& shown, int selected);

    MapList m_maps;
    std::vector<bool> m_shown;
    int m_selected = -1;
    QUndoStack m_undo;
    std::optional<MapList> m_beforePreview;
};

// The maps alone, and their weights, in the list's order.
std::vector<AffineMap> affineMaps(const MapList& maps);
std::vector<double> weightsOf(const MapList& maps);

// The maps given a fresh set of flags, for a file just read: all shown.
inline std::vector<bool> allShown(const MapList& maps) { return std::vector<bool>(maps.size(), true); }

}   // namespace fenra::studio
