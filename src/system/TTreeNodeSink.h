#pragma once

#include <QString>

class TATreeDataCollectionItem;

// Receives the nodes fillTreeView makes: a tree widget, a Qt model, or a test.
class TTreeNodeSink {
public:
    using Node = void*;
    virtual ~TTreeNodeSink() = default;
    // Adds a child of parent (null = top level) with caption and the attached item; returns it.
    virtual Node addNode(Node parent, const QString& caption, TATreeDataCollectionItem* item) = 0;
};
