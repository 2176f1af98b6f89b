#include "app/grid/EntryGrid.h"

void EntryGrid::stateChanged(int row) {
    if (listener) listener->recordEntryState(row);
}
