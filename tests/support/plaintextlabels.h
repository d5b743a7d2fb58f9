#pragma once

#include <QLabel>
#include <QStringList>
#include <QWidget>

// The labels of window, with text, that would lay out markup: a text such as "<b>x" that comes from
// a file name, the service or a language file must show as typed.
inline QStringList LabelsThatReadMarkup(const QWidget& window)
{
    QStringList found;
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        // Labels that show a picture, or nothing yet, have no text to read.
        if (!label->pixmap().isNull() || label->text().isEmpty())
            continue;
        if (label->textFormat() != Qt::PlainText)
            found << label->metaObject()->className() + QStringLiteral(" \"") +
                         label->objectName() + QStringLiteral("\" ") + label->text();
    }
    return found;
}
