// Where the three bands of the frame go: the bar along the top, the pane in
// the middle and the status bar along the bottom.
#pragma once

struct PaneLayout {
    int barHeight;   // 0 when the bar is hidden
    int paneTop;
    int paneHeight;  // never negative: a client area lower than bar and
                     // status bar together (a minimised window reports
                     // 0 x 0) leaves the pane 0 pixels high

    static PaneLayout compute(int clientHeight, int barHeight, bool barShown, int statusHeight) {
        PaneLayout l;
        l.barHeight = barShown ? barHeight : 0;
        l.paneTop = l.barHeight;
        l.paneHeight = clientHeight - l.barHeight - statusHeight;
        if (l.paneHeight < 0) l.paneHeight = 0;
        return l;
    }
};
