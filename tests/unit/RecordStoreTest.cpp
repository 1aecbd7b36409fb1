#include "EDataSetError.h"
#include "TMemoryData.h"
#include "TRecordWriter.h"

#include <QTimeZone>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Appends one record through the writer, with the record set's display updates suspended, as a
// result is loaded.
void loadOne(TMemoryData& data, const std::function<void(TRecordWriter&)>& write) {
    data.disableControls();
    bool done = false;
    try {
        data.appendRecords([&](TRecordWriter& writer) {
            if (done)
                return false;
            write(writer);
            done = true;
            return true;
        });
    } catch (...) {
        data.enableControls();
        throw;
    }
    data.enableControls();
}

struct LoadCase {
    const char* name;
    TFieldType type;
    int size;
    std::function<void(TRecordWriter&)> write;
    QVariant expected; // invalid: null
};

class LoadedValue : public ::testing::TestWithParam<LoadCase> {};

} // namespace

// Whatever the column's type, a loaded value reads back as the field's own conversion gives it:
// the same value and the same type as a value typed into the field.
TEST_P(LoadedValue, ReadsBackAsTheFieldConvertsIt) {
    const LoadCase& c = GetParam();
    TMemoryData data;
    data.addField("ID", TFieldType::Integer);
    TField* field = data.addField("F", c.type, c.size);
    data.open();
    loadOne(data, [&](TRecordWriter& w) {
        w.setInteger(0, 1);
        c.write(w);
    });
    ASSERT_EQ(data.recordCount(), 1);
    const QVariant got = data.valueAt(1, field);
    EXPECT_EQ(got.isValid(), c.expected.isValid());
    if (c.expected.isValid()) {
        EXPECT_EQ(got.typeId(), c.expected.typeId());
        EXPECT_EQ(got, c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadedValue,
    ::testing::Values(
        LoadCase{"text", TFieldType::String, 10, [](TRecordWriter& w) { w.setUtf8(1, "Манометр", 16); },
                 QString("Манометр")},
        LoadCase{"emptyTextIsNull", TFieldType::String, 10, [](TRecordWriter& w) { w.setUtf8(1, "", 0); },
                 QVariant()},
        LoadCase{"emptyMemoIsText", TFieldType::Memo, 0, [](TRecordWriter& w) { w.setUtf8(1, "", 0); },
                 QString("")},
        LoadCase{"memoKeepsLines", TFieldType::Memo, 0, [](TRecordWriter& w) { w.setUtf8(1, "а\r\nб", 6); },
                 QString("а\r\nб")},
        LoadCase{"byteOrderMarkDroppedAsQtDoes", TFieldType::String, 0,
                 [](TRecordWriter& w) { w.setUtf8(1, "\xEF\xBB\xBFx", 4); }, QString("x")},
        LoadCase{"textIntoInteger", TFieldType::Integer, 0, [](TRecordWriter& w) { w.setUtf8(1, "42", 2); },
                 42},
        LoadCase{"integerIntoText", TFieldType::String, 0, [](TRecordWriter& w) { w.setInteger(1, 15); },
                 QString("15")},
        LoadCase{"integer", TFieldType::Integer, 0, [](TRecordWriter& w) { w.setInteger(1, -7); }, -7},
        LoadCase{"integerIntoFloat", TFieldType::Float, 0, [](TRecordWriter& w) { w.setInteger(1, 3); }, 3.0},
        LoadCase{"currencyRounds", TFieldType::Currency, 0,
                 [](TRecordWriter& w) { w.setFloat(1, 10.123456); }, 10.1235},
        LoadCase{"integerIntoBoolean", TFieldType::Boolean, 0, [](TRecordWriter& w) { w.setInteger(1, 1); },
                 true},
        LoadCase{"booleanIntoInteger", TFieldType::Integer, 0,
                 [](TRecordWriter& w) { w.setBoolean(1, true); }, 1},
        LoadCase{"textIntoDateTime", TFieldType::DateTime, 0,
                 [](TRecordWriter& w) { w.setUtf8(1, "05.03.2026", 10); },
                 QDateTime(QDate(2026, 3, 5), QTime(0, 0))},
        LoadCase{
            "dateTime", TFieldType::DateTime, 0,
            [](TRecordWriter& w) { w.setDateTime(1, QDateTime(QDate(2008, 3, 5), QTime(14, 7, 9, 123))); },
            QDateTime(QDate(2008, 3, 5), QTime(14, 7, 9, 123))},
        LoadCase{"bytes", TFieldType::Blob, 0, [](TRecordWriter& w) { w.setValue(1, QByteArray("\0\1", 2)); },
                 QByteArray("\0\1", 2)},
        LoadCase{"null", TFieldType::Integer, 0, [](TRecordWriter& w) { w.setNull(1); }, QVariant()}),
    [](const ::testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.name); });

// A loaded text is held to its field's size as a typed one is, and a required field to a value.
TEST(RecordStore, LoadingRefusesWhatTheFieldsRefuse) {
    TMemoryData data;
    data.addField("NAME", TFieldType::String, 4)->setDisplayLabel(QStringLiteral("Наименование"));
    data.open();
    try {
        loadOne(data, [](TRecordWriter& w) { w.setUtf8(0, "Манометр", 16); });
        FAIL() << "a text of 8 characters was loaded into a field of 4";
    } catch (const EDataSetError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Значение поля \"Наименование\" не помещается: допускается не "
                                              "более 4 символов, введено 8."));
    }
    EXPECT_EQ(data.recordCount(), 0);
    loadOne(data, [](TRecordWriter& w) { w.setUtf8(0, "Ман\xF0\x9F\x98\x80", 10); }); // 4 characters, 5 units
    EXPECT_EQ(data.valueAt(1, data.field(0)).toString(),
              QStringLiteral("Ман") + QString::fromUcs4(U"\U0001F600"));

    data.close();
    data.field(0)->required = true;
    data.open();
    EXPECT_THROW(loadOne(data, [](TRecordWriter& w) { w.setNull(0); }), EDataSetError);
    EXPECT_EQ(data.recordCount(), 0);
}

// Loaded texts lie in the store's blocks; an edit gives a record a text of its own. Editing,
// cancelling, sorting, locating and computing over such records keep every value.
TEST(RecordStore, EditsSortsAndLocatesOverLoadedTexts) {
    TMemoryData data;
    data.addField("ID", TFieldType::Integer);
    TField* name = data.addField("NAME", TFieldType::String, 60);
    TField* made = data.addField("MADE", TFieldType::DateTime);
    TField* label = data.addField("LABEL", TFieldType::String, 60, TFieldKind::Calculated);
    data.events().onCalcFields = [&](TMemoryData& d) {
        label->setValue(d.fieldByName("NAME")->asString() + QStringLiteral(" №") +
                        d.fieldByName("ID")->asString());
    };
    data.open();
    data.disableControls();
    int next = 0;
    data.appendRecords([&](TRecordWriter& w) {
        if (next == 1000)
            return false;
        ++next;
        const QByteArray text = QStringLiteral("Прибор %1").arg(next, 4, 10, QLatin1Char('0')).toUtf8();
        w.setInteger(0, next);
        w.setUtf8(1, text.constData(), text.size());
        w.setDateTime(2, QDateTime(QDate(2020, 1, 1), QTime(0, 0)).addDays(next));
        return true;
    });
    data.enableControls();
    ASSERT_EQ(data.recordCount(), 1000);
    EXPECT_EQ(data.valueAt(500, label).toString(), QStringLiteral("Прибор 0500 №500"));

    data.setRecNo(500);
    data.edit();
    name->setValue(QStringLiteral("Амперметр, заменённый другим пользователем"));
    made->clear();
    EXPECT_EQ(data.oldValue(name).toString(), QStringLiteral("Прибор 0500"));
    data.post();
    EXPECT_EQ(data.valueAt(500, label).toString(),
              QStringLiteral("Амперметр, заменённый другим пользователем №500"));
    data.edit();
    name->setValue(QStringLiteral("Вольтметр"));
    data.cancel();
    EXPECT_EQ(name->value().toString(), QStringLiteral("Амперметр, заменённый другим пользователем"));
    EXPECT_FALSE(made->value().isValid());

    data.setSortOrder(QStringLiteral("NAME DESC"));
    EXPECT_EQ(data.valueAt(1, name).toString(), QStringLiteral("Прибор 1000"));
    EXPECT_EQ(data.valueAt(1000, name).toString(),
              QStringLiteral("Амперметр, заменённый другим пользователем"));
    data.setSortOrder(QString());

    EXPECT_TRUE(data.locate(QStringLiteral("NAME"), QStringLiteral("прибор 07"), {true, true}));
    EXPECT_EQ(data.fieldByName("ID")->asInteger(), 700);
    EXPECT_TRUE(data.locate(QStringLiteral("LABEL"), QStringLiteral("Прибор 0042 №42")));
    EXPECT_EQ(data.recNo(), 42);
    data.deleteRecord();
    EXPECT_EQ(data.recordCount(), 999);
    EXPECT_EQ(data.valueAt(42, made).toDateTime(), QDateTime(QDate(2020, 1, 1), QTime(0, 0)).addDays(43));
    data.recalculate();
    EXPECT_EQ(data.valueAt(42, label).toString(), QStringLiteral("Прибор 0043 №43"));
}

// When someone listens, loaded records go through append and post one by one.
TEST(RecordStore, ListenersSeeEveryLoadedRecord) {
    TMemoryData data;
    data.addField("ID", TFieldType::Integer);
    data.addField("NAME", TFieldType::String, 10);
    data.open();
    QStringList posted;
    data.events().afterPost = [&](TMemoryData& d) {
        posted << d.fieldByName("NAME")->asString();
    };
    int next = 0;
    data.appendRecords([&](TRecordWriter& w) {
        if (next == 3)
            return false;
        w.setInteger(0, ++next);
        w.setUtf8(1, next == 2 ? "два" : "x", next == 2 ? 6 : 1);
        return true;
    });
    EXPECT_EQ(posted, (QStringList{"x", "два", "x"}));
    EXPECT_EQ(data.recordCount(), 3);
}

// A date-time is kept as its moment and kind of time; what does not fit eight bytes is kept whole.
// Either way it reads back the same moment, kind and offset, and sorts by its moment.
TEST(RecordStore, DateTimesKeepTheirMomentAndKindOfTime) {
    const QDate day(2026, 3, 5);
    const QTime noon(12, 30, 15, 250);
    const std::vector<QDateTime> values{
        QDateTime(day, noon),                                            // local
        QDateTime(day, noon, Qt::UTC),                                   // UTC
        QDateTime(day, noon, Qt::OffsetFromUTC, 3 * 3600),               // Moscow
        QDateTime(day, noon, Qt::OffsetFromUTC, 5 * 3600 + 1800),        // half an hour
        QDateTime(day, noon, Qt::OffsetFromUTC, 2 * 3600 + 17),          // seconds: kept whole
        QDateTime(day, noon, QTimeZone("Asia/Yekaterinburg")),           // a zone: kept whole
        QDateTime(QDate(1, 1, 1), QTime(0, 0)),                          // far back
        QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59, 999), Qt::UTC), // far ahead: kept whole
    };
    TMemoryData data;
    TField* when = data.addField("WHEN", TFieldType::DateTime);
    data.open();
    for (const QDateTime& value : values)
        data.appendRecord({value});
    data.disableControls();
    bool loaded = false;
    data.appendRecords([&](TRecordWriter& w) {
        if (loaded)
            return false;
        w.setMoment(0, QDateTime(day, noon, Qt::UTC).toMSecsSinceEpoch(), -3600); // as a result loads it
        return loaded = true;
    });
    data.enableControls();
    for (int i = 0; i < int(values.size()); ++i) {
        const QDateTime got = data.valueAt(i + 1, when).toDateTime();
        EXPECT_EQ(got, values[std::size_t(i)]) << i;
        EXPECT_EQ(got.timeSpec(), values[std::size_t(i)].timeSpec()) << i;
        EXPECT_EQ(got.offsetFromUtc(), values[std::size_t(i)].offsetFromUtc()) << i;
        EXPECT_EQ(got.toString(Qt::ISODateWithMs), values[std::size_t(i)].toString(Qt::ISODateWithMs)) << i;
    }
    const QDateTime moment = data.valueAt(int(values.size()) + 1, when).toDateTime();
    EXPECT_EQ(moment.toString(Qt::ISODateWithMs), QStringLiteral("2026-03-05T11:30:15.250-01:00"));

    data.setSortOrder(QStringLiteral("WHEN DESC"));
    EXPECT_EQ(data.valueAt(1, when).toDateTime().date().year(), 9999);
    EXPECT_EQ(data.valueAt(data.recordCount(), when).toDateTime().date().year(), 1);
    for (int i = 1; i < data.recordCount(); ++i)
        EXPECT_GE(data.valueAt(i, when).toDateTime(), data.valueAt(i + 1, when).toDateTime()) << i;
}

// Loaded text decodes as Qt decodes UTF-8, whatever it holds: mixed scripts, characters of three and
// four bytes, a byte-order mark, broken sequences.
TEST(RecordStore, LoadedTextDecodesAsQtDoes) {
    const std::vector<QByteArray> texts{
        QByteArray("Manometer"),
        QByteArray("Манометр МП-100, ёлка"),
        QByteArray("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xD0\xB6 end"), // é € 😀 ж
        QByteArray("\xEF\xBB\xBF"
                   "bom"),
        QByteArray("ab\xEF\xBB\xBF"
                   "c"),
        QByteArray("bad \xC3\x28 pair, lone \x80, overlong \xC0\xAF, cut \xD0"),
        QByteArray("ж\xE2\x82"),
    };
    TMemoryData data;
    TField* memo = data.addField("M", TFieldType::Memo);
    data.open();
    data.disableControls();
    std::size_t next = 0;
    data.appendRecords([&](TRecordWriter& w) {
        if (next == texts.size())
            return false;
        w.setUtf8(0, texts[next].constData(), texts[next].size());
        ++next;
        return true;
    });
    data.enableControls();
    for (int i = 0; i < int(texts.size()); ++i)
        EXPECT_EQ(data.valueAt(i + 1, memo).toString(), QString::fromUtf8(texts[std::size_t(i)])) << i;
}
