#include "TfrMiType.h"

#include "EError.h"
#include "OrtaUtils.h"
#include "TATreeDataCollectionItem.h"
#include "TDBGrid.h"
#include "TDbQuery.h"
#include "TDbUtilsClass.h"
#include "TEditorButtons.h"
#include "TGridColumns.h"
#include "TLinkInfoFields.h"
#include "TTitleSort.h"
#include "TUserInteraction.h"
#include "TfrDEVICE.h"
#include "TfrDeviceInfo.h"
#include "TfrDocManager.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The columns of a local device type; "SELECT TOP 0" before them gives its structure, "SELECT "
// (two blanks then) its rows.
const QString deviceTypeColumns = QStringLiteral(
    " v.DT_ID, v.ENTITY_ID, v.CENTER_ID, v.DEVICE_NAME, v.DEVICE_MARK, v.TYPE_STR, v.DEV_CODE, "
    "v.ORIGINAL_CODIFF, v.CODIFF, cast(TIME_NORMA as float) TIME_NORMA, v.PERIOD, v.ORIGINAL_PERIOD, "
    "v.GOS_NO, "
    "v.METHOD, v.MARK_TYPE_ID, v.MEASURE_TYPE_CODE_ID, v.LOCAL_COMMENT, v.DEFAULT_DEPARTMENT, v.MASS, "
    "v.LOCAL_FLAG, v.GRADE_OF_ACCURACY, v.MEASUREMENT_RANGE, v.CERTIFICATION_NUMBER, "
    "v.CERTIFICATION_FINISH_DATE, v.MANUFACTURER, v.METROLOGICAL_BEHAVIOURS, v.DEPRECATED, DEPARTMENT_NAME, "
    "MEAS.MEASURE_TYPE_NAME FROM v_ADM_MSUL_DEVICE_TYPE v  left join v_MSUL_DEPARTMENT DEP on "
    "DEP.DEPARTMENT_ID=v.DEFAULT_DEPARTMENT   left join v_MSUL_MEASURE_TYPE MEAS on "
    "v.MEASURE_TYPE_CODE_ID=MEAS.MEASURE_TYPE_CODE_ID ");

QComboBox* modeList(const char* name, QWidget* owner) {
    auto* box = new QComboBox(owner);
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(
        {QStringLiteral("Точное совпадение"), QStringLiteral("Начинается с"), QStringLiteral("Содержит")});
    box->setCurrentIndex(2);
    return box;
}

QLineEdit* lineEdit(const char* name, QWidget* owner) {
    auto* edit = new QLineEdit(owner);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

QPushButton* button(const char* name, const QString& caption, QWidget* owner) {
    auto* b = new QPushButton(caption, owner);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

bool hasRows(const TMemoryData& data) {
    return data.active() && !data.isEmpty();
}

// Children before their parent.
void collectDescendants(const TATreeDataCollectionItem& item,
                        std::vector<const TATreeDataCollectionItem*>& collected) {
    for (const TATreeDataCollectionItem* child : item.children()) {
        collectDescendants(*child, collected);
        collected.push_back(child);
    }
}

} // namespace

TfrMiType::TfrMiType(TfrATypes& chooser, TFormGosReestr& gosReestr, TFormCodiff& codiff, QWidget* parent)
    : TFrExtraAbstract(parent), m_chooser(chooser), m_gosReestr(gosReestr), m_codiff(codiff) {
    setObjectName(QStringLiteral("frMiType"));
    setWindowTitle(QStringLiteral("Группы и типы"));
    FFormTypes.setObjectName(QStringLiteral("FFormTypes"));
    FSearchResults.setObjectName(QStringLiteral("FSearchResults"));
    FDeviceType.setObjectName(QStringLiteral("FDeviceType"));

    auto* left = new QWidget(this);
    auto* fields = new QFormLayout;
    DBEdit1 = lineEdit("DBEdit1", left);
    DBEdit2 = lineEdit("DBEdit2", left);
    DBEdit3 = lineEdit("DBEdit3", left);
    DBEdit1->setMaxLength(100);
    DBEdit2->setMaxLength(100);
    DBLookupComboBox1 = new QComboBox(left);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    fields->addRow(QStringLiteral("Краткое имя *"), DBEdit1);
    fields->addRow(QStringLiteral("Полное имя *"), DBEdit2);
    fields->addRow(QStringLiteral("Код СИ"), DBEdit3);
    fields->addRow(QStringLiteral("Тип формы *:"), DBLookupComboBox1);
    NotSI = new QCheckBox(QStringLiteral("Не является СИ"), left);
    NotSI->setObjectName(QStringLiteral("NotSI"));
    btnPassports = button("btnPassports", QStringLiteral("0"), left);
    btnPassports->setToolTip(QStringLiteral("Документы типа СИ(СА)"));
    auto* marks = new QHBoxLayout;
    marks->addWidget(NotSI);
    marks->addStretch();
    marks->addWidget(new QLabel(QStringLiteral("Документы:"), left));
    marks->addWidget(btnPassports);

    GroupBox2 = new QGroupBox(QStringLiteral(" Привязка к справочнику центрального ведения "), left);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    lvLink = new QTreeWidget(GroupBox2);
    lvLink->setObjectName(QStringLiteral("lvLink"));
    lvLink->setColumnCount(2);
    lvLink->setHeaderLabels({QStringLiteral("Поле"), QStringLiteral("Значение")});
    lvLink->setRootIsDecorated(false);
    lvLink->setWordWrap(true);
    for (int i = 0; i < TLinkInfoFields::count; ++i)
        lvLink->addTopLevelItem(new QTreeWidgetItem(QStringList{TLinkInfoFields::caption(i), QString()}));
    lvLink->setColumnWidth(0, 270);
    btnUnLink = button("btnUnLink", QStringLiteral("Снять привязку"), GroupBox2);
    btnNewDT = button("btnNewDT", QStringLiteral("Редактировать привязку"), GroupBox2);
    auto* linkButtons = new QHBoxLayout;
    linkButtons->addStretch();
    linkButtons->addWidget(btnUnLink);
    linkButtons->addWidget(btnNewDT);
    auto* linkLayout = new QVBoxLayout(GroupBox2);
    linkLayout->addWidget(lvLink, 1);
    linkLayout->addLayout(linkButtons);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addLayout(fields);
    leftLayout->addLayout(marks);
    leftLayout->addWidget(GroupBox2, 1);

    GroupBox1 = new QGroupBox(QStringLiteral(" Поиск по справочнику центрального ведения: "), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto* filters = new QGridLayout;
    struct Filter {
        QComboBox* TfrMiType::*mode;
        const char* modeName;
        QLineEdit* TfrMiType::*text;
        const char* textName;
        const char* label;
    };
    const Filter filterRows[] = {
        {&TfrMiType::ComboBox1, "ComboBox1", &TfrMiType::edtFilterName, "edtFilterName",
         "Фильтр по наименованию"},
        {&TfrMiType::ComboBox2, "ComboBox2", &TfrMiType::edtFilterType, "edtFilterType", "Фильтр по типу"},
        {&TfrMiType::ComboBox4, "ComboBox4", &TfrMiType::edtFilterMark, "edtFilterMark",
         "Фильтр по модификации"},
        {&TfrMiType::cbGOS_NO, "cbGOS_NO", &TfrMiType::edtFilterGOS_NO, "edtFilterGOS_NO",
         "Фильтр по гос. номеру"}};
    int row = 0;
    for (const Filter& f : filterRows) {
        this->*f.mode = modeList(f.modeName, GroupBox1);
        this->*f.text = lineEdit(f.textName, GroupBox1);
        filters->addWidget(new QLabel(QString::fromUtf8(f.label), GroupBox1), row, 0);
        filters->addWidget(this->*f.mode, row, 1);
        filters->addWidget(this->*f.text, row, 2);
        connect(this->*f.text, &QLineEdit::returnPressed, this, &TfrMiType::btnFindClick);
        ++row;
    }
    ComboBox3 = new QComboBox(GroupBox1);
    ComboBox3->setObjectName(QStringLiteral("ComboBox3"));
    ComboBox3->addItems(
        {QStringLiteral("Все"), QStringLiteral("Локальный"), QStringLiteral("Центрального ведения")});
    filters->addWidget(new QLabel(QStringLiteral("Фильтр по типу справочника"), GroupBox1), row, 0);
    filters->addWidget(ComboBox3, row, 1);
    btnFind = button("btnFind", QStringLiteral("Поиск"), GroupBox1);
    filters->addWidget(btnFind, row, 2, Qt::AlignRight);
    filters->setColumnStretch(2, 1);
    GosReestrGrid = new TDBGrid(&FSearchResults, GroupBox1);
    GosReestrGrid->setObjectName(QStringLiteral("GosReestrGrid"));
    GosReestrGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GosReestrGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    FSort = std::make_unique<TTitleSort>(*GosReestrGrid, 1, 1);
    btnLink = button("btnLink", QStringLiteral("Привязать"), GroupBox1);
    btnnfo = button("btnnfo", QString(), GroupBox1);
    btnnfo->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
    btnnfo->setToolTip(QStringLiteral("Сведения о записи"));
    auto* searchButtons = new QHBoxLayout;
    searchButtons->addWidget(btnnfo);
    searchButtons->addStretch();
    searchButtons->addWidget(btnLink);
    auto* searchLayout = new QVBoxLayout(GroupBox1);
    searchLayout->addLayout(filters);
    searchLayout->addWidget(GosReestrGrid, 1);
    searchLayout->addLayout(searchButtons);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(left);
    splitter->addWidget(GroupBox1);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(
        TEditorButtons::row(this, btnOk, QStringLiteral("btnOk"), btnCancel, QStringLiteral("btnCancel")));
    resize(1180, 640);

    connect(NotSI, &QCheckBox::toggled, this, &TfrMiType::NotSIClick);
    connect(btnPassports, &QPushButton::clicked, this, &TfrMiType::btnPassportsClick);
    connect(btnUnLink, &QPushButton::clicked, this, &TfrMiType::btnUnLinkClick);
    connect(btnNewDT, &QPushButton::clicked, this, &TfrMiType::btnNewDTClick);
    connect(btnFind, &QPushButton::clicked, this, &TfrMiType::btnFindClick);
    connect(btnLink, &QPushButton::clicked, this, &TfrMiType::btnLinkClick);
    connect(GosReestrGrid, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && btnLink->isEnabled())
            btnLinkClick();
    });
    connect(btnnfo, &QPushButton::clicked, this, &TfrMiType::btninfoClick);
    connect(btnOk, &QPushButton::clicked, this, &TfrMiType::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TfrMiType::~TfrMiType() = default;

void TfrMiType::LoadRecord(TMemoryData& record, bool firstShow) {
    FRecord = &record;
    FTypeId = record.fieldByName(QStringLiteral("id"))->asInteger();
    CountDocuments();
    showRecord();
    TDbUtilsClass::getInstance()->loadQuery(FFormTypes, QStringLiteral("SELECT * FROM tFormTypes"));
    DBLookupComboBox1->clear();
    for (FFormTypes.first(); !FFormTypes.eof(); FFormTypes.next())
        DBLookupComboBox1->addItem(FFormTypes.fieldByName(QStringLiteral("SName"))->asString(),
                                   FFormTypes.fieldByName(QStringLiteral("Id"))->asInteger());
    const TField* formType = record.findField(QStringLiteral("lnkFrmType"));
    DBLookupComboBox1->setCurrentIndex(DBLookupComboBox1->findData(formType ? formType->asInteger() : 0));
    if (firstShow)
        LoadBinding();
    // Every show: the mark follows the record, and a change of it acts as the user's click.
    const TField* dt = record.findField(QStringLiteral("DT_ID"));
    NotSI->setChecked(dt && !dt->isNull() && dt->asInteger() == NOT_SI_MARKER);
    setGroupsVisible();
}

void TfrMiType::CountDocuments() {
    const QVariant count = TDbUtilsClass::getInstance()->scalarQuery(
        QStringLiteral("Select count(*) as Co from DocLinks WHERE MITypeId=") + QString::number(FTypeId));
    btnPassports->setText(QString::number(count.toInt()));
}

bool TfrMiType::pull() {
    if (!FRecord || !FRecord->isEditing())
        return true;
    return writeRecord([this] {
        FRecord->fieldByName(QStringLiteral("sname"))->setText(DBEdit1->text());
        FRecord->fieldByName(QStringLiteral("fname"))->setText(DBEdit2->text());
        if (TField* code = FRecord->findField(QStringLiteral("code")))
            code->setText(DBEdit3->text());
    });
}

void TfrMiType::showRecord() {
    const struct {
        QLineEdit* edit;
        const char* field;
    } boxes[] = {{DBEdit1, "sname"}, {DBEdit2, "fname"}, {DBEdit3, "code"}};
    for (const auto& box : boxes) {
        const TField* field = FRecord->findField(QString::fromLatin1(box.field));
        box.edit->setText(field ? field->displayText() : QString());
        box.edit->setCursorPosition(0);
    }
}

void TfrMiType::btnOkClick() {
    if (FRecord && FRecord->isEditing() && FRecord->findField(QStringLiteral("lnkFrmType"))) {
        if (!pull())
            return;
        const int key = DBLookupComboBox1->currentIndex() < 0 ? 0 : DBLookupComboBox1->currentData().toInt();
        try {
            FRecord->fieldByName(QStringLiteral("lnkFrmType"))->setValue(key);
        } catch (const std::exception&) {
            reject();
            return;
        }
        if (key == 0) {
            errorBox(QStringLiteral("Поле тип формы не может быть пустым. Выберите значение."));
            return;
        }
    }
    accept();
}

void TfrMiType::NotSIClick() {
    btnUnLinkClick();
    setGroupsVisible();
    if (!NotSI->isChecked())
        return;
    warningBox(QStringLiteral(
        "Внимание! Установка данного флага для типа блокирует отправку информации в АИС \"Ирвега\" как о "
        "самом "
        "типе, так и всех связанных с ним данных (паспортах, их поверках и т.д.). Используйте данный флаг "
        "только для типов гарантировано не являющихся средствами измерений."));
    FRecord->fieldByName(QStringLiteral("DT_ID"))->setValue(NOT_SI_MARKER);
}

void TfrMiType::setGroupsVisible() {
    GroupBox2->setVisible(!NotSI->isChecked());
    GroupBox1->setVisible(!NotSI->isChecked());
}

void TfrMiType::btnPassportsClick() {
    if (FRecord && FRecord->state() == TDataSetState::Insert) {
        infoBox(QStringLiteral(
            "Операции по управлению связанными документами недоступны в режиме создания типа СИ."));
        return;
    }
    {
        TfrDocManager manager(m_chooser, this);
        manager.ShowDocuments(FTypeId);
    }
    CountDocuments();
}

void TfrMiType::LoadBinding() {
    FLinkIsLocal = true;
    if (FSearchResults.active())
        FSearchResults.emptyTable();
    FDeviceType.close();
    enableSearchButtons();
    clearLink();
    const TField* dt = FRecord->findField(QStringLiteral("DT_ID"));
    if (!dt || dt->isNull())
        return;
    TMemoryData bound;
    TDbUtilsClass::getInstance()->loadQuery(
        bound, TLinkInfoFields::select(QStringLiteral("v_MSUL_DEVICE_TYPE_LOCAL")) + dt->asString());
    bound.first();
    showLink(bound);
}

void TfrMiType::showLink(TMemoryData& source) {
    for (int i = 0; i < TLinkInfoFields::count; ++i) {
        const QString text = TLinkInfoFields::text(source, i);
        lvLink->topLevelItem(i)->setText(1, text);
        lvLink->topLevelItem(i)->setToolTip(1, text);
    }
}

void TfrMiType::clearLink() {
    for (int i = 0; i < TLinkInfoFields::count; ++i)
        lvLink->topLevelItem(i)->setText(1, QString());
}

void TfrMiType::enableSearchButtons() {
    btnLink->setEnabled(hasRows(FSearchResults));
    btnnfo->setEnabled(hasRows(FSearchResults));
}

QString TfrMiType::filterPart(const QComboBox& mode, const QLineEdit& text, const char* column) const {
    const QString typed = text.text();
    if (typed.isEmpty())
        return QString();
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    const QString c = QString::fromLatin1(column);
    switch (mode.currentIndex()) {
    case 0:
        return QStringLiteral("(") + c + QStringLiteral("=") + db->stringLiteral(typed) + QStringLiteral(")");
    case 1:
        return QStringLiteral("(") + c + db->likeOperator() + db->stringLiteral(typed + QStringLiteral("%")) +
               QStringLiteral(")");
    default:
        return QStringLiteral("(") + c + db->likeOperator() +
               db->stringLiteral(QStringLiteral("%") + typed + QStringLiteral("%")) + QStringLiteral(")");
    }
}

void TfrMiType::btnFindClick() {
    QStringList parts{filterPart(*ComboBox1, *edtFilterName, "DEVICE_NAME"),
                      filterPart(*ComboBox2, *edtFilterType, "TYPE_STR"),
                      filterPart(*ComboBox4, *edtFilterMark, "DEVICE_MARK"),
                      filterPart(*cbGOS_NO, *edtFilterGOS_NO, "GOS_NO")};
    if (ComboBox3->currentIndex() == 1)
        parts << QStringLiteral("(LOCAL_FLAG=1)");
    else if (ComboBox3->currentIndex() == 2)
        parts << QStringLiteral("(LOCAL_FLAG=0)");
    parts.removeAll(QString());
    if (parts.isEmpty()) {
        warningBox(QStringLiteral("Условия для поиска не заданы!"));
        return;
    }
    if (FSearchResults.active())
        FSearchResults.emptyTable();
    const QString sql =
        QStringLiteral(
            "Select "
            "DT_ID,DEVICE_NAME,DEVICE_MARK,TYPE_STR,ORIGINAL_CODIFF,GOS_NO,METHOD,ORIGINAL_PERIOD,CENTER_ID,"
            "DEV_CODE,GRADE_OF_ACCURACY,MEASUREMENT_RANGE,CERTIFICATION_NUMBER,CERTIFICATION_FINISH_DATE,"
            "MANUFACTURER,METROLOGICAL_BEHAVIOURS, ISNULL(  LOCAL_FLAG , 0) "
            "LOCAL_FLAG,LOCAL_COMMENT,MASS,PERIOD, "
            "DEPARTMENT_NAME,MEAS.MEASURE_TYPE_NAME  FROM v_MSUL_DEVICE_TYPE v left join v_MSUL_DEPARTMENT "
            "DEP on "
            "DEP.DEPARTMENT_ID=v.DEFAULT_DEPARTMENT  left join v_MSUL_MEASURE_TYPE MEAS on "
            "v.MEASURE_TYPE_CODE_ID=MEAS.MEASURE_TYPE_CODE_ID   WHERE (v.DELETION_ID IS NULL) AND ") +
        parts.join(QStringLiteral(" AND ")) + QStringLiteral(" Order By ") +
        QString::number(FSort->column() + 1) + (FSort->direction() < 0 ? QStringLiteral(" DESC") : QString());
    try {
        TBusyCursor busy;
        TDbUtilsClass* db = TDbUtilsClass::getInstance();
        std::unique_ptr<TDbQuery> query = db->openQuery(sql);
        FSearchResults.close();
        TDbUtilsClass::copyQueryStructure(FSearchResults, *query);
        // Shown as a check box.
        FSearchResults.setFieldType(FSearchResults.fieldByName(QStringLiteral("LOCAL_FLAG")),
                                    TFieldType::Boolean);
        FSearchResults.open();
        TDbUtilsClass::appendQueryRows(FSearchResults, *query);
        TGridColumns::show(*GosReestrGrid, {{"DEVICE_NAME", "Наименование"},
                                            {"DEVICE_MARK", "Модификация"},
                                            {"TYPE_STR", "Тип"},
                                            {"ORIGINAL_CODIFF", "Код"},
                                            {"GOS_NO", "Номер по Гос. Реестру"},
                                            {"METHOD", "НД по поверке"},
                                            {"PERIOD", "Межповерочный интервал"},
                                            {"LOCAL_FLAG", "Локальный"}});
        FSort->showMark();
    } catch (const std::exception& e) {
        errorBoxWith(QStringLiteral("Ошибка при поиске!"), e);
    }
    enableSearchButtons();
}

void TfrMiType::btnLinkClick() {
    if (!hasRows(FSearchResults) || !pull())
        return;
    FRecord->fieldByName(QStringLiteral("DT_ID"))
        ->setValue(FSearchResults.fieldByName(QStringLiteral("DT_ID"))->value());
    FDeviceType.close();
    showLink(FSearchResults);
    FLinkIsLocal = FSearchResults.fieldByName(QStringLiteral("LOCAL_FLAG"))->asBoolean();
    btnNewDTClick();
    if (!hasRows(FDeviceType))
        btnUnLinkClick();
}

void TfrMiType::btnUnLinkClick() {
    if (FRecord && FRecord->isEditing())
        FRecord->fieldByName(QStringLiteral("DT_ID"))->clear();
    clearLink();
    FLinkIsLocal = true;
    FDeviceType.close();
}

void TfrMiType::btnNewDTClick() {
    if (!pull())
        return;
    const TField* dt = FRecord->fieldByName(QStringLiteral("DT_ID"));
    const qint32 d = dt->isNull() ? 0 : dt->asInteger();
    const bool wasEmpty = !hasRows(FDeviceType);
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    try {
        if (d <= 0 && wasEmpty) {
            db->loadQuery(FDeviceType, db->topZero(QStringLiteral("SELECT TOP 0") + deviceTypeColumns));
            const TField* parent = FRecord->findField(QStringLiteral("parentId"));
            const QString group =
                parent && !parent->isNull()
                    ? db->scalarQuery(QStringLiteral("select fname from tMitypes where id=") +
                                      parent->asString())
                          .toString()
                    : QString();
            FDeviceType.append();
            FDeviceType.fieldByName(QStringLiteral("DEVICE_NAME"))->setValue(group);
            FDeviceType.fieldByName(QStringLiteral("LOCAL_FLAG"))->setValue(true);
            FDeviceType.fieldByName(QStringLiteral("DEVICE_MARK"))
                ->setValue(FRecord->fieldByName(QStringLiteral("fname"))->value());
            FDeviceType.fieldByName(QStringLiteral("ENTITY_ID"))->setValue(0);
        } else if (wasEmpty) {
            db->loadQuery(FDeviceType, QStringLiteral("SELECT ") + deviceTypeColumns +
                                           QStringLiteral(" Where v.ENTITY_ID=") + QString::number(d) +
                                           (FLinkIsLocal ? QStringLiteral(" AND (LOCAL_FLAG=1)")
                                                         : QStringLiteral(" AND (ISNULL(LOCAL_FLAG,0)=0)")));
            if (FDeviceType.isEmpty())
                return;
            FDeviceType.first();
            FDeviceType.edit();
            if (!FDeviceType.fieldByName(QStringLiteral("LOCAL_FLAG"))->asBoolean()) {
                // A central record is never changed: the edit becomes a new local copy of it.
                FDeviceType.fieldByName(QStringLiteral("LOCAL_FLAG"))->setValue(true);
                FDeviceType.fieldByName(QStringLiteral("CENTER_ID"))
                    ->setValue(FDeviceType.fieldByName(QStringLiteral("ENTITY_ID"))->value());
                FDeviceType.fieldByName(QStringLiteral("ENTITY_ID"))->setValue(0);
                FDeviceType.fieldByName(QStringLiteral("DT_ID"))->clear();
            }
        } else {
            FDeviceType.edit();
        }
        TfrDEVICE device(m_chooser, m_gosReestr, m_codiff, this);
        device.LoadRecord(FDeviceType, true);
        if (TUserInteraction::instance().showModal(&device) == QDialog::Accepted) {
            for (const char* name : {"sname", "fname"}) {
                TField* field = FRecord->fieldByName(QString::fromLatin1(name));
                if (field->asString().trimmed().isEmpty())
                    field->setValue(!device.ResultType.isEmpty() ? device.ResultType : device.ResultMark);
            }
            FDeviceType.post();
            showRecord();
        } else if (wasEmpty) {
            FDeviceType.close();
        } else {
            FDeviceType.cancel();
        }
    } catch (const std::exception& e) {
        FDeviceType.close();
        errorBoxWith(QStringLiteral("Ошибка ввода данных для справочника \"Средства измерения\"."), e);
    }
    if (hasRows(FDeviceType))
        showLink(FDeviceType);
}

void TfrMiType::btninfoClick() {
    if (!hasRows(FSearchResults))
        return;
    auto values = std::make_unique<TMemoryData>();
    TDbUtilsClass::getInstance()->loadQuery(
        *values, TLinkInfoFields::select(QStringLiteral("v_MSUL_DEVICE_TYPE")) +
                     FSearchResults.fieldByName(QStringLiteral("DT_ID"))->asString());
    values->first();
    new TfrDeviceInfo(*values, GosReestrGrid);
}

bool TfrMiType::BeforeSave(TATreeDataCollectionItem* /*nodeData*/) {
    if (!hasRows(FDeviceType))
        return true;
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    QStringList list;
    db->fieldAssignments(list, FDeviceType, QStringLiteral("DT_ID,DEPARTMENT_NAME,MEASURE_TYPE_NAME"), true);
    list << QStringLiteral("CREATE_DATE=GETDATE()") << QStringLiteral("CREATION_ID=1");
    const TField* dt = FDeviceType.fieldByName(QStringLiteral("DT_ID"));
    const qint32 old = dt->isNull() ? 0 : dt->asInteger();
    const QString table = QStringLiteral("MSUL_DEVICE_TYPE");
    if (old <= 0) {
        QStringList entity{QStringLiteral("ENTITY_ID=SCOPE_IDENTITY()")};
        const int id = db->insertReturningIdentity(
            {db->buildWriteSQL(list, QString(), table, QString(), QString(), true),
             db->buildWriteSQL(entity, QString(), table, QStringLiteral("DT_ID"),
                               QStringLiteral("SCOPE_IDENTITY()"), false)},
            QStringLiteral("DT_ID"));
        FRecord->fieldByName(QStringLiteral("DT_ID"))->setValue(id);
        return true;
    }
    // The version edited must still be the current one: another workstation may have written a
    // newer one meanwhile, which this save would otherwise leave beside ours.
    std::unique_ptr<TDbQuery> current = db->openQuery(db->lockingSelect(
        QStringLiteral("DELETION_ID"), table, QStringLiteral("DT_ID=") + QString::number(old)));
    if (current->eof() || !current->value(QStringLiteral("DELETION_ID")).isNull())
        throw EError(QStringLiteral("Запись справочника \"Средства измерения\" изменена или удалена другим "
                                    "пользователем. Отмените изменения и откройте тип СИ заново."));
    db->runSQL(db->buildWriteSQL(list, QString(), table, QString(), QString(), true));
    QStringList deletion{QStringLiteral("DELETE_DATE=GETDATE()"), QStringLiteral("DELETION_ID=1")};
    db->runSQL(
        db->buildWriteSQL(deletion, QString(), table, QStringLiteral("DT_ID"), QString::number(old), false));
    return true;
}

bool TfrMiType::AfterSave(TATreeDataCollectionItem* nodeData) {
    if (FTypeId < 1)
        FTypeId = FRecord->fieldByName(QStringLiteral("id"))->asInteger();
    if (!nodeData)
        return false;
    if (FMessages)
        FMessages->clear();
    const TATreeDataCollectionItem* item = nodeData;
    if (item->id() != FTypeId) {
        item = nullptr;
        for (const TATreeDataCollectionItem* child : nodeData->children()) {
            if (child->id() == FTypeId) {
                item = child;
                break;
            }
        }
    }
    std::vector<const TATreeDataCollectionItem*> descendants;
    if (item)
        collectDescendants(*item, descendants);
    const QString formType = QString::number(FRecord->fieldByName(QStringLiteral("lnkFrmType"))->asInteger());
    bool result = true;
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    for (const TATreeDataCollectionItem* d : descendants) {
        try {
            db->runSQL(QStringLiteral("UPDATE tMITypes SET lnkFrmType=") + formType +
                       QStringLiteral(" WHERE Id=") + QString::number(d->id()));
        } catch (const std::exception& e) {
            if (!FMessages)
                FMessages = std::make_unique<QStringList>();
            *FMessages << QStringLiteral("Ошибка при изменении типа формы для ") + d->caption() +
                              QStringLiteral(" :")
                       << errorMessage(e);
            result = false;
        }
    }
    return result;
}
