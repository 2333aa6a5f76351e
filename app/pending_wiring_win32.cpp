#include "app/save_actions_win32.h"

namespace korvante {
void StartRefreshWorker(MainWindow&, std::int32_t) {}
void OnTargetsReady(MainWindow&, LPARAM) {}
void SaveLan(MainWindow&) {}
void SaveWifi(MainWindow&) {}
void SaveQueue(MainWindow&) {}
void SaveBeep(MainWindow&, bool) {}
void SaveDensity(MainWindow&) {}
}  // namespace korvante
