// The view of the selected book: built from the book's layout file, filled with the book's records.
#include "EAbort.h"
#include "FileLookup.h"
#include "OrtaUtils.h"
#include "TATreeDataCollection.h"
#include "TDBGrid.h"
#include "TDEVICEFilterFrame.h"
#include "TDbAttrCollection.h"
#include "TDbUtilsClass.h"
#include "TDetachedEvents.h"
#include "TGridKeys.h"
#include "TORDERSFilterFrame.h"
#include "TTariffFilterFrame.h"
#include "TUser.h"
#include "TXmlDocument.h"
#include "TextHelpers.h"
#include "TfrMain.h"

#include <map>

#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <map>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <unordered_map>

namespace {

// The n-th attribute of a layout element (1-based), empty when it has fewer.
QString attributeAt(const TXmlElement& element, int n) {
    return n <= element.attributes.size() ? element.attributes.at(n - 1).second : QString();
}

QRect boundsOf(const TXmlElement& element) {
    return QRect(strToInt(attributeAt(element, 4)), strToInt(attributeAt(element, 5)),
                 strToInt(attributeAt(element, 6)), strToInt(attributeAt(element, 7)));
}

bool isTable(const QString& table, const char* name) {
    return sameText(table, QString::fromLatin1(name));
}

bool isFilteredList(const QString& table) {
    return isTable(table, "MSUL_DEVICE_TYPE") || isTable(table, "MSUL_CALIBRATION_ORDERS") ||
           isTable(table, "Tariff");
}

// The view's parts while a layout is read: each group box and panel made last is the current one.
struct LayoutParts {
    QGroupBox* group = nullptr;
    QVBoxLayout* groupLayout = nullptr;
    QWidget* top = nullptr;
    QWidget* client = nullptr;
    QWidget* bottom = nullptr;
};

QWidget* makePanel(LayoutParts& parts, const QString& name) {
    auto* panel = new QWidget(parts.group);
    panel->setObjectName(name);
    return panel;
}

// The joined captions of a side list by key, for the computed column of a book.
std::unordered_map<qint32, QString> joinedNames(TMemoryData& list, const QString& keyField,
                                                const QString& nameField) {
    std::unordered_map<qint32, QString> names;
    const TField* key = list.findField(keyField);
    const TField* name = list.findField(nameField);
    if (!key || !name)
        return names;
    for (int r = 1; r <= list.recordCount(); ++r) {
        QString& text = names[list.valueAt(r, key).toInt()];
        if (!text.isEmpty())
            text += QStringLiteral("; ");
        text += list.valueAt(r, name).toString();
    }
    return names;
}

} // namespace

QString TfrMain::editorByName(const QString& name) {
    static const QStringList registry{"frMiType",     "frMsrUnit",       "frBlockType", "frModuleType",
                                      "frMoveStates", "frIntervalCycle", "frVrfOrg",    "frTariff",
                                      "frEmployees",  "frCUSTOMER",      "frDEVICE"};
    for (const QString& entry : registry) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return {};
}

qint32 TfrMain::rowPermissionTable(const TDbAttrCollection* book) const {
    return book && TUser::current()
               ? TUser::current()->FindPermissionTable(QStringLiteral("tRole") + book->mainTableName())
               : -1;
}

void TfrMain::OpenSelectedBook() {
    QTreeWidgetItem* node = tvMainTree->currentItem();
    if (!node)
        return;
    FFilterText.clear();
    FCurrentNode = node;
    if (!BuildBookView(FCurrentNode)) {
        showGroupContents(FCurrentNode);
        return;
    }
    LoadBookData(false, false);
    if (FViewBox)
        FViewBox->setTitle(NodeItem(FCurrentNode)->pathText(true));
    Q_EMIT bookOpened();
}

void TfrMain::retireView() {
    if (FGrid)
        FGrid->saveLayout();
    FrxmdData.setEvents({});
    FrxmdData.close();
    if (FViewBox && m_operationDepth > 0) {
        // A button of this view is still on the stack: it goes once the event loop is back.
        FViewBox->hide();
        FViewBox->setParent(nullptr);
        FViewBox->deleteLater();
    } else {
        delete FViewBox;
    }
    FViewBox = nullptr;
    FGrid = nullptr;
    FNavigator = nullptr;
    FTemplateEdit = nullptr;
    FFilterFrame = nullptr;
}

// A group of the catalogue has no view of its own: the right half names its books instead of
// staying empty; a double click opens one.
void TfrMain::showGroupContents(QTreeWidgetItem* node) {
    const TDbAttrCollection* book = NodeBook(node);
    if (node->childCount() == 0 || (book && book->count() > 0 && !book->items(0)->tableName.isEmpty()))
        return;
    FViewBox = new QGroupBox(node->text(0), Panel3);
    FViewBox->setObjectName(QStringLiteral("gbGroup"));
    auto* layout = new QVBoxLayout(FViewBox);
    layout->addWidget(new QLabel(QStringLiteral("Справочники группы:"), FViewBox));
    auto* books = new QListWidget(FViewBox);
    books->setObjectName(QStringLiteral("lbGroupBooks"));
    for (int i = 0; i < node->childCount(); ++i) {
        auto* entry = new QListWidgetItem(node->child(i)->text(0), books);
        entry->setData(Qt::UserRole, QVariant::fromValue(static_cast<void*>(node->child(i))));
    }
    connect(books, &QListWidget::itemActivated, this, [this, node](QListWidgetItem* entry) {
        auto* child = static_cast<QTreeWidgetItem*>(entry->data(Qt::UserRole).value<void*>());
        for (int i = 0; i < node->childCount(); ++i) {
            if (node->child(i) == child) {
                // The list goes with the view the selection rebuilds: not from its own handler.
                QTimer::singleShot(0, this, [this, child] { tvMainTree->setCurrentItem(child); });
                return;
            }
        }
    });
    layout->addWidget(books, 1);
    Panel3->layout()->addWidget(FViewBox);
}

bool TfrMain::BuildBookView(QTreeWidgetItem* node) {
    retireView();

    TDbAttrCollection* book = NodeBook(node);
    if (!book || book->count() == 0)
        return false;
    const QString table = book->items(0)->tableName;
    const QString object = isTable(table, "tRoles") || isTable(table, "UserInfo")
                               ? QStringLiteral("Работа с разрешениями")
                               : QStringLiteral("Работа со справочниками");
    TUser* user = TUser::current();
    if (!user || !user->HasStaticPermission(object, QStringLiteral("read")))
        return false;
    const bool mayModify = user->HasStaticPermission(object, QStringLiteral("modify"));

    const QDir layouts(resolvePath(FAppPath + QStringLiteral("DynamicReferenceBooks\\Xml\\")));
    if (!layouts.exists() ||
        layouts.entryList({QStringLiteral("*.xml"), QStringLiteral("*.XML")}, QDir::Files).isEmpty())
        return false;
    QTreeWidgetItem* layoutNode = book->isHierarchical() ? RootOf(node) : node;
    TXmlDocument layout;
    if (!TXmlDocument::read(FAppPath + QStringLiteral("DynamicReferenceBooks\\Xml\\") + layoutNode->text(0) +
                                QStringLiteral(".xml"),
                            layout))
        return false;

    LayoutParts parts;
    for (const TXmlElement& element : layout.children) {
        if (element.name != QLatin1String("ctrl"))
            continue;
        const QString name = attributeAt(element, 1);
        const QString kind = attributeAt(element, 2);
        const QString caption = attributeAt(element, 3);
        if (sameText(kind, QStringLiteral("TGroupBox"))) {
            if (name == QLatin1String("gbTechName") || name == QLatin1String("gbPspName"))
                continue;
            parts = LayoutParts{};
            parts.group = new QGroupBox(caption, Panel3);
            parts.group->setObjectName(name);
            parts.groupLayout = new QVBoxLayout(parts.group);
            parts.groupLayout->setContentsMargins(4, 4, 4, 4);
            Panel3->layout()->addWidget(parts.group);
            FViewBox = parts.group;
            continue;
        }
        if (!parts.group)
            continue; // a control before any group box has no place
        if (sameText(kind, QStringLiteral("TPanel"))) {
            if (name == QLatin1String("dfPanelTop")) {
                parts.top = makePanel(parts, name);
                parts.top->setFixedHeight(std::max(boundsOf(element).height(), 0));
                parts.groupLayout->insertWidget(0, parts.top);
            } else if (name == QLatin1String("dfPanelClient")) {
                parts.client = makePanel(parts, name);
                auto* clientLayout = new QVBoxLayout(parts.client);
                clientLayout->setContentsMargins(0, 0, 0, 0);
                parts.groupLayout->insertWidget(parts.top ? 1 : 0, parts.client, 1);
            } else if (name == QLatin1String("dfPanelBottom")) {
                parts.bottom = makePanel(parts, name);
                auto* bottomLayout = new QVBoxLayout(parts.bottom);
                bottomLayout->setContentsMargins(0, 0, 0, 0);
                parts.groupLayout->addWidget(parts.bottom);
            }
        } else if (sameText(kind, QStringLiteral("TButtonMerge")) ||
                   sameText(kind, QStringLiteral("TButton"))) {
            const bool merge = sameText(kind, QStringLiteral("TButtonMerge"));
            auto* button = new QPushButton(merge ? QStringLiteral("Обьеденить") : caption,
                                           parts.top ? parts.top : parts.group);
            button->setObjectName(merge ? QStringLiteral("btnMerge") : name);
            button->setGeometry(boundsOf(element));
            if (!merge && caption == QStringLiteral("Печать")) {
                connect(button, &QPushButton::clicked, this, [this] {
                    const TOperation operation(*this);
                    try {
                        if (printBook)
                            printBook();
                    } catch (const std::exception& e) {
                        errorBox(QString::fromUtf8(e.what()));
                    }
                });
            }
            if (merge) {
                connect(button, &QPushButton::clicked, this, [this] {
                    if (mergeParameters && mergeParameters() == QDialog::Accepted)
                        QTimer::singleShot(0, this, [this] {
                            try {
                                LoadBookData(false, false);
                            } catch (const std::exception& e) {
                                showViewError(e);
                            }
                        });
                });
            }
        } else if (sameText(kind, QStringLiteral("TLabel"))) {
            auto* label = new QLabel(caption, parts.group);
            label->setGeometry(boundsOf(element));
        } else if (sameText(kind, QStringLiteral("TCheckBox"))) {
            auto* check = new QCheckBox(caption, parts.group);
            check->setGeometry(boundsOf(element));
        } else if (sameText(kind, QStringLiteral("TFileNameedit"))) {
            FTemplateEdit = new QLineEdit(parts.top ? parts.top : parts.group);
            FTemplateEdit->setObjectName(QStringLiteral("FTemplateEdit"));
            FTemplateEdit->setGeometry(boundsOf(element));
            if (!installPath().isEmpty())
                FTemplateEdit->setText(QDir::toNativeSeparators(
                    resolvePath(installPath() + QStringLiteral("XLTemplates\\Справочники.xlt"))));
        } else if (sameText(kind, QStringLiteral("TDBGrid"))) {
            if (name == QLatin1String("dfTechGrid") || name == QLatin1String("dfPspGrid") || !parts.client)
                continue;
            FGrid = new TDBGrid(&FrxmdData, parts.client);
            FGrid->setObjectName(table + name);
            parts.client->layout()->addWidget(FGrid);
        } else if (sameText(kind, QStringLiteral("TDBNavigator"))) {
            if (!parts.bottom)
                continue;
            FNavigator = new TDBNavigator(&FrxmdData, parts.bottom);
            parts.bottom->layout()->addWidget(FNavigator);
            FVisibleButtons = TDBNavigator::allButtons();
            if (element.attributes.size() >= 10 &&
                element.attributes.at(9).first.compare(QLatin1String("excludeButtons"),
                                                       Qt::CaseInsensitive) == 0) {
                for (const QString& excluded : element.attributes.at(9).second.split(QLatin1Char(','))) {
                    TDBNavigator::Button b;
                    if (TDBNavigator::buttonByName(excluded, b))
                        FVisibleButtons.erase(b);
                }
            }
            if (!mayModify) {
                for (const auto b : {TDBNavigator::nbInsert, TDBNavigator::nbDelete, TDBNavigator::nbEdit,
                                     TDBNavigator::nbPost, TDBNavigator::nbCancel, TDBNavigator::nbRefresh})
                    FVisibleButtons.erase(b);
            }
            if (!user->HasTablePermission(table, QStringLiteral("UPDATE")))
                FVisibleButtons.erase(TDBNavigator::nbEdit);
            if (!user->HasTablePermission(table, QStringLiteral("INSERT")))
                FVisibleButtons.erase(TDBNavigator::nbInsert);
            if (!user->HasTablePermission(table, QStringLiteral("DELETE")))
                FVisibleButtons.erase(TDBNavigator::nbDelete);
            FNavigator->setVisibleButtons(FVisibleButtons);
            if (FGrid)
                new TGridKeys(FGrid, FNavigator);
            FNavigator->setBeforeAction([this](TDBNavigator::Button b) {
                if (b != TDBNavigator::nbRefresh)
                    return true;
                const TOperation operation(*this);
                try {
                    OpenSelectedBook();
                } catch (const std::exception&) {
                    errorBox(QStringLiteral("Не удалось получить информацию из базы данных"));
                }
                return false;
            });
        }
    }

    if (FViewBox && isFilteredList(table)) {
        if (isTable(table, "MSUL_DEVICE_TYPE"))
            FFilterFrame = new TDEVICEFilterFrame(FViewBox);
        else if (isTable(table, "MSUL_CALIBRATION_ORDERS"))
            FFilterFrame = new TORDERSFilterFrame(FViewBox);
        else
            FFilterFrame = new TTariffFilterFrame(FViewBox);
        FFilterFrame->beforeApply = [this] {
            if (FGrid)
                FGrid->saveLayout();
        };
        FFilterFrame->InitFilter(
            [](QWidget* main, TListFilterFrame*, const QString& condition) {
                static_cast<TfrMain*>(main)->applyFilter(condition);
            },
            this);
        // Below the top panel, whose buttons sit at the layout's fixed places: nothing overlaps.
        parts.groupLayout->insertWidget(parts.top ? parts.groupLayout->indexOf(parts.top) + 1 : 0,
                                        FFilterFrame);
    }

    for (const TXmlElement& element : layout.children) {
        if (element.name != QLatin1String("added_ctrl"))
            continue;
        const QString editor = editorByName(attributeAt(element, 2));
        if (!editor.isEmpty())
            book->EditorClass = editor;
    }
    return true;
}

void TfrMain::applyFilter(const QString& condition) {
    FFilterText = condition;
    try {
        LoadBookData(false, false);
    } catch (const std::exception& e) {
        showViewError(e);
    }
}

TMemoryData* TfrMain::lookupList(const TDbAttribute& a) {
    auto* list = new TMemoryData(FViewBox ? static_cast<QObject*>(FViewBox) : this);
    QString lookup = TDbAttrCollection::lookupSelect(a);
    const bool msul = a.LookupTable.startsWith(QLatin1String("v_MSUL"), Qt::CaseInsensitive);
    if (msul) {
        const qsizetype from = lookup.indexOf(QLatin1String(" from "), 0, Qt::CaseInsensitive);
        if (from >= 0)
            lookup.replace(from, 6, QStringLiteral(", Deletion_ID from "));
    }
    TDbUtilsClass::getInstance()->loadQuery(*list, lookup);
    if (msul) {
        list->setObjectName(QStringLiteral("msulLookup"));
        list->setFilter([this](TMemoryData& l) {
            return !FrxmdData.isEditing() || l.fieldByName(QStringLiteral("Deletion_ID"))->isNull();
        });
        list->setFiltered(true);
    }
    return list;
}

void TfrMain::LoadBookData(bool ownRecord, bool keepPosition) {
    FShowSubordinates = !ownRecord;
    if (!FCurrentNode)
        return;
    TATreeDataCollectionItem* item = NodeItem(FCurrentNode);
    TDbAttrCollection* book = item ? item->attrs() : nullptr;
    if (!book)
        return;
    const QString table = book->mainTableName();
    const QString key = book->keyFieldName();
    QString where;
    if (book->isHierarchical()) {
        if (ownRecord)
            where = table + QLatin1Char('.') + key + QLatin1Char('=') + QString::number(item->id());
        else if (!FCurrentNode->parent())
            where = table + QStringLiteral(".ParentId is NULL");
        else if (book->isMsul)
            where = table + QStringLiteral(".ParentId=") +
                    item->fieldValue(QStringLiteral("ENTITY_ID")).toString();
        else
            where = table + QStringLiteral(".ParentId=") + QString::number(item->id());
    }
    const bool filtered = isFilteredList(table);
    if (filtered)
        where = FFilterText;

    QVariant remembered;
    if (keepPosition && FrxmdData.active())
        if (const TField* keyField = FrxmdData.findField(key))
            remembered = keyField->value();

    TBusyCursor busy;
    FrxmdData.setEvents({});
    FrxmdData.close();
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    QString select = book->sqlSelectWhere(where);
    if (filtered && FFilterText.isEmpty())
        select = db->withoutRows(select);
    try {
        // The lookup lists first: the book's rows are then read as they arrive, and the connection
        // is busy with them until the last.
        std::map<int, TMemoryData*> lists;
        for (int i = book->count() - 1; i >= 0; --i) {
            const TDbAttribute& a = *book->items(i);
            if (!a.isCalculated() && a.isLookup())
                lists[i] = lookupList(a);
        }
        const std::unique_ptr<TDbQuery> query = db->openForwardQuery(select);
        TDbUtilsClass::copyQueryStructure(FrxmdData, *query);
        for (int i = book->count() - 1; i >= 0; --i) {
            const TDbAttribute& a = *book->items(i);
            TField* field = FrxmdData.findField(a.fieldName());
            if (!field)
                continue;
            if (sameText(a.type, QStringLiteral("bit")) && isNumericType(field->dataType()))
                FrxmdData.setFieldType(field, TFieldType::Boolean); // a check box, not 0 or 1
            if (a.isCalculated()) {
                FrxmdData.setFieldKind(field, TFieldKind::Calculated);
            } else if (a.isLookup()) {
                TMemoryData* list = lists.at(i);
                FrxmdData.setFieldKind(field, TFieldKind::Lookup);
                field->keyFields = a.KeyFields;
                field->lookupKeyFields = a.LookupKey;
                field->lookupResultField = a.LookupResult;
                field->lookupDataSet = list;
            }
        }
        FrxmdData.open();
        installFieldChecks();
        TDbUtilsClass::appendQueryRows(FrxmdData, *query);
        const qint32 permissions = rowPermissionTable(book);
        const TField* id = FrxmdData.findField(QStringLiteral("id"));
        if (permissions != -1 && id) {
            TUser* user = TUser::current();
            FrxmdData.removeRows([&](int recNo) {
                return TActions::has(
                    user->GetRowPermissions(permissions, FrxmdData.valueAt(recNo, id).toInt()), 'r');
            });
        }
        LoadLinkRef(table);
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
        errorBoxWith(QStringLiteral("Не удалось подгрузить справочник."), e);
    }
    FrxmdData.setEvents(m_viewEvents);
    if (!FrxmdData.active())
        return;
    if (!remembered.isValid() || !FrxmdData.locate(key, remembered))
        FrxmdData.first();
    if (!FGrid)
        return;
    const bool layoutKept = FGrid->restoreLayout();
    FGrid->clearColumnMarks();
    for (int i = 0; i < book->count(); ++i) {
        const TDbAttribute& a = *book->items(i);
        const int column = FGrid->columnOfField(a.fieldName());
        if (column < 0)
            continue;
        if (!a.isIntegerKey() && !sameText(a.name, QStringLiteral("parentId")) && a.visible) {
            FrxmdData.field(column)->setDisplayLabel(a.fname);
            FGrid->setColumnHidden(column, false);
            FGrid->setColumnRed(column, a.isCalculated());
        } else {
            FGrid->setColumnHidden(column, true);
        }
    }
    if (!layoutKept)
        FGrid->sizeColumnsToValues(); // by the titles and values now shown
    FGrid->horizontalHeader()->viewport()->update();
    showRowButtons();
}

void TfrMain::RefreshCurrentRecord(TDbAttrCollection* book, qint32 id) {
    const QString key = book->keyFieldName();
    const TDetachedEvents detached(FrxmdData);
    const std::unique_ptr<TDbQuery> query = TDbUtilsClass::getInstance()->openQuery(book->sqlSelectWhere(
        book->mainTableName() + QLatin1Char('.') + key + QLatin1Char('=') + QString::number(id)));
    TDbUtilsClass::mergeRecord(FrxmdData, *query, key, false);
}

void TfrMain::LoadLinkRef(const QString& table) {
    TMemoryData* list = nullptr;
    QString sql, listKey, listName, computed;
    if (isTable(table, "MsrUnit")) {
        list = &FParamNames;
        sql = QStringLiteral(
            "SELECT mp.msrunitid, mp.parmnameid, p.sname FROM msrunitparmname mp INNER JOIN msrunit m ON "
            "mp.msrunitid=m.id INNER JOIN parmname p ON mp.parmnameid=p.id ORDER BY msrunitid");
        listKey = QStringLiteral("msrunitid");
        listName = QStringLiteral("SName");
        computed = QStringLiteral("IdParmName");
    } else if (isTable(table, "IntervalRef")) {
        list = &FIntervalCycles;
        sql = QStringLiteral(
            "SELECT ir.id, ic.Description as fName FROM IntervalRef ir INNER JOIN IntervalCycle ic ON "
            "ir.id=ic.IntervalId ORDER BY ir.id");
        listKey = QStringLiteral("id");
        listName = QStringLiteral("fName");
        computed = QStringLiteral("CycleId");
    } else {
        return;
    }
    try {
        TDbUtilsClass::getInstance()->loadQuery(*list, sql);
    } catch (const std::exception& e) {
        errorBoxWith(QStringLiteral("Ошибка обновления информации."), e);
        return;
    }
    auto names = std::make_shared<std::unordered_map<qint32, QString>>(joinedNames(*list, listKey, listName));
    m_viewEvents.onCalcFields = [names, computed](TMemoryData& data) {
        TField* field = data.findField(computed);
        const TField* id = data.findField(QStringLiteral("Id"));
        if (!field || !id)
            return;
        const auto found = names->find(id->asInteger());
        field->setValue(found != names->end() ? found->second : QStringLiteral("не определен"));
    };
    FrxmdData.events().onCalcFields = m_viewEvents.onCalcFields;
    FrxmdData.recalculate();
}

void TfrMain::installFieldChecks() {
    for (int i = 0; i < FrxmdData.fieldCount(); ++i) {
        TField* field = FrxmdData.field(i);
        if (field->fieldKind() != TFieldKind::Data)
            continue;
        if (field->dataType() == TFieldType::Float || field->dataType() == TFieldType::Currency) {
            field->onSetText = setFloatFromText;
        } else if (isNumericType(field->dataType())) {
            field->onSetText = setIntegerFromText;
        } else if (field->dataType() == TFieldType::DateTime) {
            field->onSetText = [](TField& f, const QString& text) {
                if (text.trimmed().isEmpty()) {
                    f.clear();
                    return;
                }
                try {
                    f.setValue(f.convert(text));
                } catch (const EError&) {
                    errorBox(QStringLiteral("Ошибка при вводе значения даты или времени."));
                    throw EAbort();
                }
            };
        }
    }
}

void TfrMain::showRowButtons() {
    if (!FNavigator || !FCurrentNode)
        return;
    TDBNavigator::Buttons shown = FVisibleButtons;
    const qint32 permissions = rowPermissionTable(NodeBook(FCurrentNode));
    const TField* id = FrxmdData.active() ? FrxmdData.findField(QStringLiteral("id")) : nullptr;
    if (permissions != -1 && id && !FrxmdData.isEmpty() &&
        !TActions::has(TUser::current()->GetRowPermissions(permissions, id->asInteger()), 'w')) {
        shown.erase(TDBNavigator::nbDelete);
        shown.erase(TDBNavigator::nbEdit);
    }
    FNavigator->setVisibleButtons(shown);
}
