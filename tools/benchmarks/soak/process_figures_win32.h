// The resource figures of another process, read from outside it: its kernel
// handles, its GDI and USER objects, its private memory and its threads.
//
// Wine 8 does not implement GetGuiResources (it fails with
// ERROR_CALL_NOT_IMPLEMENTED). There the GDI objects are counted in the
// process's GDI handle table, which Wine keeps in the process's own memory and
// names in its PEB as Windows once did, and the USER objects are approximated
// by the process's windows. Each figure says where it came from.
#pragma once

#include <windows.h>

#include <string>

namespace korvante::soak {

struct Figure {
  long long value = -1;  // -1: not available
  std::string source;    // how it was read
};

struct ProcessFigures {
  Figure handles;
  Figure gdi;
  Figure user;
  Figure privateKb;
  Figure threads;
};

// `process` needs PROCESS_QUERY_INFORMATION and PROCESS_VM_READ.
ProcessFigures ReadProcessFigures(HANDLE process, DWORD processId);

}  // namespace korvante::soak
