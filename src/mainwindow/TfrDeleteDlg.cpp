#include "TfrDeleteDlg.h"

#include "EError.h"
#include "OrtaUtils.h"
#include "TATreeDataCollection.h"
#include "TUserInteraction.h"
#include "TfrATypes.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TfrDeleteDlg::TfrDeleteDlg(TfrATypes& chooser, QWidget* parent) : QDialog(parent), m_chooser(chooser) {
    setObjectName(QStringLiteral("frDeleteDlg"));
    setWindowTitle(QStringLiteral("Удаление записи"));
    auto* group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("rGr"));
    rGr = new QButtonGroup(this);
    auto* options = new QVBoxLayout(group);
    const QStringList captions{
        QStringLiteral("Удалить только текущую запись и переместить подчиненные записи на уровень выше"),
        QStringLiteral("Удалить текущую запись и все подчиненные ей"),
        QStringLiteral("Удалить текущую запись, а все подчиненные переместить в: ")};
    for (int i = 0; i < captions.size(); ++i) {
        auto* button = new QRadioButton(captions.at(i), group);
        rGr->addButton(button, i);
        options->addWidget(button);
    }
    mem = new QPlainTextEdit(this);
    mem->setObjectName(QStringLiteral("mem"));
    mem->setReadOnly(true);
    mem->setMaximumHeight(70);
    bbtTree = new QPushButton(QStringLiteral("..."), this);
    bbtTree->setObjectName(QStringLiteral("bbtTree"));
    BitBtn3 = new QPushButton(QStringLiteral("Применить"), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    CanselBtn = new QPushButton(QStringLiteral("Отменить"), this);
    CanselBtn->setObjectName(QStringLiteral("CanselBtn"));
    auto* targetRow = new QHBoxLayout;
    targetRow->addWidget(mem, 1);
    targetRow->addWidget(bbtTree, 0, Qt::AlignTop);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn3);
    buttons->addWidget(CanselBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(targetRow);
    layout->addLayout(buttons);
    connect(rGr, &QButtonGroup::idToggled, this, &TfrDeleteDlg::optionChanged);
    connect(bbtTree, &QPushButton::clicked, this, &TfrDeleteDlg::chooseTarget);
    connect(BitBtn3, &QPushButton::clicked, this, &QDialog::accept);
    connect(CanselBtn, &QPushButton::clicked, this, &QDialog::reject);
}

TfrDeleteDlg::~TfrDeleteDlg() = default;

void TfrDeleteDlg::optionChanged() {
    const bool moveTo = option() == MoveTo;
    mem->setEnabled(moveTo);
    bbtTree->setEnabled(moveTo);
}

int TfrDeleteDlg::option() const {
    return rGr->checkedId();
}

qint32 TfrDeleteDlg::target() const {
    return option() == MoveTo ? m_target : -2;
}

int TfrDeleteDlg::ShowFor(const QString& descriptionFile, qint32 recordId,
                          std::function<bool(qint32)> readable) {
    mem->clear();
    m_target = -1;
    rGr->button(MoveUp)->setChecked(true);
    optionChanged();
    m_tree = std::make_unique<TATreeDataCollection>();
    try {
        if (!m_tree->loadBook(descriptionFile, true) && !m_tree->root()->firstChild())
            throw EError(QStringLiteral("no book"));
        // The record and its descendants cannot be chosen as the target.
        const int index = m_tree->indexOfId(recordId);
        if (index >= 0)
            m_tree->deleteItem(index);
    } catch (const std::exception&) {
        errorBox(QStringLiteral("Ошибка при загрузке справочника."));
        m_tree.reset();
        return QDialog::Rejected;
    }
    m_chooser.SetCollection(m_tree.get(), std::move(readable));
    m_chooser.setWindowTitle(m_tree->root()->firstChild()->caption());
    const int result = TUserInteraction::instance().showModal(this);
    m_chooser.SetCollection(nullptr);
    m_tree.reset();
    return result;
}

void TfrDeleteDlg::chooseTarget() {
    if (m_chooser.Execute(-1, m_target, false, true) != QDialog::Accepted)
        return;
    m_target = m_chooser.SelectedId;
    mem->setPlainText(m_tree ? m_tree->pathCaptions(m_target).join(QLatin1Char('\n')) : QString());
}
