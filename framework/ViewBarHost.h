#pragma once

// What the view bar's buttons ask of the window that shows the lists (the
// main window implements it).
class ViewBarHost {
public:
    // "<<": back to the previous view.
    virtual void goBack() = 0;
    // "A": show the action items, refilling the list completely.
    virtual void showActionItems() = 0;

protected:
    ~ViewBarHost() = default;
};
