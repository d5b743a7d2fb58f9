#pragma once

#include <QString>

class QLabel;
class QWidget;

// The name a screen reader gives a control that a label names: the label's text without
// mnemonic markers and without the colon (and blanks) that end a label.
QString NameFromLabelText(const QString& labelText);

// Ties label to control, so that assistive technology reads the label with the control,
// and names control after the label's current text.
void LabelControl(QLabel* label, QWidget* control);
