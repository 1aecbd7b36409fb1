#include "TfrSelectSourceDoc.h"

#include "EError.h"
#include "OrtaUtils.h"
#include "TDBGrid.h"
#include "TDbUtilsClass.h"
#include "TDocumentColumns.h"
#include "TDocumentStore.h"
#include "TUserInteraction.h"
#include "TdmDataBase.h"
#include "TfrProgressBar.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QString q(const QString& text) {
    return TDbUtilsClass::getInstance()->stringLiteral(text);
}

void loadTypes(QComboBox* box, bool withAll) {
    box->clear();
    if (withAll)
        box->addItem(QStringLiteral("< Все >"), 0);
    TMemoryData types;
    TDbUtilsClass::getInstance()->loadQuery(types, QStringLiteral("select id,name from DocType order by 2"));
    for (types.first(); !types.eof(); types.next())
        box->addItem(types.fieldByName(QStringLiteral("name"))->asString(),
                     types.fieldByName(QStringLiteral("id"))->asInteger());
    box->setCurrentIndex(withAll ? 0 : -1);
}

} // namespace

TfrSelectSourceDoc::TfrSelectSourceDoc(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frSelectSourceDoc"));
    resize(760, 520);
    rdgrpSelectSource = new QGroupBox(QStringLiteral(" Откуда "), this);
    rb1 = new QRadioButton(QStringLiteral("Существующий в базе данных"), rdgrpSelectSource);
    rb1->setObjectName(QStringLiteral("rb1"));
    rb2 = new QRadioButton(QStringLiteral("Из файла"), rdgrpSelectSource);
    rb2->setObjectName(QStringLiteral("rb2"));
    auto* sources = new QHBoxLayout(rdgrpSelectSource);
    sources->addWidget(rb1);
    sources->addWidget(rb2);
    sources->addStretch();

    plBase = new QWidget(this);
    plBase->setObjectName(QStringLiteral("plBase"));
    cmbxDocType = new QComboBox(plBase);
    cmbxDocType->setObjectName(QStringLiteral("cmbxDocType"));
    edtDescript = new QLineEdit(plBase);
    edtDescript->setObjectName(QStringLiteral("edtDescript"));
    edtCreatedBy = new QLineEdit(plBase);
    edtCreatedBy->setObjectName(QStringLiteral("edtCreatedBy"));
    btnApplay = new QPushButton(QStringLiteral("Применить"), plBase);
    btnApplay->setObjectName(QStringLiteral("btnApplay"));
    list.setObjectName(QStringLiteral("rxmdDocList"));
    DocGrid = new TDBGrid(&list, plBase);
    DocGrid->setObjectName(QStringLiteral("SelectDocGrid"));
    DocGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DocGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    auto* filter = new QHBoxLayout;
    filter->addWidget(new QLabel(QStringLiteral("Тип документа:"), plBase));
    filter->addWidget(cmbxDocType, 1);
    filter->addWidget(new QLabel(QStringLiteral("Описание:"), plBase));
    filter->addWidget(edtDescript, 1);
    filter->addWidget(new QLabel(QStringLiteral("Кем добавлен:"), plBase));
    filter->addWidget(edtCreatedBy, 1);
    filter->addWidget(btnApplay);
    auto* base = new QVBoxLayout(plBase);
    base->setContentsMargins(0, 0, 0, 0);
    base->addLayout(filter);
    base->addWidget(DocGrid, 1);

    plFile = new QWidget(this);
    plFile->setObjectName(QStringLiteral("plFile"));
    fEdit = new QLineEdit(plFile);
    fEdit->setObjectName(QStringLiteral("fEdit"));
    fEdit->setReadOnly(true); // a file is chosen, not typed
    fEditBrowse = new QPushButton(QStringLiteral("..."), plFile);
    fEditBrowse->setObjectName(QStringLiteral("fEditBrowse"));
    edtDescription = new QLineEdit(plFile);
    edtDescription->setObjectName(QStringLiteral("edtDescription"));
    cmbxTypeDoc = new QComboBox(plFile);
    cmbxTypeDoc->setObjectName(QStringLiteral("cmbxTypeDoc"));
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(fEdit, 1);
    fileRow->addWidget(fEditBrowse);
    auto* fileForm = new QFormLayout(plFile);
    fileForm->addRow(QStringLiteral("Файл:"), fileRow);
    fileForm->addRow(QStringLiteral("Описание:"), edtDescription);
    fileForm->addRow(QStringLiteral("Тип документа:"), cmbxTypeDoc);

    btnOk = new QPushButton(QStringLiteral("OK"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Отмена"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rdgrpSelectSource);
    layout->addWidget(plBase, 1);
    layout->addWidget(plFile, 1);
    layout->addLayout(buttons);

    connect(rb1, &QRadioButton::toggled, this, &TfrSelectSourceDoc::rdgrpSelectSourceClick);
    connect(rb2, &QRadioButton::toggled, this, &TfrSelectSourceDoc::rdgrpSelectSourceClick);
    connect(btnApplay, &QPushButton::clicked, this, &TfrSelectSourceDoc::btnApplayClick);
    connect(fEditBrowse, &QPushButton::clicked, this, &TfrSelectSourceDoc::browse);
    connect(btnOk, &QPushButton::clicked, this, &TfrSelectSourceDoc::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TfrSelectSourceDoc& TfrSelectSourceDoc::shared(QWidget* owner) {
    static QPointer<TfrSelectSourceDoc> one;
    if (!one)
        one = new TfrSelectSourceDoc(owner ? owner->window() : nullptr);
    return *one;
}

int TfrSelectSourceDoc::AttachDocument(int typeId) {
    return open(Mode::Attach, typeId, 0);
}

int TfrSelectSourceDoc::UpdateDocument(int docId) {
    return open(Mode::Update, 0, docId);
}

int TfrSelectSourceDoc::open(Mode mode, int typeId, int docId) {
    m_mode = mode;
    rdgrpSelectSource->hide();
    needFile = false;
    FTypeId = typeId;
    m_docId = docId;
    m_sourcePath.clear();
    m_format.clear();
    m_pointer = QVariant();
    rb2->setEnabled(true);
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    // Read as a query, not a record set: the pointer is bytes, which record sets do not keep.
    std::unique_ptr<TDbQuery> record;
    try {
        loadTypes(cmbxDocType, true);
        loadTypes(cmbxTypeDoc, false);
        if (mode == Mode::Attach) {
            setWindowTitle(QStringLiteral("Прикрепить документ к типу СИ"));
            rdgrpSelectSource->show();
            record = db->openQuery(db->topZero(
                QStringLiteral("Select Top 0 id, Descript, Type, FileName, Format, Doc From Doc")));
            needFile = true;
            rb1->setChecked(true);
        } else {
            setWindowTitle(QStringLiteral("Обновить документ"));
            record = db->openQuery(QStringLiteral("Select id, Descript, Type, FileName, Format, ") +
                                   db->textPointer(QStringLiteral("id"), QStringLiteral("Doc")) +
                                   QStringLiteral(" PTR From Doc where id=") + QString::number(docId));
            ResultDocId = docId;
            rb2->setChecked(true);
        }
    } catch (const std::exception&) {
        errorBox(QStringLiteral("Ошибка открытия формы добавления документов."));
        return QDialog::Rejected;
    }
    rdgrpSelectSourceClick();
    fEdit->clear();
    edtDescription->clear();
    const int descript = record->fieldIndex(QStringLiteral("Descript"));
    const int size = descript >= 0 ? record->field(descript).size : 0;
    edtDescription->setMaxLength(size > 0 ? size : 32767);
    if (mode == Mode::Update && !record->eof()) {
        edtDescription->setText(record->value(QStringLiteral("Descript")).toString());
        fEdit->setText(record->value(QStringLiteral("FileName")).toString());
        m_format = record->value(QStringLiteral("Format")).toString();
        cmbxTypeDoc->setCurrentIndex(cmbxTypeDoc->findData(record->value(QStringLiteral("Type")).toInt()));
        m_pointer = record->value(QStringLiteral("PTR"));
    }
    return TUserInteraction::instance().showModal(this);
}

void TfrSelectSourceDoc::rdgrpSelectSourceClick() {
    const bool fromBase = rb1->isChecked();
    plBase->setVisible(fromBase);
    plFile->setVisible(!fromBase);
    for (QWidget* w : std::initializer_list<QWidget*>{cmbxDocType, edtCreatedBy, edtDescript, btnApplay})
        w->setEnabled(fromBase);
}

void TfrSelectSourceDoc::btnApplayClick() {
    QStringList parts;
    const int type = cmbxDocType->currentData().toInt();
    if (type > 0)
        parts << QStringLiteral("(Type=%1)").arg(type);
    if (!edtDescript->text().trimmed().isEmpty())
        parts << QStringLiteral("(Descript LIKE ") +
                     q(QLatin1Char('%') + edtDescript->text().trimmed() + QLatin1Char('%')) +
                     QLatin1Char(')');
    if (!edtCreatedBy->text().trimmed().isEmpty())
        parts << QStringLiteral("(CreatedBy LIKE ") +
                     q(QLatin1Char('%') + edtCreatedBy->text().trimmed() + QLatin1Char('%')) +
                     QLatin1Char(')');
    QString sql =
        QStringLiteral(
            "SELECT Doc.id, Doc.Descript, DT.Name TypeName, Doc.FileName, Doc.Format,DATALENGTH(Doc.Doc) "
            "Size,Doc.InsertDate,Doc.CreatedBy, ISNULL(T1.kol,0) Kol from Doc  left join (select DocId, "
            "count(MITypeId) Kol from DocLinks group by DocId) T1 on Doc.id=T1.DocId  left join DocType DT "
            "on Doc.Type=DT.id where Doc.id not in ( select DocId from DocLinks where MITypeId=%1)")
            .arg(FTypeId);
    if (!parts.isEmpty())
        sql += QStringLiteral(" AND ") + parts.join(QStringLiteral(" AND "));
    TBusyCursor busy;
    try {
        TDbUtilsClass::getInstance()->loadQuery(list, sql);
    } catch (const std::exception& e) {
        errorBoxWith(QStringLiteral("Ошибка получения списка документов."), e);
        return;
    }
    TDocumentColumns::show(*DocGrid);
}

void TfrSelectSourceDoc::browse() {
    QFileDialog dialog(this, QString(), QFileInfo(m_sourcePath).absolutePath());
    dialog.setObjectName(QStringLiteral("fEditDialog"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("Все файлы (*)"), QStringLiteral("Microsoft Word (*.doc)"),
                           QStringLiteral("Microsoft Excel (*.xls)"),
                           QStringLiteral("Adob Acrobat Reader (*.pdf)")});
    if (TUserInteraction::instance().showModal(&dialog) != QDialog::Accepted ||
        dialog.selectedFiles().isEmpty())
        return;
    fEditAfterDialog(dialog.selectedFiles().constFirst());
}

void TfrSelectSourceDoc::fEditAfterDialog(const QString& path) {
    const QFileInfo file(path);
    needFile = true;
    m_sourcePath = file.absoluteFilePath();
    fEdit->setText(file.fileName());
    m_format = file.suffix();
    if (edtDescription->text().trimmed().isEmpty())
        edtDescription->setText(MakeUniqueDescription(file.completeBaseName()));
}

QString TfrSelectSourceDoc::MakeUniqueDescription(const QString& base) {
    try {
        TMemoryData found;
        TDbUtilsClass::getInstance()->loadQuery(
            found, QStringLiteral("select Descript from doc where Descript Like ") +
                       q(base + QLatin1Char('%')) + QStringLiteral(" order by 1 desc"));
        for (found.first(); !found.eof(); found.next()) {
            const QString rest = found.field(0)->asString().mid(base.size());
            bool number = true;
            const int n = rest.isEmpty() ? 0 : rest.toInt(&number);
            if (number && n >= 0)
                return base + QString::number(n + 1);
        }
    } catch (const std::exception&) {
        errorBox(QStringLiteral("Ошибка получения суффикса описания документа."));
    }
    return base;
}

void TfrSelectSourceDoc::btnOkClick() {
    if (m_mode == Mode::Attach && rb1->isChecked()) {
        if (!list.active() || list.isEmpty()) {
            errorBox(QStringLiteral("Выберите документ из списка!"));
            DocGrid->setFocus();
            return;
        }
        ResultDocId = list.fieldByName(QStringLiteral("id"))->asInteger();
        write(0);
        return;
    }
    if (needFile && m_sourcePath.isEmpty()) {
        errorBox(QStringLiteral("Выберите файл!"));
        fEdit->setFocus();
        return;
    }
    if (edtDescription->text().isEmpty()) {
        errorBox(QStringLiteral("Заполните описание документа!"));
        edtDescription->setFocus();
        return;
    }
    try {
        QString check = QStringLiteral("Select 1 from Doc where Descript=") + q(edtDescription->text());
        if (m_mode == Mode::Update)
            check += QStringLiteral(" AND (id<>") + QString::number(m_docId) + QLatin1Char(')');
        TMemoryData found;
        TDbUtilsClass::getInstance()->loadQuery(found, check);
        if (!found.isEmpty()) {
            errorBox(QStringLiteral("Документ к таким описание уже существует в базе данных."));
            edtDescription->setFocus();
            return;
        }
    } catch (const std::exception&) {
        errorBox(QStringLiteral("Ошибка контроля описания документа на уникальность."));
        return;
    }
    write(cmbxTypeDoc->currentIndex() >= 0 ? cmbxTypeDoc->currentData().toInt() : 0);
}

QByteArray TfrSelectSourceDoc::pointerOf(int docId) {
    const auto query = TDbUtilsClass::getInstance()->openQuery(TDocumentStore::pointerQuery(docId));
    return query->eof() ? QByteArray() : query->value(0).toByteArray();
}

void TfrSelectSourceDoc::write(int typeOfDocument) {
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    TDbConnection& connection = TdmDataBase::instance().adoOrtaDatabase();
    const QString type = typeOfDocument < 1 ? QStringLiteral("NULL") : QString::number(typeOfDocument);
    const bool existing = m_mode == Mode::Attach && rb1->isChecked();
    TBusyCursor busy;
    try {
        connection.beginTransaction();
        if (m_mode == Mode::Attach && !existing) {
            // A placeholder, so that the row has contents and with them a text pointer.
            ResultDocId = db->insertReturningIdentity(
                {QStringLiteral("INSERT INTO Doc (Descript, FileName, Format, Type, Doc) VALUES (") +
                 q(edtDescription->text()) + QLatin1Char(',') + q(fEdit->text()) + QLatin1Char(',') +
                 q(m_format) + QLatin1Char(',') + type + QLatin1Char(',') +
                 db->binaryLiteral(QByteArray(1, '\0')) + QLatin1Char(')')},
                QStringLiteral("id"));
            upload(pointerOf(ResultDocId));
        } else if (m_mode == Mode::Update) {
            db->runSQL(QStringLiteral("UPDATE Doc SET Descript=") + q(edtDescription->text()) +
                       QStringLiteral(", FileName=") + q(fEdit->text()) + QStringLiteral(", Format=") +
                       q(m_format) + QStringLiteral(", Type=") + type + QStringLiteral(" WHERE id=") +
                       QString::number(m_docId));
            if (needFile) {
                QByteArray pointer = m_pointer.toByteArray();
                if (m_pointer.isNull() || pointer.isEmpty()) {
                    db->runSQL(QStringLiteral("UPDATE Doc SET Doc=") + db->binaryLiteral(QByteArray()) +
                               QStringLiteral(" WHERE id=") + QString::number(m_docId));
                    pointer = pointerOf(m_docId);
                }
                upload(pointer);
            }
        }
        if (m_mode == Mode::Attach)
            db->runSQL(QStringLiteral("Insert into DocLinks(DocId,MITypeId) Values(") +
                       QString::number(ResultDocId) + QLatin1Char(',') + QString::number(FTypeId) +
                       QLatin1Char(')'));
        connection.commit();
    } catch (const std::exception&) {
        if (connection.inTransaction()) {
            try {
                connection.rollback();
            } catch (const std::exception&) {
            }
        }
        list.close();
        errorBox(QStringLiteral("Ошибка при записи данных документа."));
        return;
    }
    list.close();
    accept();
}

void TfrSelectSourceDoc::upload(const QByteArray& pointer) {
    const qint64 size = QFileInfo(m_sourcePath).size();
    TfrProgressBar progress(this);
    progress.setObjectName(QStringLiteral("frProgressBar"));
    progress.setRange(0, TDocumentStore::chunkCount(size));
    progress.setCaption(QStringLiteral("Загрузка файла \"") + m_sourcePath + QLatin1Char('"'));
    bool uploaded = false; // a window closed before the job ran uploaded nothing either
    progress.setJob([&](TfrProgressBar& window) {
        try {
            TDocumentStore::uploadFile(pointer, m_sourcePath, [&window] {
                window.StepProgress();
                QCoreApplication::processEvents();
            });
            uploaded = true;
        } catch (const std::exception&) {
            uploaded = false;
        }
    });
    TUserInteraction::instance().showModal(&progress);
    if (!uploaded)
        throw EError(QStringLiteral("Ошибка загрузки файла."));
}

void TfrSelectSourceDoc::closeEvent(QCloseEvent* event) {
    list.close();
    QDialog::closeEvent(event);
}
