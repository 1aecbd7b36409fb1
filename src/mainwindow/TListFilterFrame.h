#pragma once

#include <QFrame>
#include <functional>

class QButtonGroup;
class QGroupBox;
class QPushButton;

// A filter under a list view: a choice of what to list and "Применить фильтр", which hands the
// view a WHERE condition through the callback given with InitFilter.
class TListFilterFrame : public QFrame {
    Q_OBJECT

public:
    using Callback =
        std::function<void(QWidget* mainWindow, TListFilterFrame* frame, const QString& condition)>;

    // The button is enabled exactly when a callback is given.
    void InitFilter(Callback callback, QWidget* mainWindow);
    void choose(int option);
    int chosen() const;
    QPushButton* btApplyFilter;
    QGroupBox* rdgrpStatus;

    // Asked before the condition is handed over: the view keeps its column layout.
    std::function<void()> beforeApply;

protected:
    TListFilterFrame(const QString& title, const QStringList& options, int initial, QWidget* parent);
    // The WHERE condition for the chosen option; a null text hands nothing over.
    virtual QString condition(int option) const = 0;

private:
    void btApplyFilterClick();

    QButtonGroup* m_options;
    Callback m_callback;
    QWidget* m_mainWindow = nullptr;
};
