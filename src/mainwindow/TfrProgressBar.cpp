#include "TfrProgressBar.h"

#include "OrtaUtils.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

TfrProgressBar::TfrProgressBar(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frProgressBar"));
    setWindowTitle(QStringLiteral("Загрузка выборки паспортов"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    m_panel = new QLabel(this);
    m_panel->setObjectName(QStringLiteral("Panel"));
    m_panel->setAlignment(Qt::AlignCenter);
    m_prgrBar = new QProgressBar(this);
    m_prgrBar->setObjectName(QStringLiteral("prgrBar"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_panel);
    layout->addWidget(m_prgrBar);
    resize(400, 70);
}

void TfrProgressBar::setCaption(const QString& text) {
    m_panel->setText(text);
}

QString TfrProgressBar::caption() const {
    return m_panel->text();
}

void TfrProgressBar::setRange(int minimum, int maximum) {
    m_prgrBar->setRange(minimum, maximum);
    m_prgrBar->setValue(minimum);
}

int TfrProgressBar::position() const {
    return m_prgrBar->value();
}

void TfrProgressBar::StepProgress() {
    m_prgrBar->setValue(std::min(m_prgrBar->value() + 1, m_prgrBar->maximum()));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TfrProgressBar::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_started) {
        m_started = true;
        QTimer::singleShot(0, this, &TfrProgressBar::runJob);
    }
}

void TfrProgressBar::runJob() {
    try {
        if (m_job)
            m_job(*this);
    } catch (const std::exception& e) {
        errorBox(errorMessage(e));
    }
    m_started = false;
    accept();
}
