#include "TGridKeys.h"

#include "TDBGrid.h"
#include "TDBNavigator.h"
#include "TMemoryData.h"

#include <QKeyEvent>
#include <QToolButton>

TGridKeys::TGridKeys(TDBGrid* grid, TDBNavigator* navigator)
    : QObject(grid), m_grid(grid), m_navigator(navigator) {
    grid->installEventFilter(this);
}

bool TGridKeys::press(int button) {
    QToolButton* b = m_navigator->button(TDBNavigator::Button(button));
    if (b->isHidden() || !b->isEnabled())
        return false;
    m_navigator->click(TDBNavigator::Button(button));
    return true;
}

bool TGridKeys::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_grid || event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const TMemoryData* data = m_grid->data();
    switch (key->key()) {
    case Qt::Key_Insert:
        return key->modifiers() == Qt::NoModifier && press(TDBNavigator::nbInsert);
    case Qt::Key_Delete:
        return key->modifiers() == Qt::ControlModifier && press(TDBNavigator::nbDelete);
    case Qt::Key_Escape:
        return data->isEditing() && !m_grid->isEditingCell() && press(TDBNavigator::nbCancel);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!data->isEditing() || m_grid->isEditingCell())
            return false;
        m_grid->edit(m_grid->currentIndex());
        return true;
    default:
        return false;
    }
}
