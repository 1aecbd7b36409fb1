#include "EAbort.h"
#include "EConvertError.h"
#include "EDataSetError.h"
#include "TMemoryData.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

// Units of measurement: the shape of most small books.
class MemoryData : public ::testing::Test {
protected:
    void SetUp() override {
        ds.setObjectName("rxmdUnits");
        ds.addField("ID", TFieldType::Integer);
        ds.addField("NAME", TFieldType::String, 10);
        ds.addField("CODE", TFieldType::Integer);
        ds.open();
        for (const auto& [id, name, code] : std::vector<std::tuple<int, QString, int>>{
                 {1, "метр", 6}, {2, "Ампер", 2}, {3, "кг", 1}, {4, "ампер", 5}})
            ds.appendRecord({id, name, code});
        ds.first();
    }

    // Records every notification by name.
    void recordEvents() {
        auto note = [this](const char* name) {
            return [this, name](TMemoryData&) {
                log << name;
            };
        };
        TDataSetEvents& e = ds.events();
        e.beforeInsert = note("beforeInsert");
        e.afterInsert = note("afterInsert");
        e.beforeEdit = note("beforeEdit");
        e.afterEdit = note("afterEdit");
        e.beforePost = note("beforePost");
        e.afterPost = note("afterPost");
        e.beforeCancel = note("beforeCancel");
        e.afterCancel = note("afterCancel");
        e.beforeDelete = note("beforeDelete");
        e.afterDelete = note("afterDelete");
        e.beforeScroll = note("beforeScroll");
        e.afterScroll = note("afterScroll");
    }

    QStringList names() {
        QStringList result;
        for (int i = 1; i <= ds.recordCount(); ++i)
            result << ds.valueAt(i, ds.fieldByName("NAME")).toString();
        return result;
    }

    TMemoryData ds;
    QStringList log;
};

} // namespace

TEST_F(MemoryData, FieldsAreFoundIgnoringLetterCase) {
    EXPECT_EQ(ds.findField("name"), ds.field(1));
    EXPECT_EQ(ds.fieldByName("Code")->index(), 2);
    EXPECT_EQ(ds.findField("absent"), nullptr);
    try {
        ds.fieldByName("absent");
        FAIL();
    } catch (const EDataSetError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("rxmdUnits: Поле 'absent' не найдено"));
    }
    EXPECT_THROW(ds.addField("extra", TFieldType::Integer), EDataSetError); // open
    ds.close();
    EXPECT_THROW(ds.addField("id", TFieldType::Integer), EDataSetError); // duplicate
    EXPECT_EQ(ds.recordCount(), 0);                                      // closing drops the rows
}

TEST_F(MemoryData, NavigatesOneBasedRows) {
    EXPECT_EQ(ds.recordCount(), 4);
    EXPECT_EQ(ds.recNo(), 1);
    EXPECT_TRUE(ds.bof());
    int visited = 0;
    while (!ds.eof()) {
        ++visited;
        ds.next();
    }
    EXPECT_EQ(visited, 4);
    EXPECT_EQ(ds.recNo(), 4);
    ds.setRecNo(2);
    EXPECT_EQ(ds.fieldByName("name")->asString(), QStringLiteral("Ампер"));
    ds.setRecNo(9); // out of range: stays
    EXPECT_EQ(ds.recNo(), 2);
    ds.prior();
    ds.prior();
    EXPECT_TRUE(ds.bof());
    EXPECT_EQ(ds.recNo(), 1);
    ds.last();
    EXPECT_TRUE(ds.eof());
}

TEST_F(MemoryData, MovingByRecordNumberRaisesTheScrollNotifications) {
    recordEvents();
    ds.setRecNo(3);
    ds.locate("ID", 4);
    EXPECT_EQ(log, (QStringList{"beforeScroll", "afterScroll", "beforeScroll", "afterScroll"}));
}

TEST_F(MemoryData, InsertAppendPostCancelDeleteAndTheirNotifications) {
    recordEvents();
    ds.setRecNo(2);
    log.clear();
    ds.insert();
    EXPECT_EQ(ds.state(), TDataSetState::Insert);
    EXPECT_EQ(ds.recNo(), 2);
    ds.fieldByName("id")->setValue(10);
    ds.fieldByName("name")->setValue("новый");
    ds.post();
    EXPECT_EQ(names(), (QStringList{"метр", "новый", "Ампер", "кг", "ампер"}));
    EXPECT_EQ(log, (QStringList{"beforeInsert", "beforeScroll", "afterInsert", "afterScroll", "beforePost",
                                "afterPost"}));

    log.clear();
    ds.append();
    EXPECT_EQ(ds.recNo(), 6);
    ds.cancel();
    EXPECT_EQ(ds.recordCount(), 5);
    EXPECT_EQ(log, (QStringList{"beforeInsert", "beforeScroll", "afterInsert", "afterScroll", "beforeCancel",
                                "afterCancel"}));

    ds.setRecNo(1);
    log.clear();
    ds.edit();
    ds.fieldByName("name")->setValue("изменён");
    ds.cancel();
    EXPECT_EQ(ds.fieldByName("name")->asString(), QStringLiteral("метр"));
    EXPECT_EQ(log, (QStringList{"beforeEdit", "afterEdit", "beforeCancel", "afterCancel"}));

    log.clear();
    ds.deleteRecord();
    EXPECT_EQ(ds.recordCount(), 4);
    EXPECT_EQ(ds.fieldByName("name")->asString(), QStringLiteral("новый"));
    EXPECT_EQ(log, (QStringList{"beforeDelete", "beforeScroll", "afterDelete", "afterScroll"}));
}

TEST_F(MemoryData, MovingPostsAPendingEdit) {
    ds.edit();
    ds.fieldByName("CODE")->setValue(60);
    ds.next();
    EXPECT_EQ(ds.state(), TDataSetState::Browse);
    EXPECT_EQ(ds.valueAt(1, ds.fieldByName("code")).toInt(), 60);
}

TEST_F(MemoryData, SilentAbortInAHandlerCancelsTheOperation) {
    ds.events().beforeInsert = [](TMemoryData&) {
        throw EAbort();
    };
    EXPECT_THROW(ds.append(), EAbort);
    EXPECT_EQ(ds.recordCount(), 4);
    EXPECT_EQ(ds.state(), TDataSetState::Browse);

    ds.events().beforePost = [](TMemoryData&) {
        throw EAbort();
    };
    ds.edit();
    ds.fieldByName("name")->setValue("x");
    EXPECT_THROW(ds.post(), EAbort);
    EXPECT_EQ(ds.state(), TDataSetState::Edit); // the record stays for correction
    ds.events().beforePost = nullptr;
    ds.cancel();

    ds.events().beforeDelete = [](TMemoryData&) {
        throw EAbort();
    };
    EXPECT_THROW(ds.deleteRecord(), EAbort);
    EXPECT_EQ(ds.recordCount(), 4);
}

TEST_F(MemoryData, AHandlerMayFinishTheInsertItself) {
    // The insert loop of an editor runs inside after-insert and posts or cancels there.
    ds.events().afterInsert = [](TMemoryData& d) {
        d.fieldByName("id")->setValue(77);
        d.post();
    };
    ds.append();
    EXPECT_EQ(ds.state(), TDataSetState::Browse);
    EXPECT_EQ(ds.fieldByName("id")->asInteger(), 77);

    ds.events().afterInsert = [](TMemoryData& d) {
        d.cancel();
    };
    ds.insert();
    EXPECT_EQ(ds.recordCount(), 5);
}

TEST_F(MemoryData, EditOfAnEmptyRecordSetInserts) {
    ds.emptyTable();
    EXPECT_TRUE(ds.isEmpty());
    ds.edit();
    EXPECT_EQ(ds.state(), TDataSetState::Insert);
    ds.cancel();
    EXPECT_THROW(ds.deleteRecord(), EDataSetError);
}

TEST_F(MemoryData, WritesNeedEditStateAWritableFieldAndRequiredValues) {
    EXPECT_THROW(ds.fieldByName("name")->setValue("x"), EDataSetError);
    ds.fieldByName("ID")->readOnly = true;
    ds.edit();
    try {
        ds.fieldByName("ID")->setValue(5);
        FAIL();
    } catch (const EDataSetError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Поле 'ID' не может быть изменено"));
    }
    ds.fieldByName("CODE")->required = true;
    ds.fieldByName("CODE")->setDisplayLabel("Код");
    ds.fieldByName("CODE")->clear();
    try {
        ds.post();
        FAIL();
    } catch (const EDataSetError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Поле 'Код' должно иметь значение"));
    }
    EXPECT_EQ(ds.state(), TDataSetState::Edit);
}

struct ConversionCase {
    TFieldType type;
    int size;
    QVariant in;
    QVariant out; // invalid: EConvertError expected
};

class FieldConversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(FieldConversion, StoresValuesOfTheFieldsType) {
    const ConversionCase& c = GetParam();
    TMemoryData d;
    TField* f = d.addField("F", c.type, c.size);
    d.open();
    d.append();
    if (!c.out.isValid()) {
        EXPECT_THROW(f->setValue(c.in), EConvertError) << c.in.toString().toStdString();
        return;
    }
    f->setValue(c.in);
    EXPECT_EQ(f->value(), c.out) << c.in.toString().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FieldConversion,
    ::testing::Values(ConversionCase{TFieldType::Integer, 0, QString("12"), 12},
                      ConversionCase{TFieldType::Integer, 0, QString("12a"), QVariant()},
                      ConversionCase{TFieldType::Integer, 0, qlonglong(5000000000LL), QVariant()},
                      ConversionCase{TFieldType::Integer, 0, qulonglong(42), 42},
                      ConversionCase{TFieldType::String, 4, QString("Мано"), QString("Мано")},
                      ConversionCase{TFieldType::String, 0, 15, QString("15")},
                      ConversionCase{TFieldType::Float, 0, QString("2,5"), 2.5},
                      ConversionCase{TFieldType::Float, 0, QString("2.5"), 2.5},
                      ConversionCase{TFieldType::Float, 0, QString("два"), QVariant()},
                      ConversionCase{TFieldType::Currency, 0, 10.123456, 10.1235},
                      ConversionCase{TFieldType::Boolean, 0, 1, true},
                      ConversionCase{TFieldType::Boolean, 0, QString("False"), false},
                      ConversionCase{TFieldType::DateTime, 0, QString("05.03.2026"),
                                     QDateTime(QDate(2026, 3, 5), QTime(0, 0))},
                      ConversionCase{TFieldType::DateTime, 0, QDate(2026, 3, 5),
                                     QDateTime(QDate(2026, 3, 5), QTime(0, 0))},
                      ConversionCase{TFieldType::DateTime, 0, QString("32.13.2026"), QVariant()},
                      ConversionCase{TFieldType::Memo, 0, QByteArray("текст"), QString("текст")}));

// A text longer than its field is refused whole, never cut; the size counts characters, so a
// character outside the Basic Multilingual Plane (two UTF-16 units) is one and is never split.
TEST(FieldSize, ATextThatDoesNotFitIsRefusedNotCut) {
    TMemoryData d;
    TField* f = d.addField("F", TFieldType::String, 4);
    f->setDisplayLabel(QStringLiteral("Наименование"));
    d.open();
    d.append();
    f->setValue(QStringLiteral("Ман"));
    try {
        f->setValue(QStringLiteral("Манометр"));
        FAIL() << "a text of 8 characters went into a field of 4";
    } catch (const EDataSetError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Значение поля \"Наименование\" не помещается: допускается не "
                                              "более 4 символов, введено 8."));
    }
    EXPECT_EQ(f->value(), QStringLiteral("Ман")); // the refused text left nothing behind
    const QString withEmoji = QStringLiteral("Ман") + QString::fromUcs4(U"\U0001F600");
    f->setValue(withEmoji); // 4 characters in 5 UTF-16 units
    EXPECT_EQ(f->value(), withEmoji);
    EXPECT_THROW(f->setValue(withEmoji + QStringLiteral("а")), EDataSetError);
}

// A character 0 would cut the statement that carries the text: refused with the field's name, in
// texts and memos alike, before anything is sent.
TEST(FieldSize, ATextWithACharacterZeroIsRefused) {
    TMemoryData d;
    TField* name = d.addField("F", TFieldType::String, 100);
    name->setDisplayLabel(QStringLiteral("Наименование"));
    TField* note = d.addField("N", TFieldType::Memo);
    d.open();
    d.append();
    const QString withNul = QStringLiteral("Ман") + QChar(0) + QStringLiteral("'); DROP TABLE x; --");
    try {
        name->setValue(withNul);
        FAIL() << "a text with a character 0 went into the field";
    } catch (const EDataSetError& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral(
                      "Значение поля \"Наименование\" содержит символ с кодом 0, который нельзя сохранить."));
    }
    EXPECT_TRUE(name->isNull());
    EXPECT_THROW(note->setValue(withNul), EDataSetError);
    EXPECT_TRUE(note->isNull());
}

TEST_F(MemoryData, LocateAndLookup) {
    EXPECT_TRUE(ds.locate("NAME", QString("АМПЕР"), {.caseInsensitive = true}));
    EXPECT_EQ(ds.recNo(), 2);
    EXPECT_FALSE(ds.locate("NAME", QString("АМПЕР")));
    EXPECT_EQ(ds.recNo(), 2);
    EXPECT_TRUE(ds.locate("name;code", {QString("ампер"), 5}));
    EXPECT_EQ(ds.recNo(), 4);
    EXPECT_TRUE(ds.locate("NAME", QString("ме"), {.partialKey = true}));
    EXPECT_EQ(ds.recNo(), 1);
    EXPECT_FALSE(ds.locate("ID", QString("not a number")));
    EXPECT_EQ(ds.lookup("ID", {3}, "NAME").toString(), QStringLiteral("кг"));
    EXPECT_FALSE(ds.lookup("ID", {30}, "NAME").isValid());
    EXPECT_EQ(ds.recNo(), 1); // lookup does not move
}

TEST_F(MemoryData, SortOrderAndFilter) {
    ds.setSortOrder("NAME,CODE DESC");
    EXPECT_EQ(names(), (QStringList{"ампер", "Ампер", "кг", "метр"}));
    EXPECT_THROW(ds.setSortOrder("NAME,NOPE"), EDataSetError);
    ds.setSortOrder("CODE");
    EXPECT_EQ(names(), (QStringList{"кг", "Ампер", "ампер", "метр"}));
    ds.setSortOrder(QString());
    EXPECT_EQ(names(), (QStringList{"метр", "Ампер", "кг", "ампер"}));

    int threshold = 3;
    ds.setFilter([&threshold](TMemoryData& d) { return d.fieldByName("CODE")->asInteger() > threshold; });
    ds.setFiltered(true);
    EXPECT_EQ(names(), (QStringList{"метр", "ампер"}));
    threshold = 0;
    ds.refilter();
    EXPECT_EQ(ds.recordCount(), 4);
    ds.setFiltered(false);
    EXPECT_EQ(ds.recordCount(), 4);
}

TEST_F(MemoryData, CalculatedFieldsAreComputedOnDemand) {
    ds.close();
    ds.addField("LABEL", TFieldType::String, 40, TFieldKind::Calculated);
    ds.open();
    int calls = 0;
    ds.events().onCalcFields = [&calls](TMemoryData& d) {
        ++calls;
        d.fieldByName("LABEL")->setValue(d.fieldByName("NAME")->asString() + " #" +
                                         d.fieldByName("CODE")->asString());
    };
    ds.appendRecord({1, "метр", 6});
    ds.appendRecord({2, "литр", 3});
    EXPECT_EQ(ds.valueAt(2, ds.fieldByName("label")).toString(), QStringLiteral("литр #3"));
    EXPECT_EQ(ds.valueAt(2, ds.fieldByName("label")).toString(), QStringLiteral("литр #3"));
    EXPECT_EQ(calls, 1);
    ds.edit();
    ds.fieldByName("CODE")->setValue(9);
    ds.post();
    EXPECT_EQ(ds.fieldByName("label")->asString(), QStringLiteral("литр #9"));
    EXPECT_THROW(ds.fieldByName("label")->setValue("x"), EDataSetError); // only the calculation writes it
}

TEST_F(MemoryData, LookupFieldsShowAndChooseFromTheirList) {
    TMemoryData units;
    units.addField("id", TFieldType::Integer);
    units.addField("sname", TFieldType::String, 20);
    units.open();
    units.appendRecord({6, "м"});
    units.appendRecord({2, "А"});

    ds.close();
    TField* shown = ds.addField("UnitName", TFieldType::String, 20, TFieldKind::Lookup);
    shown->keyFields = "CODE";
    shown->lookupKeyFields = "id";
    shown->lookupResultField = "sname";
    shown->lookupDataSet = &units;
    ds.open();
    ds.appendRecord({1, "метр", 6});
    ds.appendRecord({2, "ампер", 2});
    ds.appendRecord({3, "без", 99});
    EXPECT_EQ(ds.valueAt(1, shown).toString(), QStringLiteral("м"));
    EXPECT_EQ(ds.valueAt(2, shown).toString(), QStringLiteral("А"));
    EXPECT_FALSE(ds.valueAt(3, shown).isValid());

    units.last();
    units.edit();
    units.fieldByName("sname")->setValue("ампер");
    units.post();
    EXPECT_EQ(ds.valueAt(2, shown).toString(), QStringLiteral("ампер")); // the cache follows its list

    ds.setRecNo(3);
    ds.edit();
    shown->setValue(QStringLiteral("м"));
    EXPECT_EQ(ds.fieldByName("CODE")->asInteger(), 6);
    ds.post();
}

TEST_F(MemoryData, SuspendedDisplayUpdatesEndWithOneReset) {
    QSignalSpy resets(&ds, &TMemoryData::dataReset);
    QSignalSpy inserted(&ds, &TMemoryData::rowInserted);
    QSignalSpy changed(&ds, &TMemoryData::rowChanged);
    ds.disableControls();
    ds.disableControls();
    ds.appendRecord({5, "x", 1});
    ds.first();
    ds.edit();
    ds.fieldByName("name")->setValue("y");
    ds.post();
    ds.enableControls();
    EXPECT_TRUE(ds.controlsDisabled());
    EXPECT_EQ(resets.count(), 0);
    ds.enableControls();
    EXPECT_FALSE(ds.controlsDisabled());
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(inserted.count(), 0);
    EXPECT_EQ(changed.count(), 0);

    ds.appendRecord({6, "z", 1});
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted.at(0).at(0).toInt(), 6);
}

TEST_F(MemoryData, EventsDetachAndReattachAsASet) {
    recordEvents();
    TDataSetEvents saved = ds.takeEvents();
    ds.append();
    ds.post();
    EXPECT_TRUE(log.isEmpty());
    ds.setEvents(std::move(saved));
    ds.first();
    EXPECT_EQ(log, (QStringList{"beforeScroll", "afterScroll"}));
}
