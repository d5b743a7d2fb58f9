#pragma once

#include <QByteArray>
#include <QString>

// Lays a JSON text out for reading, in one pass over its UTF-8 bytes: members and elements
// on lines of their own, indented by one tab per level, lines joined by CR LF, member order
// kept. Strings are copied byte for byte, escapes included. Input that is not one valid JSON
// value gives "null", and so does input nested so deeply that its layout would be more than
// 16 times its size plus 1 MiB (about a thousand levels of bare brackets in a small input).
// Time and memory stay linear in the input's size whatever its shape.
QByteArray JsonReformat(const QByteArray& utf8);
QString JsonReformat(const QString& text);
