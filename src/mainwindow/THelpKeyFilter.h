#pragma once

#include <QObject>
#include <functional>

// F1 in every window of the program: one application-wide filter that answers each key press
// once, however many receivers the event passes on its way up the parents.
class THelpKeyFilter : public QObject {
    Q_OBJECT

public:
    THelpKeyFilter(std::function<void()> onHelp, QObject* parent);
    ~THelpKeyFilter() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_onHelp;
    const QEvent* m_lastKey = nullptr;
};
