// The entries pane: a GridList whose toggles are stored in the document
// through its listener (the main window).
#pragma once
#include "app/grid/GridList.h"

// Whoever stores the state of a toggled row.
class EntryStateListener {
public:
    virtual void recordEntryState(int row) = 0;

protected:
    ~EntryStateListener() = default;
};

class EntryGrid : public GridList {
public:
    using GridList::GridList;

    void setListener(EntryStateListener* l) { listener = l; }
    // Hands the toggled row to the listener.
    void stateChanged(int row) override;

    EntryStateListener* listener = nullptr;  // borrowed
};
