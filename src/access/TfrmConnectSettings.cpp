#include "TfrmConnectSettings.h"

#include "OrtaUtils.h"
#include "TOrtaSettings.h"
#include "TdmDataBase.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TfrmConnectSettings::TfrmConnectSettings(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmConnectSettings"));
    setWindowTitle(QStringLiteral("Настройки подключения"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    fServer = new QLineEdit(this);
    fServer->setObjectName(QStringLiteral("fServer"));
    fServer->setMinimumWidth(240);
    fDBName = new QLineEdit(this);
    fDBName->setObjectName(QStringLiteral("fDBName"));
    OkBtn = new QPushButton(QStringLiteral("Применить"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setDefault(true);
    CanselBtn = new QPushButton(QStringLiteral("Отменить"), this);
    CanselBtn->setObjectName(QStringLiteral("CanselBtn"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Сервер:"), fServer);
    form->addRow(QStringLiteral("База данных:"), fDBName);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkBtn);
    buttons->addWidget(CanselBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CanselBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmConnectSettings::load() {
    fServer->setText(TdmDataBase::registryServer(true));
    fDBName->setText(TdmDataBase::registryDbName(true));
}

void TfrmConnectSettings::save() {
    try {
        TOrtaSettings::setValue(TOrtaSettings::Scope::Machine, QStringLiteral("server"), fServer->text());
        TOrtaSettings::setValue(TOrtaSettings::Scope::Machine, QStringLiteral("dbname"), fDBName->text());
    } catch (const std::exception& e) {
        errorBox(QStringLiteral("Ошибка записи в реестр: ") + errorMessage(e));
    }
}
