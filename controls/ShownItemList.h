#pragma once

class QComboBox;

namespace lumora
{

// The drop-down list of an editable box opens on the item of its first row (or on the last item chosen), not on
// the text the box shows, so Enter on a list the user never moved in would pick another value. Call this right after
// QComboBox::showPopup(): the list highlights row (none when row is -1), and Enter before the user moves in the list
// closes it and leaves the box's text as it is.
void HighlightShownItem(QComboBox *box, int row);

// The row whose text is exactly the box's text; -1 when none is.
int ExactItemRow(const QComboBox *box);

} // namespace lumora
