#include "studio/MapsPanel.h"

#include "engine/NumberText.h"
#include "render/Palette.h"

#include <QHeaderView>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace fenra::studio {
namespace {

constexpr int kShownColumn = 0;
constexpr int kWeightColumn = 1;
constexpr int kFirstValueColumn = 2;   // then c[0] to c[5]

}   // namespace

MapsPanel::MapsPanel(StudioDocument& document, QWidget* parent)
    : QWidget(parent), m_document(document), m_table(new QTableWidget(this))
{
    setObjectName(QStringLiteral("mapsPanel"));
    m_table->setObjectName(QStringLiteral("mapsTable"));
    m_table->setColumnCount(kFirstValueColumn + 6);
    // x' = a·x + b·y + e, y' = c·x + d·y + f, in the window's order of its six boxes.
    m_table->setHorizontalHeaderLabels({tr("Shown"), tr("Weight"), QStringLiteral("a"), QStringLiteral("b"),
                                        QStringLiteral("e"), QStringLiteral("c"), QStringLiteral("d"),
                                        QStringLiteral("f")});
    m_table->setWordWrap(false);   // a long exact value is cut short with an ellipsis; its tooltip holds it whole
    m_table->horizontalHeader()->setToolTip(tr("x′ = a·x + b·y + e,  y′ = c·x + d·y + f"));
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_table->horizontalHeader()->setSectionResizeMode(kShownColumn, QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setSectionResizeMode(kWeightColumn, QHeaderView::ResizeToContents);
    m_table->verticalHeader()->hide();   // the Shown column numbers the maps
    setMinimumWidth(480);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table);

    connect(&m_document, &StudioDocument::mapsChanged, this, &MapsPanel::fill);
    connect(&m_document, &StudioDocument::shownChanged, this, &MapsPanel::fill);
    connect(&m_document, &StudioDocument::selectionChanged, this, &MapsPanel::followSelection);
    connect(m_table, &QTableWidget::itemChanged, this, &MapsPanel::itemEdited);
    connect(m_table, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row >= 0)
            m_document.select(row);
    });
    fill();
}

namespace {

QTableWidgetItem* numberItem(double value)
{
    auto* item = new QTableWidgetItem(exactNumberText(value));
    item->setToolTip(item->text());
    return item;
}

}   // namespace

void MapsPanel::fill()
{
    const QSignalBlocker blocker(m_table);
    const MapList& maps = m_document.maps();
    m_table->setRowCount(int(maps.size()));
    for (int k = 0; k < int(maps.size()); ++k) {
        const StudioMap& map = maps[std::size_t(k)];
        auto* shown = new QTableWidgetItem(QString::number(k + 1));
        shown->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        shown->setCheckState(m_document.shown(k) ? Qt::Checked : Qt::Unchecked);
        shown->setData(Qt::DecorationRole, QColor::fromRgb(render::setColour(k + 1)));   // the map's colour
        m_table->setItem(k, kShownColumn, shown);
        m_table->setItem(k, kWeightColumn, numberItem(map.weight));
        for (int j = 0; j < 6; ++j)
            m_table->setItem(k, kFirstValueColumn + j, numberItem(map.map.c[j]));
    }
    followSelection(m_document.selected());
}

void MapsPanel::followSelection(int k)
{
    const QSignalBlocker blocker(m_table);
    if (k >= 0 && k < m_table->rowCount() && m_table->currentRow() != k)
        m_table->setCurrentCell(k, std::max(0, m_table->currentColumn()));
    if (k >= 0 && k < m_table->rowCount())
        m_table->selectRow(k);
}

void MapsPanel::itemEdited(QTableWidgetItem* item)
{
    const int k = item->row(), column = item->column();
    if (k < 0 || k >= int(m_document.maps().size()))
        return;
    if (column == kShownColumn) {
        m_document.setShown(k, item->checkState() == Qt::Checked);
        return;
    }
    const std::optional<double> value = toDouble(item->text());
    const bool usable = value && std::isfinite(*value) && (column != kWeightColumn || *value >= 0.0);
    if (!usable) {
        emit refused(tr("\"%1\" is not a number for map %2").arg(item->text()).arg(k + 1));
        fill();
        return;
    }
    MapList after = m_document.maps();
    StudioMap& map = after[std::size_t(k)];
    if (column == kWeightColumn)
        map.weight = *value;
    else
        map.map.c[column - kFirstValueColumn] = *value;
    // All weights 0 would leave nothing to pick: refused like a text that is no number.
    double total = 0;
    for (const StudioMap& m : after)
        total += m.weight;
    if (!(total > 0)) {
        emit refused(tr("At least one map needs a weight above 0"));
        fill();
        return;
    }
    m_document.edit(tr("Edit map %1").arg(k + 1), std::move(after), k);
    fill();   // shows the value as read, exactly
}

}   // namespace fenra::studio
