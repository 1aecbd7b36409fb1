#pragma once

#include <QDialog>
#include <memory>

class QComboBox;
class QPushButton;
class TDbConnection;

// "Обьединение параметров": the passports' values of the removed optional parameter move to the main
// one, and the removed parameter is deleted — both or neither.
class Tfr_option_params : public QDialog {
    Q_OBJECT

public:
    explicit Tfr_option_params(QWidget* parent = nullptr);
    ~Tfr_option_params() override;

    // Reads the parameters and shows the window modally.
    int Execute();

    QComboBox* DBParams1;
    QComboBox* DBParams2;
    QPushButton* btn1;
    QPushButton* btn2;

private:
    void btn1Click();

    std::unique_ptr<TDbConnection> m_listConnection;
};
