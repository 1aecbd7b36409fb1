#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// "Настройки подключения": the machine's server and database names.
class TfrmConnectSettings : public QDialog {
    Q_OBJECT

public:
    explicit TfrmConnectSettings(QWidget* parent = nullptr);

    QLineEdit* fServer;
    QLineEdit* fDBName;
    QPushButton* OkBtn;
    QPushButton* CanselBtn;

    // Fills the edits with the machine values.
    void load();
    // Writes both texts unchanged to the machine values; a failure is shown, never retried.
    void save();
};
