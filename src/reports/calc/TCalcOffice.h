#pragma once

#include <QString>
#include <memory>

class TSpreadsheet;

// The program's own LibreOffice: started once, with a private profile and a pipe of its own, and
// reused while the program runs. Without a display it runs headless (tests, servers).
class TCalcOffice {
public:
    static TCalcOffice& instance();
    ~TCalcOffice();

    // A new workbook made from the template file; raises EOrtaException when the spreadsheet
    // program cannot be started or the template not opened.
    std::unique_ptr<TSpreadsheet> newWorkbook(const QString& templatePath);
    // Whether a spreadsheet program is installed at all.
    static bool installed();

private:
    TCalcOffice();
    void start();
    // Ends a headless office with the application (while UNO still works).
    static void stopHeadless();
    struct Connection;
    std::unique_ptr<Connection> m_connection;
    QString m_pipe;
};
