#pragma once
// Helpers of windows laid out in rows from a table drawn up at one font size, that must still
// hold whatever font the system gives them: rows pushed down by a taller row above, the room
// a group box's caption takes, and big buttons grown to their text.

#include <windows.h>

#include "ui/controls.h"

// Rows placed down the window: each where the layout table puts it, unless the row above
// reaches further down (a font taller than the table was drawn up for); then it goes below
// that row and every later row moves down as far.
class RowFlow {
public:
    explicit RowFlow(int gap) : gap_(gap) {}
    // The top of a row that the table puts at tableY and that must clear `above`.
    int Place(int tableY, int above);
    // How far the rows placed so far have moved down from the table.
    int Shift() const { return shift_; }

private:
    int gap_;
    int shift_ = 0;
};

// The least room between two rows that a taller font pushed together.
int RowGap(int charHeight);
// The bottom edge of a control in its parent's client area.
int BottomOf(const Control* control);
// How far a group box's caption reaches below its top edge, in the caption's own font.
int CaptionHeight(const Control* group);
// A big button: its text in a larger, bolder font, and the button grown to hold it with half
// a line of air on each side, in its own font (a bold text flush with the frame looks cut off).
void MakeProminent(Control* button);
