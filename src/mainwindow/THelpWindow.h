#pragma once

#include <QDialog>

class QTextBrowser;

// The help: one HTML page per topic name in the help folder beside the program, "index.html" as
// the contents.
class THelpWindow : public QDialog {
    Q_OBJECT

public:
    explicit THelpWindow(const QString& folder, QWidget* parent = nullptr);

    // Shows the topic's page; the contents when the topic has none.
    void showTopic(const QString& topic);
    void showContents();
    const QString& shownTopic() const { return m_topic; }

private:
    QString m_folder;
    QString m_topic;
    QTextBrowser* m_browser;
};
