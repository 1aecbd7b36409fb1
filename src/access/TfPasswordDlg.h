#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

// "Вход в систему": the server login name and password.
class TfPasswordDlg : public QDialog {
    Q_OBJECT

public:
    explicit TfPasswordDlg(QWidget* parent = nullptr);

    QComboBox* edUserName;
    QLineEdit* edPassword;
    QPushButton* OkBtn;
    QPushButton* CanselBtn;
    QPushButton* btnConnectSettings;

    QString userName() const;
    void setUserName(const QString& name);
    QStringList recentNames() const;
    void setRecentNames(const QStringList& names);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void openConnectSettings();
};
