#include "TCalcOffice.h"

#include "TCalcSpreadsheet.h"
#include "TUnoText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <cppuhelper/bootstrap.hxx>

using namespace com::sun::star;
using uno::Reference;

namespace {

const char* const Program = "soffice";
const char* const Fundamentals = "vnd.sun.star.pathname:/usr/lib/libreoffice/program/fundamentalrc";

bool headless() {
    return qgetenv("QT_QPA_PLATFORM") == "offscreen" ||
           (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"));
}

} // namespace

struct TCalcOffice::Connection {
    Reference<frame::XDesktop2> desktop;
    qint64 pid = 0;
    bool headless = false;
    QString profile;
};

TCalcOffice& TCalcOffice::instance() {
    static TCalcOffice office;
    return office;
}

TCalcOffice::TCalcOffice() = default;

TCalcOffice::~TCalcOffice() = default;

void TCalcOffice::stopHeadless() {
    // A headless office has no window the user could keep: it goes with the program.
    TCalcOffice& office = instance();
    const std::unique_ptr<Connection>& m_connection = office.m_connection;
    if (!m_connection || !m_connection->headless)
        return;
    try {
        m_connection->desktop->terminate();
    } catch (const uno::Exception&) {
    }
    for (int i = 0; i < 50 && QFileInfo::exists(QStringLiteral("/proc/%1").arg(m_connection->pid)); ++i)
        QThread::msleep(100);
    QDir(m_connection->profile).removeRecursively();
    office.m_connection.reset();
}

bool TCalcOffice::installed() {
    return !QStandardPaths::findExecutable(QString::fromLatin1(Program)).isEmpty();
}

void TCalcOffice::start() {
    if (!installed())
        throw TUnoText::failure(QStringLiteral("LibreOffice Calc не найден."));
    auto connection = std::make_unique<Connection>();
    connection->headless = headless();
    // The profile is the program's own (the user's LibreOffice settings stay untouched); the office
    // outlives the program, so that the user keeps the filled workbooks. A headless office goes with
    // the program, and its profile too: programs running side by side never share one.
    const QString profile =
        connection->headless
            ? QDir::tempPath() + QStringLiteral("/vantorel-calc-%1").arg(QCoreApplication::applicationPid())
            : QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
                  QStringLiteral("/calc-profile");
    connection->profile = profile;
    QDir().mkpath(profile);
    m_pipe = QStringLiteral("vantorel_%1").arg(QCoreApplication::applicationPid());
    QStringList arguments{QStringLiteral("--norestore"), QStringLiteral("--nologo"),
                          QStringLiteral("--nodefault"),
                          QStringLiteral("-env:UserInstallation=") +
                              QString::fromLatin1(QUrl::fromLocalFile(profile).toEncoded()),
                          QStringLiteral("--accept=pipe,name=%1;urp;").arg(m_pipe)};
    if (connection->headless)
        arguments << QStringLiteral("--headless") << QStringLiteral("--invisible");
    QProcess office;
    office.setProgram(QString::fromLatin1(Program));
    office.setArguments(arguments);
    // The office outlives the program: it must hold none of the program's output channels.
    office.setStandardInputFile(QProcess::nullDevice());
    office.setStandardOutputFile(QProcess::nullDevice());
    office.setStandardErrorFile(QProcess::nullDevice());
    if (!office.startDetached(&connection->pid))
        throw TUnoText::failure(QStringLiteral("LibreOffice Calc не запускается."));
    if (qEnvironmentVariableIsEmpty("URE_BOOTSTRAP"))
        qputenv("URE_BOOTSTRAP", Fundamentals);
    try {
        Reference<uno::XComponentContext> local = cppu::defaultBootstrap_InitialComponentContext();
        Reference<bridge::XUnoUrlResolver> resolver(local->getServiceManager()->createInstanceWithContext(
                                                        "com.sun.star.bridge.UnoUrlResolver", local),
                                                    uno::UNO_QUERY_THROW);
        const rtl::OUString url = TUnoText::toOUString(
            QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(m_pipe));
        Reference<uno::XComponentContext> remote;
        // A first start makes its profile: allow it half a minute.
        for (int attempt = 0; attempt < 150 && !remote.is(); ++attempt) {
            try {
                remote.set(resolver->resolve(url), uno::UNO_QUERY_THROW);
            } catch (const uno::Exception&) {
                QThread::msleep(200);
            }
        }
        if (!remote.is())
            throw TUnoText::failure(QStringLiteral("LibreOffice Calc не отвечает."));
        connection->desktop = frame::Desktop::create(remote);
    } catch (const uno::Exception& e) {
        throw TUnoText::failure(TUnoText::toQString(e.Message));
    }
    if (connection->headless)
        qAddPostRoutine(&TCalcOffice::stopHeadless);
    m_connection = std::move(connection);
}

std::unique_ptr<TSpreadsheet> TCalcOffice::newWorkbook(const QString& templatePath) {
    if (!QFileInfo::exists(templatePath))
        throw TUnoText::failure(QStringLiteral("Нет файла шаблона ") + templatePath);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!m_connection)
            start();
        try {
            uno::Sequence<beans::PropertyValue> arguments(2);
            arguments.getArray()[0].Name = "AsTemplate";
            arguments.getArray()[0].Value <<= true;
            arguments.getArray()[1].Name = "Hidden";
            arguments.getArray()[1].Value <<= true;
            Reference<lang::XComponent> document = m_connection->desktop->loadComponentFromURL(
                TUnoText::toOUString(QString::fromLatin1(
                    QUrl::fromLocalFile(QFileInfo(templatePath).absoluteFilePath()).toEncoded())),
                "_blank", 0, arguments);
            if (!document.is())
                throw TUnoText::failure(QStringLiteral("Шаблон не открывается: ") + templatePath);
            return std::make_unique<TCalcSpreadsheet>(document);
        } catch (const uno::RuntimeException&) {
            // The user closed the office meanwhile: start it again once.
            m_connection.reset();
        } catch (const uno::Exception& e) {
            throw TUnoText::failure(TUnoText::toQString(e.Message));
        }
    }
    throw TUnoText::failure(QStringLiteral("LibreOffice Calc не отвечает."));
}
