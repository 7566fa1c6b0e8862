#pragma once

#include "studio/StudioDocument.h"

#include <QWidget>

class QTableWidget;
class QTableWidgetItem;

namespace fenra::studio {

// The maps as a table: a row per map in its colour, with "shown", the weight
// and the six numbers in the window's order, each exact and editable. An
// edit is one undo step; a text that is not a number is put back.
class MapsPanel : public QWidget {
    Q_OBJECT
public:
    explicit MapsPanel(StudioDocument& document, QWidget* parent = nullptr);

    QSize sizeHint() const override { return {520, 300}; }

signals:
    // A typed text that is no number, for the status line.
    void refused(const QString& why);

private:
    void fill();
    void followSelection(int k);
    void itemEdited(QTableWidgetItem* item);

    StudioDocument& m_document;
    QTableWidget* m_table;
};

}   // namespace fenra::studio
