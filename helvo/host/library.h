// Library entry: makes the library's string table and the creation of its classes by name ready for
// the host. The string table indexes its blocks on first use and every run-time class record links
// itself into the process-wide list when the program starts, so a host that links the static library
// needs no call at all; HelvoLibraryInit does the work up front and, by referring to the class table,
// makes sure every class of the model is linked into the host program. A shared build runs it from
// the library's initialisation routine when the library is loaded.
#pragma once

namespace helvo {

// Builds the string table and links the model's classes. Safe to call any number of times; only the
// first call does anything. Returns 1 when the library is ready for use, 0 otherwise.
int HelvoLibraryInit();

}  // namespace helvo
