// Keeps windowList from drawing while its rows or marks are rebuilt: a list
// box redrawn after every row costs milliseconds per row. Rebuilds nest (a
// refresh discovers and marks); the outermost one turns redraw back on and
// draws the list once.
#pragma once

class ListRebuild {
public:
    ListRebuild();
    ~ListRebuild();
    ListRebuild(const ListRebuild&) = delete;
    ListRebuild& operator=(const ListRebuild&) = delete;
};
