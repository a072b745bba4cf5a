#pragma once
// The main window's menu, toolbar and accelerator table (IDR_MAINFRAME), as data.
#include <QKeySequence>
#include <QString>
#include <vector>

// One menu entry: a command (id != 0), a separator (id 0, no text, no children) or a
// pop-up (children).
struct MenuItem {
    QString text;
    int id = 0;
    std::vector<MenuItem> children;
    bool isSeparator() const { return id == 0 && text.isEmpty(); }
    bool isPopup() const { return !children.empty(); }
};

// The main menu bar: its top-level pop-ups in order.
const std::vector<MenuItem>& mainMenu();

// The buttons of the main toolbar, left to right.
const std::vector<int>& mainToolbar();

struct Accelerator {
    QKeySequence keys;
    int id;
};
// The keyboard accelerators of the main window.
const std::vector<Accelerator>& mainAccelerators();

// The instrument tree's context menu. Item 0 is a plain entry ("RR") that no code
// handles; item 1 is the pop-up the tree shows.
const std::vector<MenuItem>& instrumentTreeMenu();
