#include "THelpKeyFilter.h"

#include <QCoreApplication>
#include <QKeyEvent>

THelpKeyFilter::THelpKeyFilter(std::function<void()> onHelp, QObject* parent)
    : QObject(parent), m_onHelp(std::move(onHelp)) {
    QCoreApplication::instance()->installEventFilter(this);
}

THelpKeyFilter::~THelpKeyFilter() {
    QCoreApplication::instance()->removeEventFilter(this);
}

bool THelpKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    // The help is shown, and the key still goes to the windows.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
        event != m_lastKey && watched->isWidgetType()) {
        m_lastKey = event;
        m_onHelp();
    }
    return false;
}
