#include "THelpWindow.h"

#include "FileLookup.h"
#include "OrtaUtils.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

THelpWindow::THelpWindow(const QString& folder, QWidget* parent) : QDialog(parent), m_folder(folder) {
    setObjectName(QStringLiteral("HelpWindow"));
    // The platform adds the application's name to every title itself.
    setWindowTitle(QStringLiteral("Справка"));
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(760, 560);
}

void THelpWindow::showTopic(const QString& topic) {
    const QString page = resolvePath(m_folder + QLatin1Char('/') + topic + QStringLiteral(".html"));
    if (!QFileInfo(page).isFile()) {
        showContents();
        return;
    }
    m_topic = topic;
    m_browser->setSource(QUrl::fromLocalFile(page));
    show();
    raise();
}

void THelpWindow::showContents() {
    m_topic = QStringLiteral("index");
    m_browser->setSource(QUrl::fromLocalFile(resolvePath(m_folder + QStringLiteral("/index.html"))));
    show();
    raise();
}
