#include "TfrWaitingForm.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>
#include <cmath>

TfrWaitingForm::TfrWaitingForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frWaitingForm"));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint);
    auto* label1 = new QLabel(QStringLiteral("Подождите, идет инициализация..."), this);
    label1->setObjectName(QStringLiteral("Label1"));
    m_lbCount = new QLabel(this);
    m_lbCount->setObjectName(QStringLiteral("lbCount"));
    m_prgrBar = new QProgressBar(this);
    m_prgrBar->setObjectName(QStringLiteral("prgrBar"));
    m_prgrBar->setTextVisible(false);
    auto* percent = new QHBoxLayout;
    percent->addWidget(label1, 1);
    percent->addWidget(m_lbCount);
    percent->addWidget(new QLabel(QStringLiteral("%"), this));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(percent);
    layout->addWidget(m_prgrBar);
    resize(360, 80);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    SetStepCount(1);
}

void TfrWaitingForm::SetStepCount(int count) {
    m_count = std::max(count, 1);
    m_prgrBar->setRange(1, m_count);
    m_prgrBar->setValue(1);
    showPercent();
}

void TfrWaitingForm::Step() {
    m_prgrBar->setValue(std::min(m_prgrBar->value() + 1, m_prgrBar->maximum()));
    showPercent();
    repaint();
}

QString TfrWaitingForm::percentText() const {
    return m_lbCount->text();
}

void TfrWaitingForm::showPercent() {
    const long percent = std::lround(double(m_prgrBar->value()) / m_count * 100.0);
    m_lbCount->setText(QString::number(std::min(percent, 100L)));
}
