#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// "О программе": the program's version from the build and the database's from infoVersion.
class TAboutForm : public QDialog {
    Q_OBJECT

public:
    explicit TAboutForm(QWidget* parent = nullptr);

    // Reads the database's version (a failure reaches the caller) and shows the window modally.
    int Execute();

    QLabel* img1;
    QLabel* lblPK;
    QLabel* lblDb;
    QLabel* lblDBVer;
    QLabel* ProgramNameLabel;
    QLabel* CopyRightLabel1;
    QPushButton* OkButton;

    static QString productVersion();
};
