#include "Tfr_option_params.h"

#include "EOrtaException.h"
#include "OrtaUtils.h"
#include "TDbConnection.h"
#include "TDbQuery.h"
#include "TOwnConnection.h"
#include "TUserInteraction.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

Tfr_option_params::Tfr_option_params(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fr_option_params"));
    setWindowTitle(QStringLiteral("Обьединение параметров"));
    auto* layout = new QGridLayout(this);
    auto* lbl3 = new QLabel(
        QStringLiteral("Выберите параметры которые необходимо обьеденить. (2й параметр будет удален)"), this);
    lbl3->setWordWrap(true);
    layout->addWidget(lbl3, 0, 0, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("Основной параметр"), this), 1, 0);
    DBParams1 = new QComboBox(this);
    DBParams1->setObjectName(QStringLiteral("DBParams1"));
    layout->addWidget(DBParams1, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("Удаляемый параметр"), this), 2, 0);
    DBParams2 = new QComboBox(this);
    DBParams2->setObjectName(QStringLiteral("DBParams2"));
    layout->addWidget(DBParams2, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btn1 = new QPushButton(QStringLiteral("Обьеденить"), this);
    btn1->setObjectName(QStringLiteral("btn1"));
    btn2 = new QPushButton(QStringLiteral("Отмена"), this);
    btn2->setObjectName(QStringLiteral("btn2"));
    buttons->addWidget(btn1);
    buttons->addWidget(btn2);
    layout->addLayout(buttons, 3, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    resize(460, 160);
    connect(btn1, &QPushButton::clicked, this, &Tfr_option_params::btn1Click);
    connect(btn2, &QPushButton::clicked, this, &QDialog::reject);
}

Tfr_option_params::~Tfr_option_params() = default;

int Tfr_option_params::Execute() {
    DBParams1->clear();
    DBParams2->clear();
    m_listConnection = TOwnConnection::open();
    std::unique_ptr<TDbQuery> qry1 =
        m_listConnection->openQuery(QStringLiteral("Select * from optnl_parameters\r\norder by 1\r\n"));
    const int id = qry1->fieldIndex(QStringLiteral("optyp_id"));
    const int name = qry1->fieldIndex(QStringLiteral("optyp_name"));
    for (; !qry1->eof(); qry1->next()) {
        DBParams1->addItem(qry1->value(name).toString(), qry1->value(id));
        DBParams2->addItem(qry1->value(name).toString(), qry1->value(id));
    }
    DBParams1->setCurrentIndex(-1);
    DBParams2->setCurrentIndex(-1);
    const int result = TUserInteraction::instance().showModal(this);
    m_listConnection.reset();
    return result;
}

void Tfr_option_params::btn1Click() {
    if (DBParams1->currentIndex() < 0 || DBParams2->currentIndex() < 0) {
        errorBox(QStringLiteral("Выберите основной и удаляемый параметры."));
        return;
    }
    const QString main = QString::number(DBParams1->currentData().toInt());
    const QString removed = QString::number(DBParams2->currentData().toInt());
    // Merged into itself, the parameter would lose every passport's value.
    if (main == removed) {
        errorBox(QStringLiteral("Основной и удаляемый параметры совпадают."));
        return;
    }
    std::unique_ptr<TDbConnection> connection;
    try {
        connection = TOwnConnection::open();
    } catch (const std::exception& e) {
        errorBox(QString::fromUtf8(e.what()));
        return;
    }
    // Both statements or neither: the references must not move to a parameter while the old one stays.
    connection->beginTransaction();
    try {
        connection->execute(QStringLiteral("Update passport_optnl_parameters set optyp_id= ") + main +
                            QStringLiteral(" where  optyp_id=") + removed);
        connection->execute(QStringLiteral("Delete from optnl_parameters where optyp_id=") + removed);
        connection->commit();
    } catch (const std::exception& e) {
        if (connection->inTransaction())
            connection->rollback();
        errorBox(QString::fromUtf8(e.what()));
        return;
    }
    accept();
}
