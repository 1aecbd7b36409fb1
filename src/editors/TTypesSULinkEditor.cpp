#include "TTypesSULinkEditor.h"

#include "OrtaUtils.h"
#include "TATreeDataCollection.h"
#include "TATreeDataCollectionItem.h"
#include "TTreeNodeSink.h"

#include <QTreeWidget>

namespace {

// Fills the choice tree with check boxes.
class ChoiceSink : public TTreeNodeSink {
public:
    explicit ChoiceSink(std::function<QTreeWidgetItem*(QTreeWidgetItem*, const QString&, qint32)> add)
        : m_add(std::move(add)) {}
    Node addNode(Node parent, const QString& caption, TATreeDataCollectionItem* item) override {
        return m_add(static_cast<QTreeWidgetItem*>(parent), caption, item ? item->id() : 0);
    }

private:
    std::function<QTreeWidgetItem*(QTreeWidgetItem*, const QString&, qint32)> m_add;
};

} // namespace

TTypesSULinkEditor::TTypesSULinkEditor(Links links, QWidget* parent)
    : TLinkListEditor(std::move(links), parent), FTypesTree(std::make_unique<TATreeDataCollection>()) {
    choices()->setObjectName(QStringLiteral("tvTypesSU"));
    setChoiceTitle(QStringLiteral("Типы СУ"));
}

TTypesSULinkEditor::~TTypesSULinkEditor() = default;

void TTypesSULinkEditor::loadChoices() {
    if (FTreeLoaded)
        return;
    FTypesTree->loadBook(installPath() + QStringLiteral("BusinessData\\ReferenceBooks\\TypesSU.xml"), true);
    if (TATreeDataCollectionItem* book = FTypesTree->root() ? FTypesTree->root()->firstChild() : nullptr) {
        ChoiceSink sink([this](QTreeWidgetItem* parent, const QString& caption, qint32 id) {
            return addChoice(parent, caption, id);
        });
        FTypesTree->fillTreeView(book, sink, nullptr, true);
    }
    FTreeLoaded = true;
}
