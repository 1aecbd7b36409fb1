#pragma once

#include <QObject>

class TDBGrid;
class TDBNavigator;

// The keys of a book's grid, each doing what a navigator button does and only while that button
// is shown and enabled (the user's rights and the layout decide): Insert adds a record,
// Ctrl+Delete deletes it, Esc cancels the edit, Enter edits the current cell of the record being
// edited. Lives as long as the grid.
class TGridKeys : public QObject {
    Q_OBJECT

public:
    TGridKeys(TDBGrid* grid, TDBNavigator* navigator);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool press(int button);

    TDBGrid* m_grid;
    TDBNavigator* m_navigator;
};
