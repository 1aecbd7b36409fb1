#include "TDBNavigator.h"

#include "EAbort.h"
#include "OrtaUtils.h"
#include "TMemoryData.h"

#include <QHBoxLayout>
#include <QPointer>
#include <QStyle>
#include <QToolButton>

namespace {

struct ButtonChoice {
    const char* name;
    const char* hint;
    const char* text;
};

const std::array<ButtonChoice, 10> kButtons{{{"nbFirst", "В начало", "|◀"},
                                             {"nbPrior", "Предыдущий", "◀"},
                                             {"nbNext", "Следующий", "▶"},
                                             {"nbLast", "В конец", "▶|"},
                                             {"nbInsert", "Добавить", "+"},
                                             {"nbDelete", "Удалить", "−"},
                                             {"nbEdit", "Редактировать", "✎"},
                                             {"nbPost", "Сохранить", "✓"},
                                             {"nbCancel", "Отменить", "✗"},
                                             {"nbRefresh", "Обновить", "⟳"}}};

} // namespace

TDBNavigator::TDBNavigator(TMemoryData* data, QWidget* parent) : QWidget(parent), m_data(data) {
    setObjectName(QStringLiteral("gridNavigator"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(1);
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(kButtons[i].name));
        b->setText(QString::fromUtf8(kButtons[i].text));
        b->setToolTip(QString::fromUtf8(kButtons[i].hint));
        b->setMinimumSize(32, 26);
        connect(b, &QToolButton::clicked, this, [this, i] { click(Button(i)); });
        layout->addWidget(b);
        m_buttons[i] = b;
    }
    layout->addStretch();
    connect(data, &TMemoryData::currentChanged, this, &TDBNavigator::updateEnabled);
    connect(data, &TMemoryData::stateChanged, this, &TDBNavigator::updateEnabled);
    connect(data, &TMemoryData::dataReset, this, &TDBNavigator::updateEnabled);
    updateEnabled();
}

TDBNavigator::Buttons TDBNavigator::allButtons() {
    return {nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel, nbRefresh};
}

bool TDBNavigator::buttonByName(const QString& name, Button& button) {
    // The four moving buttons cannot be hidden.
    for (int i = nbInsert; i <= nbRefresh; ++i) {
        if (name.trimmed().compare(QLatin1String(kButtons[std::size_t(i)].name), Qt::CaseInsensitive) == 0) {
            button = Button(i);
            return true;
        }
    }
    return false;
}

void TDBNavigator::setVisibleButtons(const Buttons& buttons) {
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
        m_buttons[i]->setVisible(buttons.count(Button(i)) > 0);
}

TDBNavigator::Buttons TDBNavigator::visibleButtons() const {
    Buttons shown;
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        if (!m_buttons[i]->isHidden())
            shown.insert(Button(i));
    }
    return shown;
}

void TDBNavigator::click(Button b) {
    // A button may rebuild the view that holds this navigator (the refresh does): the handler runs
    // from a copy, and nothing of the navigator is touched once it is on its way out.
    const QPointer<TDBNavigator> self(this);
    try {
        const BeforeAction before = m_beforeAction;
        if (before && !before(b))
            return;
        if (self)
            act(b);
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
        errorBox(errorMessage(e));
    }
    if (self)
        updateEnabled();
}

void TDBNavigator::act(Button b) {
    if (!m_data->active())
        return;
    switch (b) {
    case nbFirst:
        m_data->first();
        break;
    case nbPrior:
        m_data->prior();
        break;
    case nbNext:
        m_data->next();
        break;
    case nbLast:
        m_data->last();
        break;
    case nbInsert:
        m_data->insert();
        break;
    case nbDelete:
        m_data->deleteRecord();
        break;
    case nbEdit:
        m_data->edit();
        break;
    case nbPost:
        m_data->post();
        break;
    case nbCancel:
        m_data->cancel();
        break;
    case nbRefresh:
        break;
    }
}

void TDBNavigator::updateEnabled() {
    const bool active = m_data->active();
    const bool editing = m_data->isEditing();
    const bool empty = m_data->isEmpty();
    const bool atFirst = m_data->recNo() <= 1;
    const bool atLast = m_data->recNo() >= m_data->recordCount();
    button(nbFirst)->setEnabled(active && !editing && !atFirst);
    button(nbPrior)->setEnabled(active && !editing && !atFirst);
    button(nbNext)->setEnabled(active && !editing && !atLast);
    button(nbLast)->setEnabled(active && !editing && !atLast);
    button(nbInsert)->setEnabled(active && !editing);
    button(nbDelete)->setEnabled(active && !editing && !empty);
    button(nbEdit)->setEnabled(active && !editing && !empty);
    button(nbPost)->setEnabled(editing);
    button(nbCancel)->setEnabled(editing);
    button(nbRefresh)->setEnabled(active && !editing);
}
