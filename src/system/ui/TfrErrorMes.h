#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The error-list window: a longer report (records without a place in a tree, partial failures of a
// save) in a read-only text under "Возникли следующие ошибки:".
class TfrErrorMes : public QDialog {
    Q_OBJECT

public:
    explicit TfrErrorMes(QWidget* parent = nullptr);

    // Fills the text; line breaks of any kind become lines.
    void setErrors(const QString& text);
    QString errors() const;
    // Shows the window modally with text and returns when the user closes it.
    void showErrors(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void centreButton();

    QFrame* m_panel1;
    QPushButton* m_btOk;
    QPlainTextEdit* m_memo;
};
