#pragma once

#include "TMemoryData.h"

#include <QDialog>

class QComboBox;
class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;
class TDBGrid;
class TfrProgressBar;

// The document dialog: attach a document to an instrument type (one already stored, or a new file)
// or update a stored document. One window serves the whole program; its last filter stays.
class TfrSelectSourceDoc : public QDialog {
    Q_OBJECT

public:
    explicit TfrSelectSourceDoc(QWidget* parent = nullptr);

    // The program's one dialog, made with the given owner when there is none yet.
    static TfrSelectSourceDoc& shared(QWidget* owner);

    int AttachDocument(int typeId);
    int UpdateDocument(int docId);
    int ResultDocId = 0;

    // The description proposed for a file named base: base, or base followed by the number after
    // the highest stored one.
    static QString MakeUniqueDescription(const QString& base);

    QGroupBox* rdgrpSelectSource;
    QRadioButton* rb1;
    QRadioButton* rb2;
    QWidget* plBase;
    QWidget* plFile;
    QComboBox* cmbxDocType;
    QLineEdit* edtDescript;
    QLineEdit* edtCreatedBy;
    QPushButton* btnApplay;
    TMemoryData list;
    TDBGrid* DocGrid;
    QLineEdit* fEdit;
    QPushButton* fEditBrowse;
    QLineEdit* edtDescription;
    QComboBox* cmbxTypeDoc;
    QPushButton* btnOk;
    QPushButton* btnCancel;

    // After the browse dialog returned a file.
    void fEditAfterDialog(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    enum class Mode { Attach, Update };
    int open(Mode mode, int typeId, int docId);
    void rdgrpSelectSourceClick();
    void btnApplayClick();
    void btnOkClick();
    void browse();
    void write(int typeOfDocument);
    void upload(const QByteArray& pointer);
    QByteArray pointerOf(int docId);

    Mode m_mode = Mode::Attach;
    int FTypeId = 0;
    int m_docId = 0;
    QString m_sourcePath;
    QString m_format;
    bool needFile = false;
    QVariant m_pointer; // the update record's PTR
};
