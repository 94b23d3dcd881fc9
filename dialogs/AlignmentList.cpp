#include "dialogs/AlignmentList.h"

TAlignmentList::TAlignmentList(QWidget* parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemSelectionChanged, this, &TAlignmentList::announceUserChange);
}

int TAlignmentList::selectedRow() const
{
    const QModelIndexList rows = selectionModel()->selectedIndexes();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TAlignmentList::setSelectedRowSilently(int row)
{
    m_silent = true;
    if (row >= 0 && row < count()) {
        setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    } else {
        selectionModel()->clear();
    }
    m_silent = false;
}

QItemSelectionModel::SelectionFlags TAlignmentList::selectionCommand(const QModelIndex& index,
                                                                     const QEvent* event) const
{
    const QItemSelectionModel::SelectionFlags asked = QListWidget::selectionCommand(index, event);
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    // A toggle or deselect of the selected row would leave the list empty: select it instead.
    if (asked & (QItemSelectionModel::Toggle | QItemSelectionModel::Deselect))
        return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    if ((asked & QItemSelectionModel::Clear) && !(asked & QItemSelectionModel::Select))
        return QItemSelectionModel::NoUpdate;
    return asked;
}

void TAlignmentList::announceUserChange()
{
    if (!m_silent)
        emit rowChosen();
}
