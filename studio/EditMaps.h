#pragma once

#include "studio/StudioDocument.h"

#include <QUndoCommand>

namespace fenra::studio {

// One undo step: the whole list of maps before and after, with the
// selection and flags of each side. A few dozen maps, so copies are cheap
// and every edit, however shaped, undoes exactly.
class EditMaps final : public QUndoCommand {
public:
    EditMaps(StudioDocument& document, const QString& text, MapList after, std::vector<bool> shownAfter,
             int selectAfter);

    void undo() override;
    void redo() override;

private:
    StudioDocument& m_document;
    MapList m_before, m_after;
    std::vector<bool> m_shownBefore, m_shownAfter;
    int m_selectBefore, m_selectAfter;
};

}   // namespace fenra::studio
