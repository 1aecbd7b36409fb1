#include "OrtaUtils.h"
#include "TWidgetInteraction.h"
#include "TfrErrorMes.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Runs check on the modal window once it is up, then lets it close through a button.
void whenModalShown(const std::function<void(QWidget*)>& check) {
    QTimer::singleShot(0, [check] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        check(modal);
    });
}

} // namespace

TEST(ErrorWindow, LayoutAndLines) {
    TfrErrorMes window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("АРМ Администратора"));
    EXPECT_EQ(window.minimumSize(), QSize(500, 270));
    EXPECT_EQ(window.size(), QSize(570, 279));
    EXPECT_EQ(window.findChild<QLabel*>("Label1")->text(), QStringLiteral("Возникли следующие ошибки:"));
    auto* memo = window.findChild<QPlainTextEdit*>("Memo");
    ASSERT_NE(memo, nullptr);
    EXPECT_TRUE(memo->isReadOnly());

    window.setErrors(
        QStringLiteral("Запись 12 без родителя\r\nЗапись 15 без родителя\r\nЗапись 20 без родителя"));
    EXPECT_EQ(memo->document()->blockCount(), 3);
    EXPECT_EQ(memo->document()->findBlockByNumber(1).text(), QStringLiteral("Запись 15 без родителя"));
    // The program's own messages break lines with LF CR: "text\n\r\n\rserver text" is three lines.
    window.setErrors(QStringLiteral("Не удалось внести изменения в базу данных.\n\r\n\rтекст сервера"));
    EXPECT_EQ(memo->toPlainText(),
              QStringLiteral("Не удалось внести изменения в базу данных.\n\nтекст сервера"));

    window.show();
    for (const int width : {570, 803}) {
        window.resize(width, 300);
        QCoreApplication::processEvents();
        auto* panel = window.findChild<QWidget*>("Panel1");
        auto* ok = window.findChild<QPushButton*>("btOk");
        EXPECT_EQ(panel->height(), 52);
        EXPECT_EQ(ok->x(), (panel->width() - ok->width()) / 2) << width;
    }
}

TEST(ErrorWindow, ShownModallyThroughTheInteractionService) {
    TWidgetInteraction interaction;
    QString shown;
    whenModalShown([&shown](QWidget* modal) {
        shown = modal->findChild<QPlainTextEdit*>("Memo")->toPlainText();
        QTest::mouseClick(modal->findChild<QPushButton*>("btOk"), Qt::LeftButton);
    });
    interaction.showErrors(QStringLiteral("первая\nвторая"));
    EXPECT_EQ(shown, QStringLiteral("первая\nвторая"));
}

TEST(MessageBox, HasTheTitleTheIconAndRussianButtons) {
    TWidgetInteraction interaction;
    QStringList buttons;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    whenModalShown([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        icon = box->icon();
        for (QAbstractButton* b : box->buttons())
            buttons << b->text();
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(
        interaction.messageBox(QStringLiteral("Удалить запись?"), TMessageKind::Question, TMsgButtons::YesNo),
        TMsgResult::No);
    EXPECT_EQ(title, QStringLiteral("АРМ Администратора"));
    EXPECT_EQ(icon, QMessageBox::Question);
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{QStringLiteral("Да"), QStringLiteral("Нет")}));

    whenModalShown([](QWidget* modal) {
        EXPECT_EQ(qobject_cast<QMessageBox*>(modal)->icon(), QMessageBox::Critical);
        QTest::keyClick(modal, Qt::Key_Return);
    });
    EXPECT_EQ(interaction.messageBox(QStringLiteral("Ошибка"), TMessageKind::Error, TMsgButtons::Ok),
              TMsgResult::Ok);
}

// A record caption such as "<b>X</b>" is shown as it is written, in every message box.
TEST(MessageBox, ShowsTextAsPlainText) {
    TWidgetInteraction interaction;
    QString shown;
    whenModalShown([&shown](QWidget* modal) {
        auto* label = modal->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        EXPECT_NE(label, nullptr);
        if (label) {
            EXPECT_EQ(label->textFormat(), Qt::PlainText);
            shown = label->text();
        }
        qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Ok)->click();
    });
    interaction.messageBox(QStringLiteral("Переместить ветвь \"<b>X</b>\" в \"Y\" ?"), TMessageKind::Question,
                           TMsgButtons::OkCancel);
    EXPECT_EQ(shown, QStringLiteral("Переместить ветвь \"<b>X</b>\" в \"Y\" ?"));
}
