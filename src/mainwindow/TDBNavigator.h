#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <set>

class QToolButton;
class TMemoryData;

// The record navigator: ten buttons over a record set, each with its Russian hint. A before-action
// handler may take over a button (returning false cancels the navigator's own action).
class TDBNavigator : public QWidget {
    Q_OBJECT

public:
    enum Button { nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel, nbRefresh };
    using Buttons = std::set<Button>;
    using BeforeAction = std::function<bool(Button)>;

    explicit TDBNavigator(TMemoryData* data, QWidget* parent = nullptr);

    static Buttons allButtons();
    // The button named in a layout's excludeButtons ("nbInsert"…); false for other names.
    static bool buttonByName(const QString& name, Button& button);

    void setVisibleButtons(const Buttons& buttons);
    Buttons visibleButtons() const;
    void setBeforeAction(BeforeAction handler) { m_beforeAction = std::move(handler); }
    QToolButton* button(Button b) const { return m_buttons[std::size_t(b)]; }
    // Presses a button as the user would.
    void click(Button b);

private:
    void act(Button b);
    void updateEnabled();

    TMemoryData* m_data;
    std::array<QToolButton*, 10> m_buttons{};
    BeforeAction m_beforeAction;
};
