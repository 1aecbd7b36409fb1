#pragma once

#include "TTypesSULinkEditor.h"

// "Типы блоков СУ": a block type and the types of СУ it belongs to.
class TfrBlockType : public TTypesSULinkEditor {
    Q_OBJECT

public:
    explicit TfrBlockType(QWidget* parent = nullptr);
};
