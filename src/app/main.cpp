#include <QApplication>
#include <QLabel>

// Until the main window arrives the program shows its title only.
int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("АРМ Администратора"));
    QLabel window(QStringLiteral("\"ВЕСТАР\" АРМ Администратора"));
    window.setWindowTitle(QStringLiteral("\"ВЕСТАР\" АРМ Администратора"));
    window.resize(640, 480);
    window.show();
    return app.exec();
}
