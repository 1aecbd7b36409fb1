#include "TAboutForm.h"

#include "TDbConnection.h"
#include "TDbQuery.h"
#include "TOwnConnection.h"
#include "TProgramVersion.h"
#include "TUserInteraction.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>

namespace {

// The product's banner: a band in the system's colours with its name.
QPixmap banner() {
    QPixmap picture(460, 72);
    QPainter painter(&picture);
    QLinearGradient band(0, 0, picture.width(), 0);
    band.setColorAt(0, QColor(0x1F, 0x4E, 0x79));
    band.setColorAt(1, QColor(0x5B, 0x9B, 0xD5));
    painter.fillRect(picture.rect(), band);
    painter.setPen(Qt::white);
    QFont title(QStringLiteral("DejaVu Sans"), 22, QFont::Bold);
    painter.setFont(title);
    painter.drawText(picture.rect().adjusted(18, 0, 0, -16), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("ВЕСТАР"));
    QFont subtitle(QStringLiteral("DejaVu Sans"), 10);
    painter.setFont(subtitle);
    painter.drawText(picture.rect().adjusted(20, 30, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Метрологическая служба предприятия"));
    return picture;
}

} // namespace

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("АРМ Администратора ВЕСТАР"));
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    auto* layout = new QGridLayout(this);
    img1 = new QLabel(this);
    img1->setPixmap(banner());
    layout->addWidget(img1, 0, 0, 1, 2);
    lblPK = new QLabel(this);
    lblPK->setObjectName(QStringLiteral("lblPK"));
    QFont bold = lblPK->font();
    bold.setBold(true);
    bold.setPointSize(13);
    lblPK->setFont(bold);
    layout->addWidget(lblPK, 1, 0, 1, 2);
    lblDb = new QLabel(QStringLiteral("Версия баз данных:"), this);
    lblDBVer = new QLabel(this);
    lblDBVer->setObjectName(QStringLiteral("lblDBVer"));
    layout->addWidget(lblDb, 2, 0);
    layout->addWidget(lblDBVer, 2, 1);
    ProgramNameLabel = new QLabel(QStringLiteral("Версия АРМ: %1").arg(productVersion()), this);
    ProgramNameLabel->setObjectName(QStringLiteral("ProgramNameLabel"));
    layout->addWidget(ProgramNameLabel, 3, 0, 1, 2);
    CopyRightLabel1 = new QLabel(QStringLiteral("© Vantorel, 2026"), this);
    CopyRightLabel1->setObjectName(QStringLiteral("CopyRightLabel1"));
    layout->addWidget(CopyRightLabel1, 4, 0, 1, 2);
    auto* notice =
        new QLabel(QStringLiteral("Программа защищена законами об авторском праве. Незаконное "
                                  "воспроизведение или распространение программы или любой её части "
                                  "преследуется по закону."),
                   this);
    notice->setWordWrap(true);
    layout->addWidget(notice, 5, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    OkButton = new QPushButton(QStringLiteral("Закрыть"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    buttons->addWidget(OkButton);
    layout->addLayout(buttons, 6, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
}

QString TAboutForm::productVersion() {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(TProgramVersion::major)
        .arg(TProgramVersion::minor)
        .arg(TProgramVersion::release)
        .arg(TProgramVersion::build);
}

int TAboutForm::Execute() {
    {
        std::unique_ptr<TDbConnection> connection = TOwnConnection::open();
        std::unique_ptr<TDbQuery> version =
            connection->openQuery(QStringLiteral("Select DBVersion ,DBVersionIndex  from infoVersion"));
        lblDBVer->setText(version->eof() ? QString() : version->value(1).toString());
        lblPK->setText(version->eof() ? QString() : version->value(0).toString());
    }
    return TUserInteraction::instance().showModal(this);
}
