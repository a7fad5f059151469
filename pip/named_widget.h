#pragma once
// Dialog widgets carry the object names their callers and tests find them by.

namespace pip {

template <typename T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

}  // namespace pip
