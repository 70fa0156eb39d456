#pragma once

#include <QStringList>

class QComboBox;

namespace lumora
{

// Replaces the box's items by the given leading items and then the lines of CategoryListText. The typed text of an
// editable box is kept, as a drop-down must not wipe what the user entered.
void FillCategoryBox(QComboBox *box, const QStringList &leadingItems = {});

// Fills the box now and again each time its list is about to drop down (mouse press on the box, F4, Alt+Up or
// Alt+Down, Space in a box without a text field), so every opening shows the list as it is at that moment. Works for
// any QComboBox subclass.
void BindCategoryBox(QComboBox *box, const QStringList &leadingItems = {});

} // namespace lumora
