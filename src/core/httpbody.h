#pragma once

#include <QByteArray>
#include <QString>

// The text of an HTTP answer's body, decoded by the character set its content type
// declares ("text/plain; charset=ISO-8859-1"); UTF-8 when it declares none, or one that
// is not known.
QString DecodeHttpBody(const QByteArray& body, const QByteArray& contentType);
