#pragma once

#include <QByteArray>

// Qt registers a binary resource file without looking inside it, and a wrong
// offset in it is read later wherever it points. This walks the whole tree the
// way a lookup would and answers whether every header field, node, name and
// data block lies inside the file and means something, so only a module that
// passes is registered.
bool IsSoundResourceModule(const QByteArray& bytes);
