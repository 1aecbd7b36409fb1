#include "TfrErrorMes.h"

#include "OrtaUtils.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

TfrErrorMes::TfrErrorMes(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frErrorMes"));
    setWindowTitle(applicationTitle());
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);
    setMinimumSize(500, 270);
    resize(570, 279);

    auto* panel3 = new QFrame(this);
    panel3->setObjectName(QStringLiteral("Panel3"));
    panel3->setFixedHeight(33);
    auto* label1 = new QLabel(QStringLiteral("Возникли следующие ошибки:"), panel3);
    label1->setObjectName(QStringLiteral("Label1"));
    auto* topLayout = new QHBoxLayout(panel3);
    topLayout->setContentsMargins(8, 0, 8, 0);
    topLayout->addWidget(label1);

    auto* panel2 = new QFrame(this);
    panel2->setObjectName(QStringLiteral("Panel2"));
    panel2->setFixedWidth(64);
    auto* image1 = new QLabel(panel2);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));
    image1->setAlignment(Qt::AlignCenter);
    auto* leftLayout = new QVBoxLayout(panel2);
    leftLayout->addWidget(image1);

    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo"));
    m_memo->setReadOnly(true);
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    m_panel1 = new QFrame(this);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setFixedHeight(52);
    m_btOk = new QPushButton(QStringLiteral("OK"), m_panel1);
    m_btOk->setObjectName(QStringLiteral("btOk"));
    m_btOk->setDefault(true);
    m_btOk->resize(75, 25);
    m_btOk->move(0, (52 - 25) / 2);
    connect(m_btOk, &QPushButton::clicked, this, &QDialog::accept);
    m_panel1->installEventFilter(this);

    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    middle->addWidget(panel2);
    middle->addWidget(m_memo);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panel3);
    layout->addLayout(middle, 1);
    layout->addWidget(m_panel1);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

bool TfrErrorMes::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_panel1 && event->type() == QEvent::Resize)
        centreButton();
    return QDialog::eventFilter(watched, event);
}

// The button keeps to the middle of its strip whatever the window's width.
void TfrErrorMes::centreButton() {
    m_btOk->move((m_panel1->width() - m_btOk->width()) / 2, m_btOk->y());
}

void TfrErrorMes::setErrors(const QString& text) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n\r|\r|\n"));
    m_memo->setPlainText(QString(text).replace(lineBreak, QStringLiteral("\n")));
}

QString TfrErrorMes::errors() const {
    return m_memo->toPlainText();
}

void TfrErrorMes::showErrors(const QString& text) {
    setErrors(text);
    exec();
}
