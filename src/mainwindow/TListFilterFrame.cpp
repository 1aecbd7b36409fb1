#include "TListFilterFrame.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>

TListFilterFrame::TListFilterFrame(const QString& title, const QStringList& options, int initial,
                                   QWidget* parent)
    : QFrame(parent) {
    rdgrpStatus = new QGroupBox(title, this);
    rdgrpStatus->setObjectName(QStringLiteral("rdgrpStatus"));
    m_options = new QButtonGroup(this);
    auto* optionsLayout = new QHBoxLayout(rdgrpStatus);
    for (int i = 0; i < options.size(); ++i) {
        auto* option = new QRadioButton(options.at(i), rdgrpStatus);
        m_options->addButton(option, i);
        optionsLayout->addWidget(option);
    }
    btApplyFilter = new QPushButton(QStringLiteral("Применить фильтр"), this);
    btApplyFilter->setObjectName(QStringLiteral("btApplyFilter"));
    btApplyFilter->setEnabled(false);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(rdgrpStatus, 1);
    layout->addWidget(btApplyFilter);
    choose(initial);
    connect(btApplyFilter, &QPushButton::clicked, this, &TListFilterFrame::btApplyFilterClick);
}

void TListFilterFrame::InitFilter(Callback callback, QWidget* mainWindow) {
    m_callback = std::move(callback);
    m_mainWindow = mainWindow;
    btApplyFilter->setEnabled(bool(m_callback));
}

void TListFilterFrame::choose(int option) {
    if (QAbstractButton* b = m_options->button(option))
        b->setChecked(true);
}

int TListFilterFrame::chosen() const {
    return m_options->checkedId();
}

void TListFilterFrame::btApplyFilterClick() {
    if (beforeApply)
        beforeApply();
    if (!m_callback)
        return;
    const QString text = condition(chosen());
    if (!text.isNull())
        m_callback(m_mainWindow, this, text);
}
