#pragma once
// The picture-alignment list of the settings dialog. Once a row is selected, no click
// (Ctrl+click and clicks below the last row included) can leave the list without one, and
// only a change that the user makes is announced; the row set by the program is silent.
// It also keeps the alignment the list was filled with, to be restored on cancel.

#include <QListWidget>

class TAlignmentList : public QListWidget {
    Q_OBJECT
public:
    explicit TAlignmentList(QWidget* parent = nullptr);

    // The selected row, -1 when none is selected.
    int selectedRow() const;
    // Selects the row without announcing it; a value outside the rows selects none.
    void setSelectedRowSilently(int row);

    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

signals:
    // The user selected another row, by mouse or keyboard.
    void rowChosen();

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    void announceUserChange();

    int m_tag = 0;
    bool m_silent = false;
};
