#include "TfrDocManager.h"

#include "EError.h"
#include "OrtaUtils.h"
#include "TDBGrid.h"
#include "TDbUtilsClass.h"
#include "TDocumentColumns.h"
#include "TDocumentStore.h"
#include "TUserInteraction.h"
#include "TdmDataBase.h"
#include "TfrDocLinks.h"
#include "TfrSelectSourceDoc.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

TfrDocManager::TfrDocManager(TfrATypes& chooser, QWidget* parent) : QDialog(parent), m_chooser(chooser) {
    setObjectName(QStringLiteral("frDocManager"));
    resize(900, 480);
    list.setObjectName(QStringLiteral("rxmdDocs"));
    DocGrid = new TDBGrid(&list, this);
    DocGrid->setObjectName(QStringLiteral("DocGrid"));
    DocGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DocGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    btnAddDoc = button("btnAddDoc", QStringLiteral("Добавить документ"));
    btnUpdateDoc = button("btnUpdateDoc", QStringLiteral("Обновить документ"));
    btnDeleteDoc = button("btnDeleteDoc", QStringLiteral("Удалить документ"));
    btnLinksDoc = button("btnLinksDoc", QStringLiteral("Связи с типами СИ (СА)"));
    btnLoadAndOpen = button("btnLoadAndOpen", QStringLiteral("Загрузить и открыть"));
    btnCancel = button("btnCancel", QStringLiteral("Закрыть"));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {btnAddDoc, btnUpdateDoc, btnDeleteDoc, btnLinksDoc, btnLoadAndOpen})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DocGrid, 1);
    layout->addLayout(buttons);
    connect(btnAddDoc, &QPushButton::clicked, this, &TfrDocManager::btnAddDocClick);
    connect(btnUpdateDoc, &QPushButton::clicked, this, &TfrDocManager::btnUpdateDocClick);
    connect(btnDeleteDoc, &QPushButton::clicked, this, &TfrDocManager::btnDeleteDocClick);
    connect(btnLinksDoc, &QPushButton::clicked, this, &TfrDocManager::btnLinksDocClick);
    connect(btnLoadAndOpen, &QPushButton::clicked, this, [this] {
        if (list.active() && !list.isEmpty())
            OpenDocument(currentId());
    });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(DocGrid, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && list.active() && !list.isEmpty())
            OpenDocument(currentId());
    });
    openFile = [](const QString& path) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };
    chooseSavePath = [this](const QString& fileName) {
        QFileDialog dialog(this, QString(), fileName);
        dialog.setObjectName(QStringLiteral("saveDocumentDialog"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        if (TUserInteraction::instance().showModal(&dialog) != QDialog::Accepted ||
            dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    };
    QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/Temp")).removeRecursively();
    TfrSelectSourceDoc::shared(parent ? parent : this);
}

TfrDocManager::~TfrDocManager() {
    for (const QString& folder : FTempFolders)
        QDir(folder).removeRecursively();
}

QString TfrDocManager::listSelect() const {
    return QStringLiteral(
        "SELECT Doc.id, Doc.Descript,DT.Name Type,Doc.FileName, Doc.Format,Doc.InsertDate,"
        "Doc.CreatedBy , ISNULL(T1.kol,0) Kol from Doc  left join DocLinks DL on Doc.id=DL.DocId "
        "left join (select DocId, count(MITypeId) Kol from DocLinks group by DocId) T1 on "
        "Doc.id=T1.DocId left join DocType DT on Doc.Type=DT.id");
}

int TfrDocManager::ShowDocuments(int typeId) {
    FTypeId = typeId;
    setWindowTitle(QStringLiteral("Список документов для типа СИ(СА) ") + QString::number(typeId));
    loadList();
    return TUserInteraction::instance().showModal(this);
}

void TfrDocManager::loadList() {
    TBusyCursor busy;
    try {
        TDbUtilsClass::getInstance()->loadQuery(list, listSelect() + QStringLiteral(" WHERE DL.MITypeId=") +
                                                          QString::number(FTypeId));
    } catch (const std::exception& e) {
        errorBoxWith(QStringLiteral("Ошибка получения списка документов."), e);
    }
    TDocumentColumns::show(*DocGrid);
    updateButtons();
}

void TfrDocManager::updateButtons() {
    const bool any = list.active() && !list.isEmpty();
    for (QPushButton* b : {btnUpdateDoc, btnDeleteDoc, btnLinksDoc, btnLoadAndOpen})
        b->setEnabled(any);
}

int TfrDocManager::currentId() const {
    return const_cast<TMemoryData&>(list).fieldByName(QStringLiteral("id"))->asInteger();
}

void TfrDocManager::RefreshRow(int docId) {
    try {
        TDbUtilsClass::getInstance()->refreshRecord(
            list,
            listSelect() + QStringLiteral(" Where (Doc.id=") + QString::number(docId) +
                QStringLiteral(") AND ( DL.MITypeId=") + QString::number(FTypeId) + QLatin1Char(')'),
            QStringLiteral("id"), docId);
    } catch (const std::exception& e) {
        errorBoxWith(QStringLiteral("Ошибка обновления документа."), e);
    }
    updateButtons();
}

void TfrDocManager::btnAddDocClick() {
    TfrSelectSourceDoc& dialog = TfrSelectSourceDoc::shared(this);
    if (dialog.AttachDocument(FTypeId) == QDialog::Accepted)
        RefreshRow(dialog.ResultDocId);
}

void TfrDocManager::btnUpdateDocClick() {
    if (!list.active() || list.isEmpty())
        return;
    const int id = currentId();
    if (TfrSelectSourceDoc::shared(this).UpdateDocument(id) == QDialog::Accepted)
        RefreshRow(id);
}

void TfrDocManager::btnLinksDocClick() {
    if (!list.active() || list.isEmpty())
        return;
    const int id = currentId();
    TfrDocLinks links(m_chooser, this);
    links.ShowForDocument(id);
    RefreshRow(id);
}

namespace {

// A silent stop inside the delete: the document is no longer this type's.
struct NotListed {};

} // namespace

void TfrDocManager::btnDeleteDocClick() {
    if (!list.active() || list.isEmpty())
        return;
    if (warningBox(QStringLiteral("Вы действительно хотите удалить документ?"), TMsgButtons::YesNo) !=
        TMsgResult::Yes)
        return;
    const int d = currentId();
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    TDbConnection& connection = TdmDataBase::instance().adoOrtaDatabase();
    bool deleted = false;
    try {
        connection.beginTransaction();
        TDocumentStore::lockDocument(d);
        RefreshRow(d);
        if (list.isEmpty() || currentId() != d)
            throw NotListed{};
        const int references =
            list.fieldByName(QStringLiteral("Kol"))->asInteger() +
            db->openQuery(
                  QStringLiteral("SELECT Count(*) as cnt FROM DocLinks WHERE PassId IS NOT NULL AND DocId=") +
                  QString::number(d))
                ->value(QStringLiteral("cnt"))
                .toInt();
        const bool wholeDocument =
            references == 1 &&
            questionBox(
                QStringLiteral("На данный документ больше нет ссылок в базе данных. Удалить его из базы?"),
                TMsgButtons::YesNo) == TMsgResult::Yes;
        if (wholeDocument)
            db->runSQL(QStringLiteral("Delete from Doc where id=") + QString::number(d));
        else
            // SQL Server reads "1AND" as a number and a keyword; PostgreSQL 15 refuses a number run
            // into a word.
            db->runSQL(QStringLiteral("Delete from DocLinks where DocId=") + QString::number(d) +
                       (db->provider() == TDbProvider::PostgreSQL ? QStringLiteral(" ") : QString()) +
                       QStringLiteral("AND MITypeId=") + QString::number(FTypeId));
        connection.commit();
        deleted = true;
    } catch (const NotListed&) {
        connection.rollback();
    } catch (const std::exception& e) {
        if (connection.inTransaction()) {
            try {
                connection.rollback();
            } catch (const std::exception&) {
            }
        }
        errorBoxWith(QStringLiteral("Ошибка удаления документа."), e);
    }
    if (deleted && list.locate(QStringLiteral("id"), d))
        list.deleteRecord();
    updateButtons();
}

QString TfrDocManager::MakeTempFolder() {
    const QString base = QDir::tempPath() + QStringLiteral("/KWRTemp");
    if (!QDir().mkpath(base))
        throw EError(QStringLiteral("Ошибка создания папки.\n") + TDbUtilsClass::stringLiteral(base));
    // The folder is claimed by making it: another window (or program) taking the same number
    // meanwhile makes this one try the next.
    QString candidate;
    bool made = false;
    while (FTempCounter < 65536 && !made) {
        const QString name = QStringLiteral("Temp") +
                             QStringLiteral("%1").arg(FTempCounter, 4, 16, QLatin1Char('0')).toUpper();
        candidate = base + QLatin1Char('/') + name;
        made = !QFileInfo::exists(candidate) && QDir(base).mkdir(name);
        if (!made)
            ++FTempCounter;
    }
    if (!made)
        throw EError(QStringLiteral("Ошибка создания папки.\n") + TDbUtilsClass::stringLiteral(candidate));
    FTempFolders << candidate;
    return candidate;
}

void TfrDocManager::OpenDocument(int docId) {
    TBusyCursor busy;
    try {
        const auto query = TDbUtilsClass::getInstance()->openQuery(
            QStringLiteral("Select DOC, FileName from DOC where id=") + QString::number(docId));
        if (query->eof())
            return;
        const QString path =
            MakeTempFolder() + QLatin1Char('/') +
            TDocumentStore::plainFileName(query->value(QStringLiteral("FileName")).toString());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(query->value(QStringLiteral("DOC")).toByteArray()) < 0)
            throw EError(file.errorString());
        file.close();
        if (openFile(path))
            return;
        const int answer = TUserInteraction::instance().messageBox(
            QStringLiteral("Ошибка при открытии документа. \n\"%1\"\nСохранить документ под другим именем?")
                .arg(QStringLiteral("Нет программы, которая открывает файлы этого типа")),
            TMessageKind::Error, TMsgButtons::YesNo);
        const QString target =
            answer == TMsgResult::Yes ? chooseSavePath(QFileInfo(path).fileName()) : QString();
        if (target.isEmpty()) {
            QFile::remove(path);
            return;
        }
        QFile::remove(target); // the save dialog has asked about replacing it
        if (!QFile::rename(path, target) && !(QFile::copy(path, target) && QFile::remove(path)))
            throw EError(QStringLiteral("Не удалось сохранить файл ") + target);
    } catch (const std::exception& e) {
        errorBoxWith(QStringLiteral("Ошибка открытия документа."), e);
    }
}

void TfrDocManager::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}
