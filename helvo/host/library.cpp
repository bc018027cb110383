#include "helvo/host/library.h"

#include "helvo/model/class_tables.h"
#include "helvo/platform/string_table.h"

namespace helvo {

namespace {

// Any id: looking one up makes the table index all its blocks.
constexpr int kAnyStringId = 1;

int InitializeOnce() {
  (void)FindString(kAnyStringId);
  // The class table names every class of the model, so reading it here pulls each class's unit (and
  // with it its run-time class record) into a program linked against the static library.
  int classes = 0;
  for (const sClassInfo& row : CHelvoCfgTables::ClassTable)
    if (row.m_pClass) ++classes;
  return classes > 0 ? 1 : 0;
}

}  // namespace

int HelvoLibraryInit() {
  static const int ready = InitializeOnce();
  return ready;
}

#ifdef HELVO_SHARED
namespace {
// Runs when the shared library is loaded. There is nothing to undo at unload: the library keeps no
// handles, and its process-wide objects are destroyed by the runtime.
__attribute__((constructor)) void HelvoLibraryLoad() {
  HelvoLibraryInit();
}
}  // namespace
#endif

}  // namespace helvo
