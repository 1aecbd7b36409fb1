#include "TDBGrid.h"

#include "EAbort.h"
#include "OrtaUtils.h"
#include "TFieldSizeValidator.h"
#include "TLookupDelegate.h"
#include "TMemoryData.h"
#include "TMemoryDataModel.h"
#include "TOrtaSettings.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTimer>

namespace {

// Paints computed columns in red.
class RedColumnsDelegate : public QStyledItemDelegate {
public:
    explicit RedColumnsDelegate(TDBGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        const TField* field = m_grid->data()->field(index.column());
        if (auto* line = qobject_cast<QLineEdit*>(editor);
            line && isStringType(field->dataType()) && field->size() > 0)
            line->setValidator(new TFieldSizeValidator(field->size(), line));
        return editor;
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (m_grid->isColumnRed(index.column()))
            option->palette.setColor(QPalette::Text, Qt::red);
    }

private:
    TDBGrid* m_grid;
};

QString layoutKey(const QString& gridName) {
    return QStringLiteral("Grids/") + gridName;
}

} // namespace

TDBGrid::TDBGrid(TMemoryData* data, QWidget* parent) : QTableView(parent), m_data(data) {
    // While a row goes, the view moves its current row on its own: that is no move of the user's.
    // Connected before the model, so that it holds before the view hears of the removal; the
    // record set's own current row is followed once the row is gone.
    connect(data, &TMemoryData::rowAboutToBeRemoved, this, [this] { m_following = true; });
    m_model = new TMemoryDataModel(data, this);
    connect(data, &TMemoryData::rowRemoved, this, [this] { m_following = false; });
    m_model->setErrorHandler([this](const EError& e) {
        m_writeRefused = true;
        errorBox(e.message());
    });
    m_model->setAutoEdit(false); // typing edits only a record the navigator put into edit state
    setModel(m_model);
    setItemDelegate(new RedColumnsDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    // One row height for all: no measuring of every row in big books.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setMinimumWidth(24);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultSectionSize(140);
    // A title wider than its column ends in "…" instead of losing both its ends.
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setTextElideMode(Qt::ElideRight);
    connect(data, &TMemoryData::currentChanged, this, &TDBGrid::followRecordSet);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) {
                if (m_following || !current.isValid() || m_data->recNo() == current.row() + 1)
                    return;
                // While a record is edited the view only follows it: rows coming and going shift
                // the view's current row, and nothing may be saved behind the user's back.
                if (m_data->isEditing()) {
                    QTimer::singleShot(0, this, [this] { followRecordSet(m_data->recNo()); });
                    return;
                }
                try {
                    m_data->setRecNo(current.row() + 1);
                } catch (const EAbort&) {
                } catch (const std::exception& e) {
                    errorBox(errorMessage(e));
                }
            });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { followRecordSet(m_data->recNo()); });
    // A column the user widens or moves makes the layout his, to be kept.
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int logical) {
        // The last column follows the grid's width by itself; that is nobody's choice.
        const QHeaderView* header = horizontalHeader();
        int last = header->count() - 1;
        while (last > 0 && header->isSectionHidden(header->logicalIndex(last)))
            --last;
        if (!m_sizing && logical != header->logicalIndex(last))
            m_autoSized = false;
    });
    connect(horizontalHeader(), &QHeaderView::sectionMoved, this, [this] {
        if (!m_sizing)
            m_autoSized = false;
    });
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setSortIndicatorShown(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (m_titleClick)
            m_titleClick(column);
        else
            cycleSort(column);
    });
    // Another book's columns, or the book read again: its own order again.
    auto forgetSort = [this] {
        if (!m_data->sortOrder().isEmpty())
            return;
        m_sortColumn = -1;
        m_sortStep = 0;
        horizontalHeader()->setSortIndicatorShown(false);
    };
    connect(data, &TMemoryData::structureChanged, this, forgetSort);
    connect(data, &TMemoryData::dataReset, this, forgetSort);
    // What is typed in a cell belongs to the record: a post writes it first, a cancel drops it.
    data->addRecordUpdater(this, [this] { commitEditor(); });
    m_registeredWith = data;
    connect(data, &TMemoryData::stateChanged, this, [this] {
        if (!m_data->isEditing())
            discardEditor();
    });
}

TDBGrid::~TDBGrid() {
    if (m_registeredWith)
        m_registeredWith->removeRecordUpdaters(this);
}

void TDBGrid::editFirstCell() {
    const int row = m_data->recNo() - 1;
    const QHeaderView* header = horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        const QModelIndex cell = m_model->index(row, column);
        if (header->isSectionHidden(column) || !(m_model->flags(cell) & Qt::ItemIsEditable))
            continue;
        setFocus();
        setCurrentIndex(cell);
        edit(cell);
        return;
    }
}

void TDBGrid::cycleSort(int column) {
    if (!m_data->active() || m_data->isEditing() || column < 0 || column >= m_data->fieldCount())
        return;
    m_sortStep = column == m_sortColumn ? (m_sortStep + 1) % 3 : 1;
    m_sortColumn = m_sortStep == 0 ? -1 : column;
    const QString name = m_data->field(column)->fieldName();
    try {
        m_data->setSortOrder(m_sortStep == 0 ? QString()
                                             : name + (m_sortStep == 2 ? QStringLiteral(" DESC") : QString()),
                             true);
    } catch (const std::exception& e) {
        errorBox(errorMessage(e));
        return;
    }
    horizontalHeader()->setSortIndicatorShown(m_sortStep != 0);
    if (m_sortStep != 0)
        horizontalHeader()->setSortIndicator(column,
                                             m_sortStep == 2 ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void TDBGrid::commitEditor() {
    if (state() != QAbstractItemView::EditingState)
        return;
    QWidget* editor = indexWidget(currentIndex());
    if (!editor)
        return;
    m_writeRefused = false;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    if (m_writeRefused)
        throw EAbort();
}

void TDBGrid::discardEditor() {
    if (state() != QAbstractItemView::EditingState)
        return;
    if (QWidget* editor = indexWidget(currentIndex()))
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

void TDBGrid::followRecordSet(int recNo) {
    if (recNo < 1 || recNo > m_model->rowCount())
        return;
    m_following = true;
    const int column =
        currentIndex().isValid() ? currentIndex().column() : horizontalHeader()->logicalIndexAt(0);
    setCurrentIndex(m_model->index(recNo - 1, std::max(column, 0)));
    m_following = false;
}

int TDBGrid::columnOfField(const QString& fieldName) const {
    for (int c = m_model->columnCount() - 1; c >= 0; --c) {
        if (m_data->field(c)->fieldName().compare(fieldName, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

void TDBGrid::setEditButtons(bool on) {
    m_editButtons = on;
    for (int c = 0; c < m_data->fieldCount(); ++c) {
        TField* field = m_data->field(c);
        if (field->fieldKind() != TFieldKind::Lookup)
            continue;
        QAbstractItemDelegate* old = itemDelegateForColumn(c);
        setItemDelegateForColumn(c, on ? new TLookupDelegate(field, this) : nullptr);
        delete old;
    }
}

void TDBGrid::setColumnRed(int column, bool red) {
    if (red)
        m_redColumns.insert(column);
    else
        m_redColumns.erase(column);
}

void TDBGrid::saveLayout() const {
    if (objectName().isEmpty() || m_model->columnCount() == 0 || m_autoSized)
        return;
    QStringList columns;
    const QHeaderView* header = horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        // Hidden columns keep their place too; their width is not theirs to keep.
        const int width = header->isSectionHidden(logical) ? 0 : header->sectionSize(logical);
        columns << m_data->field(logical)->fieldName() + QLatin1Char(':') + QString::number(width);
    }
    try {
        TOrtaSettings::setValue(TOrtaSettings::Scope::User, layoutKey(objectName()),
                                columns.join(QLatin1Char(';')));
    } catch (const std::exception&) {
        // A layout that cannot be kept is no reason to stop the user's work.
    }
}

bool TDBGrid::restoreLayout() {
    const QString stored = TOrtaSettings::value(TOrtaSettings::Scope::User, layoutKey(objectName()));
    if (stored.isEmpty())
        return false;
    QHeaderView* header = horizontalHeader();
    m_autoSized = false;
    int visual = 0;
    for (const QString& entry : stored.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString name = entry.section(QLatin1Char(':'), 0, 0);
        const int width = entry.section(QLatin1Char(':'), 1, 1).toInt();
        const TField* field = m_data->findField(name);
        if (!field)
            continue;
        const int logical = field->index();
        header->moveSection(header->visualIndex(logical), visual++);
        if (width > 0)
            header->resizeSection(logical, width);
    }
    return true;
}

void TDBGrid::sizeColumnsToValues() {
    constexpr int sampleRows = 200; // enough to judge, few enough for a big book
    constexpr int widest = 420;
    const QFontMetrics cells(font());
    const QFontMetrics titles(horizontalHeader()->font());
    const int rows = std::min(m_data->recordCount(), sampleRows);
    m_sizing = true;
    for (int column = 0; column < m_model->columnCount(); ++column) {
        if (isColumnHidden(column))
            continue;
        // Room for the title, its sort arrow and the frame.
        int width = titles.horizontalAdvance(m_model->headerData(column, Qt::Horizontal).toString()) + 28;
        for (int row = 0; row < rows; ++row)
            width = std::max(
                width, cells.horizontalAdvance(m_model->data(m_model->index(row, column)).toString()) + 14);
        horizontalHeader()->resizeSection(column, std::min(width, widest));
    }
    m_sizing = false;
    m_autoSized = true;
}
