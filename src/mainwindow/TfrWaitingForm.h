#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

// "Подождите, идет инициализация...": the progress of start-up and of loading the catalogue.
class TfrWaitingForm : public QDialog {
    Q_OBJECT

public:
    explicit TfrWaitingForm(QWidget* parent = nullptr);

    void SetStepCount(int count);
    void Step();
    QString percentText() const;

private:
    void showPercent();

    QLabel* m_lbCount;
    QProgressBar* m_prgrBar;
    int m_count = 1;
};
