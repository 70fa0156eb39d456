#pragma once

#include <QFont>

#include <initializer_list>

class QFrame;
class QHBoxLayout;
class QWidget;

namespace lumora
{

// Puts a window in the middle of the available area of its screen, its top-left corner kept on that area so the
// caption stays within reach on a screen smaller than the window.
void CentreOnScreen(QWidget *window);

// The SimSun type of the small dialogs.
QFont SimSunFont(int pixelSize);

// The sunken line above a dialog's buttons.
QFrame *NewBevel(QWidget *parent);

// A row with the buttons at its right end.
QHBoxLayout *ButtonRow(std::initializer_list<QWidget *> buttons);

} // namespace lumora
