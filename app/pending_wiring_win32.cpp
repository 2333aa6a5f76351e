#include "app/save_actions_win32.h"

namespace korvante {
void SaveLan(MainWindow&) {}
void SaveWifi(MainWindow&) {}
void SaveQueue(MainWindow&) {}
void SaveBeep(MainWindow&, bool) {}
void SaveDensity(MainWindow&) {}
}  // namespace korvante
