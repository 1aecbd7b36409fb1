#pragma once

#include "TLinkListEditor.h"

#include <memory>

class TATreeDataCollection;

// A link-list editor whose targets are the types of СУ, chosen in their tree ("Типы СУ"), loaded
// once per editor.
class TTypesSULinkEditor : public TLinkListEditor {
    Q_OBJECT

public:
    TTypesSULinkEditor(Links links, QWidget* parent);
    ~TTypesSULinkEditor() override;

protected:
    void loadChoices() override;

private:
    std::unique_ptr<TATreeDataCollection> FTypesTree;
    bool FTreeLoaded = false;
};
