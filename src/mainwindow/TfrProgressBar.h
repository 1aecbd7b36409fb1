#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QProgressBar;

// A modal progress window for a long job. The job runs on the main thread once the window is up
// and advances the bar with StepProgress; the window closes when the job ends.
class TfrProgressBar : public QDialog {
    Q_OBJECT

public:
    using Job = std::function<void(TfrProgressBar&)>;

    explicit TfrProgressBar(QWidget* parent = nullptr);

    void setJob(Job job) { m_job = std::move(job); }
    void setCaption(const QString& text);
    void setRange(int minimum, int maximum);
    void StepProgress();
    int position() const;
    QString caption() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void runJob();

    QLabel* m_panel;
    QProgressBar* m_prgrBar;
    Job m_job;
    bool m_started = false;
};
