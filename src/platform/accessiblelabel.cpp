#include "platform/accessiblelabel.h"

#include <QLabel>
#include <QWidget>

QString NameFromLabelText(const QString& labelText)
{
    QString name;
    name.reserve(labelText.size());
    // "&&" is a literal ampersand; a single "&" only marks the mnemonic letter.
    for (qsizetype i = 0; i < labelText.size(); ++i) {
        if (labelText[i] == QLatin1Char('&') && i + 1 < labelText.size())
            ++i;
        name += labelText[i];
    }
    name = name.trimmed();
    while (name.endsWith(QLatin1Char(':')) || (!name.isEmpty() && name.back().isSpace()))
        name.chop(1);
    return name;
}

void LabelControl(QLabel* label, QWidget* control)
{
    label->setBuddy(control);
    control->setAccessibleName(NameFromLabelText(label->text()));
}
