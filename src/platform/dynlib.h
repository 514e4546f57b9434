// Libraries that only some runs need are loaded when first used (dlopen), so that they cost a
// start nothing: a library handle kept for the rest of the run and typed symbol lookups.
#pragma once

#include <dlfcn.h>

namespace ks {

// The library `soname`, loaded once and kept; null when it is not installed.
inline void* openLibrary(const char* soname) {
  return dlopen(soname, RTLD_NOW | RTLD_LOCAL);
}

// Points `target` at the function `name` of `library`; false when it has none.
template <typename F>
bool bindSymbol(void* library, const char* name, F& target) {
  target = reinterpret_cast<F>(dlsym(library, name));
  return target != nullptr;
}

}  // namespace ks
