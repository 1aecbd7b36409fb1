#pragma once

class TfrATypes;

// The program's specialised editors, registered under the names the books' layouts give them.
class TEditorSet {
public:
    static void registerAll(TfrATypes& chooser);
    static void unregisterAll();
};
