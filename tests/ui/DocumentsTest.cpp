// The document windows on the real server, driven as the user drives them: the manager's buttons,
// the document dialog's source, file and description boxes, the progress window, the links dialog.
#include "TDBGrid.h"
#include "TDbConnection.h"
#include "TMemoryData.h"
#include "TfrATypes.h"
#include "TfrDocLinks.h"
#include "TfrDocManager.h"
#include "TfrProgressBar.h"
#include "TfrSelectSourceDoc.h"
#include "WorkstationTest.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace {

class Documents : public WorkstationTest {
protected:
    void SetUp() override {
        WorkstationTest::SetUp();
        if (HasFatalFailure())
            return;
        exec("INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE VALUES (10, NULL, "
             "'Давление'), (11, 10, "
             "'Манометры'), "
             "(12, 10, 'Барометры')");
        exec("INSERT INTO DocType (id, name) OVERRIDING SYSTEM VALUE VALUES (1, 'Паспорт'), (2, 'Методика "
             "поверки')");
        exec("INSERT INTO Doc (id, Descript, Type, FileName, Format, Doc) OVERRIDING SYSTEM VALUE VALUES "
             "(1, 'act', 1, 'act.txt', 'txt', convert_to('первый', 'UTF8')), "
             "(2, 'act1', 2, 'act1.txt', 'txt', convert_to('второй', 'UTF8')), "
             "(3, 'Общий', NULL, 'common.txt', 'txt', convert_to('общий', 'UTF8'))");
        exec("SELECT setval(pg_get_serial_sequence('doc', 'id'), 100)");
        exec("INSERT INTO DocLinks (DocId, MITypeId) VALUES (1, 11), (2, 11), (3, 11), (3, 12)");
        start("admin_test", "admin");
        manager = std::make_unique<TfrDocManager>(*window->frATypes, window.get());
    }
    void TearDown() override {
        manager.reset();
        WorkstationTest::TearDown();
    }

    // Runs the manager for type 11 with what the user does in it.
    void showManager(const std::function<void()>& actions) {
        ui.modalHandlers.push_front([this, actions](QObject*) {
            actions();
            return int(QDialog::Rejected);
        });
        manager->ShowDocuments(11);
    }
    bool selectRow(const QString& description) {
        return manager->list.locate(QStringLiteral("Descript"), description);
    }
    // Opens the documents of the rows with "Открыть" in the manager; the paths handed to the desktop.
    QStringList openDocuments(const QStringList& descriptions) {
        QStringList opened;
        manager->openFile = [&opened](const QString& path) {
            opened << path;
            return true;
        };
        showManager([&] {
            for (const QString& description : descriptions) {
                ASSERT_TRUE(selectRow(description));
                manager->btnLoadAndOpen->click();
            }
        });
        return opened;
    }
    QString writeFile(const QString& name, const QByteArray& bytes) {
        const QString path = m_folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    static std::function<int(QObject*)> chooseFile(const QString& path) {
        return [path](QObject* shown) {
            auto* dialog = qobject_cast<QFileDialog*>(shown);
            EXPECT_NE(dialog, nullptr);
            if (!dialog)
                return int(QDialog::Rejected);
            dialog->selectFile(path);
            return int(QDialog::Accepted);
        };
    }
    // The progress window as it runs: shown, its job done, closed.
    static int runProgress(QObject* shown) {
        auto* progress = qobject_cast<TfrProgressBar*>(shown);
        EXPECT_NE(progress, nullptr);
        return progress ? progress->exec() : int(QDialog::Rejected);
    }

    std::unique_ptr<TfrDocManager> manager;
};

} // namespace

// A new file: the description proposed after "act" and "act1" is "act2"; the file is uploaded with
// the progress window and linked to the type; the list shows it.
TEST_F(Documents, AttachingAFileProposesAFreeDescriptionAndStoresIt) {
    QByteArray bytes(1200000, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i % 253);
    const QString path = writeFile("act.pdf", bytes);
    int barMaximum = -1;
    ui.modalHandlers = {[&](QObject* shown) {
                            auto* dialog = qobject_cast<TfrSelectSourceDoc*>(shown);
                            EXPECT_NE(dialog, nullptr);
                            dialog->rb2->click();
                            dialog->fEditBrowse->click();
                            EXPECT_EQ(dialog->fEdit->text(), "act.pdf");
                            EXPECT_EQ(dialog->edtDescription->text(), "act2");
                            dialog->btnOk->click();
                            return dialog->result();
                        },
                        chooseFile(path),
                        [&barMaximum](QObject* shown) {
                            barMaximum =
                                qobject_cast<TfrProgressBar*>(shown)->findChild<QProgressBar*>()->maximum();
                            return runProgress(shown);
                        }};
    showManager([this] { manager->btnAddDoc->click(); });
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(barMaximum, 3);
    const int id = value("SELECT id FROM Doc WHERE Descript='act2'").toInt();
    ASSERT_GT(id, 100);
    EXPECT_EQ(value(QString("SELECT Doc FROM Doc WHERE id=%1").arg(id)).toByteArray(), bytes);
    EXPECT_EQ(value(QString("SELECT Format FROM Doc WHERE id=%1").arg(id)).toString(), "pdf");
    EXPECT_EQ(value(QString("SELECT count(*) FROM DocLinks WHERE DocId=%1 AND MITypeId=11").arg(id)).toInt(),
              1);
    EXPECT_TRUE(selectRow("act2"));
}

// Updating without a new file changes the description and the type only; the contents stay.
TEST_F(Documents, UpdatingWithoutAFileKeepsTheContents) {
    ui.modalHandlers = {[](QObject* shown) {
        auto* dialog = qobject_cast<TfrSelectSourceDoc*>(shown);
        EXPECT_EQ(dialog->edtDescription->text(), "act");
        dialog->edtDescription->setText("Акт поверки");
        dialog->btnOk->click();
        return dialog->result();
    }};
    showManager([this] {
        ASSERT_TRUE(selectRow("act"));
        manager->btnUpdateDoc->click();
    });
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(value("SELECT Descript FROM Doc WHERE id=1").toString(), "Акт поверки");
    EXPECT_EQ(value("SELECT convert_from(Doc, 'UTF8') FROM Doc WHERE id=1").toString(), "первый");
    EXPECT_TRUE(selectRow("Акт поверки"));
}

// A description another document has is refused, and nothing is written.
TEST_F(Documents, ADescriptionInUseIsRefused) {
    ui.modalHandlers = {[](QObject* shown) {
        auto* dialog = qobject_cast<TfrSelectSourceDoc*>(shown);
        dialog->edtDescription->setText("act1");
        dialog->btnOk->click();
        EXPECT_TRUE(dialog->isVisible() || dialog->result() != QDialog::Accepted);
        return int(QDialog::Rejected);
    }};
    showManager([this] {
        ASSERT_TRUE(selectRow("act"));
        manager->btnUpdateDoc->click();
    });
    EXPECT_EQ(ui.texts(), QStringList{"Документ к таким описание уже существует в базе данных."});
    EXPECT_EQ(value("SELECT Descript FROM Doc WHERE id=1").toString(), "act");
}

// The only link of a document: the user is asked whether to delete the document; "No" removes
// only the link.
TEST_F(Documents, DeletingTheOnlyLinkAsksAboutTheDocument) {
    ui.answers = {TMsgResult::Yes, TMsgResult::No};
    showManager([this] {
        ASSERT_TRUE(selectRow("act"));
        manager->btnDeleteDoc->click();
    });
    EXPECT_EQ(ui.texts(),
              (QStringList{"Вы действительно хотите удалить документ?",
                           "На данный документ больше нет ссылок в базе данных. Удалить его из базы?"}));
    EXPECT_EQ(value("SELECT count(*) FROM Doc WHERE id=1").toInt(), 1);
    EXPECT_EQ(value("SELECT count(*) FROM DocLinks WHERE DocId=1").toInt(), 0);
    EXPECT_FALSE(selectRow("act"));

    // A document of two types loses this type's link without a question.
    ui.messages.clear();
    ui.answers = {TMsgResult::Yes};
    showManager([this] {
        ASSERT_TRUE(selectRow("Общий"));
        manager->btnDeleteDoc->click();
    });
    EXPECT_EQ(ui.texts(), QStringList{"Вы действительно хотите удалить документ?"});
    EXPECT_EQ(value("SELECT count(*) FROM DocLinks WHERE DocId=3").toInt(), 1);
}

// Another user holds the document: the delete reports it and changes nothing.
TEST_F(Documents, ADocumentLockedByAnotherUserIsNotDeleted) {
    auto other = secondWorkstation("admin_test", "admin");
    other->beginTransaction();
    other->openQuery("SELECT id FROM Doc WHERE id=2 FOR UPDATE");
    ui.answers = {TMsgResult::Yes};
    showManager([this] {
        ASSERT_TRUE(selectRow("act1"));
        manager->btnDeleteDoc->click();
    });
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_TRUE(ui.messages[1].text.contains("Ошибка удаления документа."))
        << ui.messages[1].text.toStdString();
    EXPECT_TRUE(ui.messages[1].text.contains("Документ редактируется другим пользователем."));
    EXPECT_EQ(value("SELECT count(*) FROM DocLinks WHERE DocId=2").toInt(), 1);
    other->rollback();
}

// Two opened documents land in two temporary folders, which go with the manager.
TEST_F(Documents, OpenedDocumentsLandInTheirOwnFoldersUntilTheManagerCloses) {
    const QStringList opened = openDocuments({"act", "act1"});
    ASSERT_EQ(opened.size(), 2);
    EXPECT_TRUE(opened[0].contains("KWRTemp/Temp")) << opened[0].toStdString();
    EXPECT_NE(QFileInfo(opened[0]).dir(), QFileInfo(opened[1]).dir());
    QFile first(opened[0]);
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(first.readAll()), "первый");
    const QStringList folders = manager->tempFolders();
    EXPECT_EQ(folders.size(), 2);
    manager.reset();
    for (const QString& folder : folders)
        EXPECT_FALSE(QFileInfo::exists(folder)) << folder.toStdString();
}

// A stored name with folder parts is written as its plain name inside its own folder.
TEST_F(Documents, AStoredNameNeverLeavesTheTemporaryFolder) {
    exec("UPDATE Doc SET FileName = '../../escape_" + uniqueTag() + ".txt' WHERE Descript = 'act'");
    const QStringList opened = openDocuments({"act"});
    ASSERT_EQ(opened.size(), 1);
    const QFileInfo file(opened[0]);
    EXPECT_EQ(file.fileName(), "escape_" + uniqueTag() + ".txt");
    EXPECT_TRUE(file.absolutePath().startsWith(QDir::tempPath() + "/KWRTemp/Temp"))
        << opened[0].toStdString();
    EXPECT_TRUE(file.exists());
    EXPECT_FALSE(QFileInfo::exists(QDir::tempPath() + "/../escape_" + uniqueTag() + ".txt"));
}

// A document the system cannot open: "No" deletes the temporary file.
TEST_F(Documents, ADocumentThatCannotBeOpenedIsOfferedForSaving) {
    QString tried;
    manager->openFile = [&tried](const QString& path) {
        tried = path;
        return false;
    };
    const QString kept = m_folder.filePath("kept.txt");
    manager->chooseSavePath = [&kept](const QString&) {
        return kept;
    };
    ui.answers = {TMsgResult::Yes};
    showManager([this] {
        ASSERT_TRUE(selectRow("act"));
        manager->btnLoadAndOpen->click();
    });
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.startsWith("Ошибка при открытии документа. \n"));
    EXPECT_EQ(ui.messages[0].buttons, TMsgButtons::YesNo);
    EXPECT_FALSE(QFileInfo::exists(tried));
    EXPECT_TRUE(QFileInfo::exists(kept));
}

// The links dialog: a type added and removed again writes nothing; a type added is written on
// "Применить"; the document stays locked while the dialog is open.
TEST_F(Documents, LinksAreWrittenTogetherOnApply) {
    auto other = secondWorkstation("admin_test", "admin");
    ui.modalHandlers = {
        [&](QObject* shown) {
            auto* links = qobject_cast<TfrDocLinks*>(shown);
            EXPECT_EQ(links->rxmdPassList.recordCount(), 2);
            // The other workstation cannot take the document meanwhile.
            other->beginTransaction();
            EXPECT_ANY_THROW(other->openQuery("SELECT id FROM Doc WHERE id=3 FOR UPDATE NOWAIT"));
            other->rollback();
            links->btnAdd->click(); // Температура? no: Манометры is listed already; adds nothing
            links->btnAdd->click(); // a new type, then taken back
            links->btnDelete->click();
            EXPECT_TRUE(links->changes().empty());
            links->btnAdd->click(); // added for good
            links->btnOk->click();
            return links->result();
        },
        pickInChooser("Манометры"), pickInChooser("Давление"), pickInChooser("Давление")};
    showManager([this] {
        ASSERT_TRUE(selectRow("Общий"));
        manager->btnLinksDoc->click();
    });
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(value("SELECT count(*) FROM DocLinks WHERE DocId=3").toInt(), 3);
    EXPECT_EQ(value("SELECT count(*) FROM DocLinks WHERE DocId=3 AND MITypeId=10").toInt(), 1);
    other->beginTransaction();
    EXPECT_NO_THROW(other->openQuery("SELECT id FROM Doc WHERE id=3 FOR UPDATE NOWAIT"))
        << "the lock is released";
    other->rollback();
}

// The connection dies in the middle of writing a new document: nothing of it stays, and the user
// is told.
TEST_F(Documents, AConnectionLostDuringTheUploadLeavesNoDocument) {
    const QString path = writeFile("lost.pdf", QByteArray(1200000, 'x'));
    ui.modalHandlers = {[&](QObject* shown) {
                            auto* dialog = qobject_cast<TfrSelectSourceDoc*>(shown);
                            dialog->rb2->click();
                            dialog->fEditBrowse->click();
                            dialog->btnOk->click();
                            EXPECT_NE(dialog->result(), int(QDialog::Accepted));
                            return int(QDialog::Rejected);
                        },
                        chooseFile(path),
                        [this](QObject* shown) {
                            exec("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                                 "WHERE datname = current_database() AND pid <> pg_backend_pid()");
                            return runProgress(shown);
                        }};
    showManager([this] { manager->btnAddDoc->click(); });
    EXPECT_EQ(ui.texts(), QStringList{"Ошибка при записи данных документа."});
    EXPECT_EQ(value("SELECT count(*) FROM Doc WHERE Descript='lost'").toInt(), 0);
    EXPECT_EQ(value("SELECT count(*) FROM Doc").toInt(), 3);
}

// "Отменить" after changes writes nothing and releases the document.
TEST_F(Documents, CancellingTheLinksWritesNothing) {
    auto other = secondWorkstation("admin_test", "admin");
    ui.modalHandlers = {[](QObject* shown) {
                            auto* links = qobject_cast<TfrDocLinks*>(shown);
                            links->btnDelete->click(); // the stored link
                            links->btnAdd->click();
                            EXPECT_EQ(links->changes().size(), 2u);
                            links->BitBtn2->click();
                            return links->result();
                        },
                        pickInChooser("Давление")};
    showManager([this] {
        ASSERT_TRUE(selectRow("act"));
        manager->btnLinksDoc->click();
    });
    EXPECT_EQ(value("SELECT count(*) FROM DocLinks WHERE DocId=1").toInt(), 1);
    EXPECT_EQ(value("SELECT count(*) FROM DocLinks WHERE MITypeId=10").toInt(), 0);
    other->beginTransaction();
    EXPECT_NO_THROW(other->openQuery("SELECT id FROM Doc WHERE id=1 FOR UPDATE NOWAIT"));
    other->rollback();
}
