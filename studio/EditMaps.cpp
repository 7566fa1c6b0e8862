#include "studio/EditMaps.h"

namespace fenra::studio {

EditMaps::EditMaps(StudioDocument& document, const QString& text, MapList after, std::vector<bool> shownAfter,
                   int selectAfter)
    : QUndoCommand(text), m_document(document), m_before(document.maps()), m_after(std::move(after)),
      m_shownBefore(document.shownFlags()), m_shownAfter(std::move(shownAfter)), m_selectBefore(document.selected()),
      m_selectAfter(selectAfter)
{}

void EditMaps::undo() { m_document.apply(m_before, m_shownBefore, m_selectBefore); }

void EditMaps::redo() { m_document.apply(m_after, m_shownAfter, m_selectAfter); }

}   // namespace fenra::studio
