#pragma once

#include <QLatin1String>

// Gives a new component of a form its name, which localisers and tests find
// it by, and hands it back so creation, naming and placing read as one line.
template <class T> T* Named(T* object, const char* name) {
  object->setObjectName(QLatin1String(name));
  return object;
}
