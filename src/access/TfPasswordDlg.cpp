#include "TfPasswordDlg.h"

#include "TUserInteraction.h"
#include "TfrmConnectSettings.h"

#include <QComboBox>
#include <QCompleter>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

TfPasswordDlg::TfPasswordDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fPasswordDlg"));
    setWindowTitle(QStringLiteral("Вход в систему"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    edUserName = new QComboBox(this);
    edUserName->setObjectName(QStringLiteral("edUserName"));
    edUserName->setEditable(true);
    edUserName->setInsertPolicy(QComboBox::NoInsert);
    edUserName->setMinimumWidth(220);
    // Completing "ivanov" into a listed "IVANOV" would sign in as another login where names are
    // case-sensitive (PostgreSQL).
    edUserName->completer()->setCaseSensitivity(Qt::CaseSensitive);
    edPassword = new QLineEdit(this);
    edPassword->setObjectName(QStringLiteral("edPassword"));
    edPassword->setEchoMode(QLineEdit::Password);

    OkBtn = new QPushButton(QStringLiteral("Применить"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setDefault(true);
    CanselBtn = new QPushButton(QStringLiteral("Отменить"), this);
    CanselBtn->setObjectName(QStringLiteral("CanselBtn"));
    btnConnectSettings = new QPushButton(QStringLiteral("Настройки подключения..."), this);
    btnConnectSettings->setObjectName(QStringLiteral("btnConnectSettings"));
    btnConnectSettings->setAutoDefault(false);

    auto* form = new QFormLayout;
    auto* userLabel = new QLabel(QStringLiteral("Оператор:"), this);
    userLabel->setBuddy(edUserName);
    auto* passwordLabel = new QLabel(QStringLiteral("Пароль:"), this);
    passwordLabel->setBuddy(edPassword);
    form->addRow(userLabel, edUserName);
    form->addRow(passwordLabel, edPassword);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnConnectSettings);
    buttons->addStretch();
    buttons->addWidget(OkBtn);
    buttons->addWidget(CanselBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CanselBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnConnectSettings, &QPushButton::clicked, this, &TfPasswordDlg::openConnectSettings);
}

QString TfPasswordDlg::userName() const {
    return edUserName->currentText();
}

void TfPasswordDlg::setUserName(const QString& name) {
    edUserName->setEditText(name);
}

QStringList TfPasswordDlg::recentNames() const {
    QStringList names;
    for (int i = 0; i < edUserName->count(); ++i)
        names << edUserName->itemText(i);
    return names;
}

void TfPasswordDlg::setRecentNames(const QStringList& names) {
    const QString typed = userName();
    edUserName->clear();
    edUserName->addItems(names);
    setUserName(typed);
}

void TfPasswordDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    edPassword->setFocus();
}

void TfPasswordDlg::openConnectSettings() {
    TfrmConnectSettings settings(this);
    settings.load();
    if (TUserInteraction::instance().showModal(&settings) == QDialog::Accepted)
        settings.save();
    // Back to where the user types next, or what he types goes nowhere.
    activateWindow();
    edPassword->setFocus();
}
