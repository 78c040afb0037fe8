#include "ui/row_layout.h"

#include <algorithm>

int RowFlow::Place(int tableY, int above)
{
    const int y = std::max(tableY + shift_, above + gap_);
    shift_ = y - tableY;
    return y;
}

int RowGap(int charHeight)
{
    return std::max(2, charHeight / 4);
}

int BottomOf(const Control* control)
{
    return control->ClientRectInParent().bottom;
}

int CaptionHeight(const Control* group)
{
    return MeasureText(group->Font(), group->GetText()).cy;
}

void MakeProminent(Control* button)
{
    button->SetScaledFont(1.2, 600);
    button->SizeBy({ControlSizing::kTextWithAir});
}
